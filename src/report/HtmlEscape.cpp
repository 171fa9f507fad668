#include "report/HtmlEscape.h"

namespace ombrel {

void AppendHtmlEscaped(std::string& out, std::string_view text) {
  // Most texts (numbers, dates, names) hold nothing to escape: copied whole.
  const size_t first = text.find_first_of("&<>\"");
  out.append(text.substr(0, first));
  if (first == std::string_view::npos) return;
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
