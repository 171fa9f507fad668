#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace ombrel {

// Writes comma-separated lines ended by CR LF. A field holding a comma, a
// double quote, CR or LF is quoted with inner quotes doubled, so names with
// commas do not shift the columns; every other field is written as it is.
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
