#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "parse/LineEnds.h"
#include "parse/ParseLog.h"
#include "shared/AttackVerbs.h"
#include "shared/LineRules.h"

namespace ombrel {

// How a parser shares its work out: the whole lines of a large piece are cut
// into stretches of at least `chunk_bytes` (at most four per thread), which
// `threads` threads classify at once. 0 threads: as many as the machine runs
// at once; 1: every line on the thread that feeds the parser.
struct ParseSharing {
  unsigned threads = 0;
  size_t chunk_bytes = size_t{256} << 10;
};

// Classifies a log handed over in pieces, in log order, each of any size: a
// line may run across pieces (its start is kept until its end arrives).
// Lines end at CR LF; in a log that holds no CR LF at all, at LF alone, so
// such a log is held whole until its end unless the caller knows beforehand
// (LinesEndAtLf). The
// records keep their texts in the damage table's own text table, so a piece
// may be dropped as soon as Feed returns. The result is the same whatever the
// pieces: one piece, a file read in blocks, or bytes appended later; and
// whatever the sharing.
class LogParser {
 public:
  // `expected_bytes`, the log's size when known, lets the record table be
  // reserved once instead of growing as it fills.
  LogParser(std::string_view character_name, AttackVerbList verbs,
            LineRules rules = LineRules::kDefault, size_t expected_bytes = 0,
            ParseSharing sharing = {});
  ~LogParser();
  LogParser(const LogParser&) = delete;
  LogParser& operator=(const LogParser&) = delete;

  // Before the first Feed, by a caller that knows the whole log holds no CR
  // LF (a file looked through beforehand): its lines end at LF, and are
  // classified as their pieces come instead of the log being held.
  void LinesEndAtLf() { lf_known_ = true; }

  // Classifies every line that ends in `piece`; keeps the unended rest.
  void Feed(std::string_view piece);

  // Bytes fed so far.
  uint64_t bytes() const { return bytes_; }

  // What Finish would hand over had the log ended right after the last line
  // end fed so far, without spending the parser: the records and mob list
  // classified so far and that prefix's line counts (the empty line after its
  // last line end included). The names are as the lines wrote them: under the
  // extended rules the joining of spellings is the caller's. While a log has
  // shown no CR LF its line ends are not known (unless LinesEndAtLf said so),
  // and the prefix is empty.
  struct SoFar {
    const ombrel::DamageTable& DamageTable;
    const std::vector<std::string_view>& MobList;
    int64_t lines = 0;
    int64_t unreadable_lines = 0;
  };
  SoFar ClassifiedSoFar() const;

  // The records classified so far, for a caller that rewrites names in place
  // between two Feeds (a live view joining spellings). It must put back what
  // the lines wrote before the next Feed, Finish or Stop.
  ombrel::DamageTable& ClassifiedTable();

  // The rest after the last line end is the last line, empty when the log
  // ends with a line end; an empty log has no line at all. Under the extended
  // rules the parties' spellings are then joined (JoinSentenceCapitals).
  // Hands the result over; the parser is spent.
  ParseResult Finish();

  // Hands over what was classified without the unended rest: a parse that
  // stops early. The parser is spent.
  ParseResult Stop();

 private:
  struct State;

  // Classifies the line carried from the pieces before if it ends in
  // `piece`, then the whole lines after it.
  void FeedLines(std::string_view piece, LineEnd line_end);
  // Classifies the whole lines of `text` and keeps the rest.
  void ClassifyLines(std::string_view text, LineEnd line_end);
  // Classifies `text`, whole lines only, sharing it out when it is large.
  void ClassifyWholeLines(std::string_view text, LineEnd line_end);

  std::unique_ptr<State> state_;
  std::string carry_;  // the start of a line whose end has not arrived
  // The log so far while it holds no CR LF (its line ends are not known yet).
  std::string held_;
  bool crlf_seen_ = false;
  bool lf_known_ = false;
  uint64_t bytes_ = 0;
  size_t expected_bytes_ = 0;
};

}  // namespace ombrel
