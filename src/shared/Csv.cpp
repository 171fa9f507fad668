#include "shared/Csv.h"

namespace ombrel {

CsvWriter& CsvWriter::Field(std::string_view text) {
  if (!first_) out_.put(',');
  first_ = false;
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
    return *this;
  }
  out_.put('"');
  for (char ch : text) {
    if (ch == '"') out_.put('"');
    out_.put(ch);
  }
  out_.put('"');
  return *this;
}

CsvWriter& CsvWriter::Field(int64_t value) {
  return Field(std::to_string(value));
}

void CsvWriter::EndLine() {
  out_.write("\r\n", 2);
  first_ = true;
}

void CsvWriter::Header(std::string_view line) {
  out_.write(line.data(), static_cast<std::streamsize>(line.size()));
  EndLine();
}

}  // namespace ombrel
