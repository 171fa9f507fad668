#include "report/HtmlEscape.h"

#include <array>

namespace ombrel {
namespace {

// The bytes that HTML text escapes, looked up in one table (find_first_of
// searches the four with a call for each byte of the text).
constexpr auto kEscaped = [] {
  std::array<bool, 256> escaped{};
  for (const unsigned char c : {'&', '<', '>', '"'}) escaped[c] = true;
  return escaped;
}();

}  // namespace

void AppendHtmlEscaped(std::string& out, std::string_view text) {
  // Most texts (numbers, dates, names) hold nothing to escape: copied whole.
  size_t first = 0;
  while (first < text.size() && !kEscaped[static_cast<unsigned char>(text[first])]) ++first;
  out.append(text.substr(0, first));
  if (first == text.size()) return;
  for (const char c : text.substr(first)) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out.push_back(c);
    }
  }
}

std::string HtmlEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendHtmlEscaped(out, text);
  return out;
}

}  // namespace ombrel
