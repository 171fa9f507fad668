#include "logtext/LogSearch.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "logtext/LineEndCount.h"
#include "parse/ParseLog.h"

namespace ombrel {
namespace {

constexpr uint64_t kNoEnd = std::numeric_limits<uint64_t>::max();

// How a log without an index ends its lines: CR LF when it holds one anywhere.
std::variant<LineEnd, Failure> DetectLineEnd(const LogFile& file) {
  std::string piece(kLogReadPiece, '\0');
  char before = 0;
  for (uint64_t at = 0;;) {
    auto read = file.Read(at, piece);
    if (auto* failure = std::get_if<Failure>(&read)) return std::move(*failure);
    const size_t got = std::get<size_t>(read);
    if (got == 0) return LineEnd::kLf;
    if (HoldsCrLf(before, std::string_view(piece.data(), got))) return LineEnd::kCrLf;
    before = piece[got - 1];
    at += got;
  }
}

uint64_t CountEnds(std::string_view text, size_t from, size_t to, LineEnd kind) {
  const LineEndCounts counts = CountLineEnds(text.data() + from, to - from, 0);
  return kind == LineEnd::kCrLf ? counts.crlf : counts.lf;
}

// Where the line that holds position `at` of `text` starts, no earlier than `floor`.
size_t LineStartBefore(std::string_view text, size_t floor, size_t at, LineEnd kind) {
  while (at > floor) {
    const auto* lf = static_cast<const char*>(::memrchr(text.data() + floor, '\n', at - floor));
    if (lf == nullptr) return floor;
    const size_t pos = static_cast<size_t>(lf - text.data());
    if (kind == LineEnd::kLf || (pos > 0 && text[pos - 1] == '\r')) return pos + 1;
    at = pos;
  }
  return floor;
}

// `text` with each CR LF as two LFs, so that an expression's $ stands before
// a CR LF as before an LF; positions and the lines' bytes stay.
void PlainLineEnds(std::string_view text, std::string& plain) {
  plain.assign(text);
  for (size_t at = 0;;) {
    const void* lf = std::memchr(plain.data() + at, '\n', plain.size() - at);
    if (lf == nullptr) return;
    at = static_cast<size_t>(static_cast<const char*>(lf) - plain.data());
    if (at > 0 && plain[at - 1] == '\r') plain[at - 1] = '\n';
    ++at;
  }
}

}  // namespace

std::variant<SearchSummary, Failure> SearchLog(
    const std::filesystem::path& path, const LineIndex* index, const LineMatcher& matcher,
    const std::function<void(const LineMatch&)>& on_match, const Progress& progress,
    size_t piece_bytes) {
  auto opened = LogFile::Open(path);
  if (auto* failure = std::get_if<Failure>(&opened)) return std::move(*failure);
  const LogFile& file = std::get<LogFile>(opened);
  const SearchQuery& query = matcher.Query();

  LineEnd kind = LineEnd::kCrLf;
  uint64_t offset = 0;  // where the buffer starts in the log
  uint64_t end = kNoEnd;
  int64_t line = 0;  // the line the buffer starts with
  if (index != nullptr) {
    const LogState state = CheckLog(path, index->Stamp());
    if (state == LogState::kChanged || state == LogState::kGone) {
      return LogStateFailure(path, state);
    }
    kind = index->Ends();
    end = index->Bytes();
    if (query.first_line > 0) {
      line = std::min(query.first_line, index->Lines());
      auto start = index->LineStart(file, line);
      if (auto* failure = std::get_if<Failure>(&start)) return std::move(*failure);
      offset = std::get<uint64_t>(start);
    }
    if (query.last_line < index->Lines() - 1) {
      auto stop = index->LineStart(file, query.last_line + 1);
      if (auto* failure = std::get_if<Failure>(&stop)) return std::move(*failure);
      end = std::get<uint64_t>(stop);
    }
  } else {
    auto detected = DetectLineEnd(file);
    if (auto* failure = std::get_if<Failure>(&detected)) return std::move(*failure);
    kind = std::get<LineEnd>(detected);
  }
  uint64_t total = end;
  if (total == kNoEnd) {
    struct stat info {};
    total = ::stat(path.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
  }
  const uint64_t first_offset = offset;
  const size_t end_size = LineEndSize(kind);
  const bool plain_needed = matcher.IsRegex() && kind == LineEnd::kCrLf;

  SearchSummary summary;
  const size_t piece = std::max<size_t>(piece_bytes, 1);
  std::string buffer(piece, '\0');
  std::string plain;
  size_t held = 0;  // bytes in the buffer carried from the last piece
  bool at_end = false;
  while (!at_end) {
    if (progress.Cancelled()) {
      summary.cancelled = true;
      return summary;
    }
    // Room for a piece after the start of a line that ran on from the last.
    if (buffer.size() < held + piece) buffer.resize(held + piece);
    size_t want = piece;
    if (end != kNoEnd) want = static_cast<size_t>(std::min<uint64_t>(want, end - offset - held));
    auto read = file.Read(offset + held, std::span<char>(buffer.data() + held, want));
    if (auto* failure = std::get_if<Failure>(&read)) return std::move(*failure);
    const size_t got = std::get<size_t>(read);
    at_end = got < want || want == 0 || (end != kNoEnd && offset + held + got >= end);
    const size_t filled = held + got;
    const std::string_view text(buffer.data(), filled);
    const size_t whole = at_end ? filled : PastLastLineEnd(text, kind);
    if (whole == 0 && !at_end) {
      held = filled;
      continue;
    }
    std::string_view searched = text.substr(0, whole);
    if (plain_needed) {
      PlainLineEnds(searched, plain);
      searched = plain;
    }
    size_t counted = 0;  // lines are counted up to here
    int64_t counted_line = line;
    for (size_t from = 0; from < whole;) {
      size_t found_end = 0;
      size_t at = matcher.Candidate(searched, from, &found_end);
      if (at == std::string_view::npos || at >= whole) break;
      // A candidate on the LF of a CR LF belongs to the line that CR LF ends.
      if (kind == LineEnd::kCrLf && at > 0 && text[at] == '\n' && text[at - 1] == '\r') --at;
      const size_t start = LineStartBefore(text, from, at, kind);
      size_t stop = FindLineEnd(text, at, kind);
      if (stop == std::string_view::npos || stop > whole) stop = whole;
      counted_line += static_cast<int64_t>(CountEnds(text, counted, start, kind));
      counted = start;
      if (counted_line > query.last_line) {
        at_end = true;
        break;
      }
      const std::string_view line_text = text.substr(start, stop - start);
      // What was found within the line is found in the line alone too (^, $
      // and \b see a line end as the text's end); an empty match at a CR LF's
      // CR, or one that runs past the line, is tried on the line alone.
      const bool within = found_end <= stop && (at < stop || start == stop);
      if (counted_line >= query.first_line && matcher.Matches(line_text, within)) {
        if (++summary.matches <= kListedMatches && on_match) {
          on_match(LineMatch{counted_line, offset + start, line_text});
        }
      }
      from = stop == whole ? whole : stop + end_size;
    }
    line = counted_line + static_cast<int64_t>(CountEnds(text, counted, whole, kind));
    std::memmove(buffer.data(), buffer.data() + whole, filled - whole);
    held = filled - whole;
    offset += whole;
    if (total > first_offset) {
      progress.Report(std::min(1.0, static_cast<double>(offset - first_offset) /
                                        static_cast<double>(total - first_offset)));
    }
  }
  return summary;
}

}  // namespace ombrel
