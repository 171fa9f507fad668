#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <variant>
#include <vector>

#include "logtext/LogFile.h"
#include "parse/LineEnds.h"
#include "shared/Failure.h"
#include "shared/Progress.h"

namespace ombrel {

// Where each line of a log starts, kept small: for every block of
// kBlockBytes of the log, the line ends before it (8 bytes a block, well
// under a thousandth of the log). A line's start is found by reading its
// block and counting line ends in it. Lines end as the parser ends them:
// at CR LF, or at LF in a log without any CR LF.
class LineIndex {
 public:
  static constexpr uint64_t kBlockBytes = uint64_t{64} << 10;

  LineIndex() = default;

  LineEnd Ends() const { return ends_; }
  // The bytes indexed: the log's size when the index was built.
  uint64_t Bytes() const { return bytes_; }
  // Lines as an editor numbers them: the rest after the last line end is a
  // line when it is not empty.
  int64_t Lines() const { return lines_; }
  const LogStamp& Stamp() const { return stamp_; }
  size_t MemoryBytes() const { return ends_before_.capacity() * sizeof(uint64_t); }

  // Where line `line` (0-based) starts; Bytes() for line Lines().
  std::variant<uint64_t, Failure> LineStart(const LogFile& file, int64_t line) const;

 private:
  friend class LineIndexBuilder;
  LineEnd ends_ = LineEnd::kCrLf;
  uint64_t bytes_ = 0;
  int64_t lines_ = 0;
  uint64_t line_ends_ = 0;
  std::vector<uint64_t> ends_before_;  // line ends before each block's first byte
  LogStamp stamp_;
};

// Builds a LineIndex from the log's bytes handed over in order, in pieces of
// any size.
class LineIndexBuilder {
 public:
  LineIndexBuilder();
  void Feed(std::string_view piece);
  LineIndex Finish(LogStamp stamp);

 private:
  void FeedBlockPart(std::string_view part);

  uint64_t bytes_ = 0;
  uint64_t lf_ = 0;
  uint64_t crlf_ = 0;
  uint64_t past_last_lf_ = 0;    // just after the last LF
  uint64_t past_last_crlf_ = 0;  // just after the last CR LF
  char last_byte_ = 0;
  std::vector<uint64_t> lf_before_;
  std::vector<uint64_t> crlf_before_;
};

// Reads the log at `path` once and indexes its lines; stamps the log as it
// is read. With `parsed`, the stamp taken when the log was parsed, a log that
// changed since (other than by lines appended) or went away is a failure
// instead of an index of other lines. A cancelled build is a failure too.
std::variant<LineIndex, Failure> BuildLineIndex(const std::filesystem::path& path,
                                                const LogStamp* parsed = nullptr,
                                                const Progress& progress = {});

}  // namespace ombrel
