#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace ombrel {

// A plain number: an optional sign, then digits (optionally grouped by commas
// in threes) with optional decimals, or a point and decimals (".41"),
// optionally ending in "%".
bool IsPlainNumber(std::string_view text);

// True for a text that a spreadsheet would take as a formula: one that begins
// with "=", "+", "-", "@", TAB or CR and is not a plain number.
bool LooksLikeFormula(std::string_view text);

// Writes comma-separated lines ended by CR LF. A field that looks like a
// formula gets a leading apostrophe, so that a name or a chat line from the log
// stays text in a spreadsheet. A field holding a comma, a double quote, CR or
// LF is then quoted with inner quotes doubled, so names with commas do not
// shift the columns; every other field is written as it is.
class CsvWriter {
 public:
  explicit CsvWriter(std::ostream& out) : out_(out) {}

  CsvWriter& Field(std::string_view text);
  CsvWriter& Field(int64_t value);
  void EndLine();

  // A whole header line, written as given.
  void Header(std::string_view line);

 private:
  std::ostream& out_;
  bool first_ = true;
};

}  // namespace ombrel
