#include "shared/Csv.h"

namespace ombrel {
namespace {

bool IsDigit(char ch) {
  return ch >= '0' && ch <= '9';
}

// Skips digits at `at`; returns how many there were.
size_t SkipDigits(std::string_view text, size_t& at) {
  const size_t from = at;
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at - from;
}

}  // namespace

bool IsPlainNumber(std::string_view text) {
  size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  const size_t whole = SkipDigits(text, at);
  if (whole > 0 && whole <= 3) {
    // Thousands grouped with commas: every group after the first has three digits.
    while (at < text.size() && text[at] == ',') {
      ++at;
      if (SkipDigits(text, at) != 3) return false;
    }
  }
  size_t decimals = 0;
  if (at < text.size() && text[at] == '.') {
    ++at;
    decimals = SkipDigits(text, at);
    if (decimals == 0) return false;
  }
  if (whole == 0 && decimals == 0) return false;
  if (at < text.size() && text[at] == '%') ++at;
  return at == text.size();
}

bool LooksLikeFormula(std::string_view text) {
  if (text.empty()) return false;
  switch (text.front()) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r':
      return !IsPlainNumber(text);
    default:
      return false;
  }
}

CsvWriter& CsvWriter::Field(std::string_view text) {
  if (!first_) out_.put(',');
  first_ = false;
  // A spreadsheet would run such a cell as a formula: the apostrophe makes it text.
  const bool guard = LooksLikeFormula(text);
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    if (guard) out_.put('\'');
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
    return *this;
  }
  out_.put('"');
  if (guard) out_.put('\'');
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
