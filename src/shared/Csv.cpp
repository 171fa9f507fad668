#include "shared/Csv.h"

#include <charconv>
#include <cstring>

namespace ombrel {

CsvWriter::CsvWriter(std::ostream& out)
    : out_(out), block_(new char[kBlockSize]), end_(block_.get()) {}

CsvWriter::~CsvWriter() {
  Flush();
}

void CsvWriter::Flush() {
  const auto used = static_cast<std::streamsize>(end_ - block_.get());
  if (used > 0) out_.write(block_.get(), used);
  end_ = block_.get();
}

bool CsvWriter::Room(size_t bytes) {
  if (static_cast<size_t>(block_.get() + kBlockSize - end_) >= bytes) return true;
  Flush();
  return bytes <= kBlockSize;
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
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    Put(text);
    return *this;
  }
  // Quoted: at most twice the text and the two quotes.
  if (Room(2 * text.size() + 2)) {
    Put('"');
    for (char ch : text) {
      if (ch == '"') Put('"');
      Put(ch);
    }
    Put('"');
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
