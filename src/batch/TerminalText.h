#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ombrel {

// The longest cell a printed table shows, in characters.
inline constexpr size_t kTerminalCellCharacters = 60;

// A list cell as a terminal shows it: UTF-8 text and its width in characters.
struct TerminalCell {
  std::string text;
  size_t width = 0;
};

// Converts a cell of log bytes (Windows-1252) for a terminal: control
// characters (below 0x20, 0x7F and the five unassigned bytes, which would
// reach the terminal as C1 controls) show as "?", so that a name cannot send
// escape sequences, and a cell longer than kTerminalCellCharacters keeps its
// first characters and ends in "…" within that length.
TerminalCell ToTerminalCell(std::string_view cp1252);
// The same text appended to `out`; returns its width.
size_t AppendTerminalCell(std::string& out, std::string_view cp1252);

// Log bytes (Windows-1252) as UTF-8 for a terminal, whole: control characters
// show as "?" as in a cell, but for tab and those in `kept` (CR and LF where
// lines are written with their ends).
std::string ToTerminalText(std::string_view cp1252, std::string_view kept = {});

}  // namespace ombrel
