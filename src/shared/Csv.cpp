#include "shared/Csv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

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

// True when `text` holds a comma, a double quote, CR or LF. One pass with a
// table: find_first_of looks each byte up in the four with a call of its own.
bool NeedsQuotes(std::string_view text) {
  static constexpr auto kSpecial = [] {
    std::array<bool, 256> special{};
    special[static_cast<unsigned char>(',')] = true;
    special[static_cast<unsigned char>('"')] = true;
    special[static_cast<unsigned char>('\r')] = true;
    special[static_cast<unsigned char>('\n')] = true;
    return special;
  }();
  for (const char ch : text)
    if (kSpecial[static_cast<unsigned char>(ch)]) return true;
  return false;
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

CsvWriter::CsvWriter(std::ostream& out)
    : out_(out),
      block_(new char[kFirstBlockSize]),
      end_(block_.get()),
      capacity_(kFirstBlockSize) {}

CsvWriter::~CsvWriter() {
  Flush();
}

void CsvWriter::Flush() {
  const auto used = static_cast<std::streamsize>(end_ - block_.get());
  if (used > 0) out_.write(block_.get(), used);
  end_ = block_.get();
}

bool CsvWriter::Room(size_t bytes) {
  if (static_cast<size_t>(block_.get() + capacity_ - end_) >= bytes) return true;
  Flush();
  // Small outputs stay in a small block; a large one soon writes whole blocks.
  if (capacity_ < kBlockSize) {
    capacity_ = std::min(kBlockSize, 4 * capacity_);
    block_.reset(new char[capacity_]);
    end_ = block_.get();
  }
  return bytes <= capacity_;
}

void CsvWriter::Put(std::string_view text) {
  if (Room(text.size())) {
    if (!text.empty()) std::memcpy(end_, text.data(), text.size());
    end_ += text.size();
  } else {
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
}

CsvWriter& CsvWriter::Field(std::string_view text) {
  if (!first_) {
    Room(1);
    Put(',');
  }
  first_ = false;
  // A spreadsheet would run such a cell as a formula: the apostrophe makes it text.
  const bool guard = LooksLikeFormula(text);
  if (!NeedsQuotes(text)) {
    if (guard) {
      Room(1);
      Put('\'');
    }
    Put(text);
    return *this;
  }
  // Quoted: at most twice the text, the apostrophe and the two quotes.
  if (Room(2 * text.size() + 3)) {
    Put('"');
    if (guard) Put('\'');
    for (char ch : text) {
      if (ch == '"') Put('"');
      Put(ch);
    }
    Put('"');
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
  // A comma and the longest 64-bit number.
  Room(21);
  if (!first_) Put(',');
  first_ = false;
  end_ = std::to_chars(end_, end_ + 20, value).ptr;
  return *this;
}

void CsvWriter::EndLine() {
  Room(2);
  Put('\r');
  Put('\n');
  first_ = true;
}

void CsvWriter::Header(std::string_view line) {
  Put(line);
  EndLine();
}

}  // namespace ombrel
