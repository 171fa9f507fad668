#pragma once

#include <cstddef>
#include <string_view>

namespace ombrel {

// How a log ends its lines: CR LF, or LF alone in a log that holds no CR LF at
// all. Under CR LF a lone CR or LF is part of its line.
enum class LineEnd { kCrLf, kLf };

inline size_t LineEndSize(LineEnd kind) {
  return kind == LineEnd::kCrLf ? 2 : 1;
}

// True when `text`, coming right after a byte `before` (0 for none), holds a
// CR LF or completes one begun by `before`.
inline bool HoldsCrLf(char before, std::string_view text) {
  return (before == '\r' && !text.empty() && text.front() == '\n') ||
         text.find("\r\n") != std::string_view::npos;
}

// Where the first line end that starts at or after `from` starts;
// std::string_view::npos when there is none.
size_t FindLineEnd(std::string_view text, size_t from, LineEnd kind);

// Just past the last line end of `text`; 0 when it holds none.
size_t PastLastLineEnd(std::string_view text, LineEnd kind);

// Calls `line(text, index)` for every line of `text`, which holds whole lines
// only (each with its line end), numbering them from `first_index`; returns
// the number of lines.
template <typename OnLine>
int64_t ForEachLine(std::string_view text, LineEnd kind, int64_t first_index, OnLine&& line) {
  const size_t end_size = LineEndSize(kind);
  int64_t index = first_index;
  size_t start = 0;
  for (size_t end = FindLineEnd(text, start, kind); end != std::string_view::npos;
       end = FindLineEnd(text, start, kind)) {
    line(text.substr(start, end - start), index++);
    start = end + end_size;
  }
  return index - first_index;
}

}  // namespace ombrel
