#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
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
//
// Lines are gathered in a block of its own and handed to the stream in large
// writes: when the block fills, on Flush() and when the writer goes away, so
// the stream is complete once the writer is destroyed.
class CsvWriter {
 public:
  explicit CsvWriter(std::ostream& out);
  ~CsvWriter();
  CsvWriter(const CsvWriter&) = delete;
  CsvWriter& operator=(const CsvWriter&) = delete;

  CsvWriter& Field(std::string_view text);
  CsvWriter& Field(int64_t value);
  void EndLine();

  // A whole header line, written as given.
  void Header(std::string_view line);

  // Hands what was gathered to the stream.
  void Flush();

 private:
  // Makes room for `bytes` more in the block; false when they are larger than
  // a block and must go to the stream directly.
  bool Room(size_t bytes);
  void Put(char ch) { *end_++ = ch; }
  void Put(std::string_view text);

  static constexpr size_t kFirstBlockSize = size_t{16} << 10;
  static constexpr size_t kBlockSize = size_t{1} << 20;

  std::ostream& out_;
  std::unique_ptr<char[]> block_;
  char* end_;
  size_t capacity_;
  bool first_ = true;
};

}  // namespace ombrel
