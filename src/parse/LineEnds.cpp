#include "parse/LineEnds.h"

#include <cstring>

namespace ombrel {

size_t FindLineEnd(std::string_view text, size_t from, LineEnd kind) {
  const char* data = text.data();
  size_t at = from;
  while (at < text.size()) {
    const void* lf = std::memchr(data + at, '\n', text.size() - at);
    if (lf == nullptr) break;
    const size_t pos = static_cast<size_t>(static_cast<const char*>(lf) - data);
    if (kind == LineEnd::kLf) return pos;
    if (pos > from && data[pos - 1] == '\r') return pos - 1;
    at = pos + 1;
  }
  return std::string_view::npos;
}

size_t PastLastLineEnd(std::string_view text, LineEnd kind) {
  size_t end = text.size();
  while (end > 0) {
    const void* lf = ::memrchr(text.data(), '\n', end);
    if (lf == nullptr) return 0;
    const size_t pos = static_cast<size_t>(static_cast<const char*>(lf) - text.data());
    if (kind == LineEnd::kLf || (pos > 0 && text[pos - 1] == '\r')) return pos + 1;
    end = pos;
  }
  return 0;
}

}  // namespace ombrel
