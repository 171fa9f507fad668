#pragma once

#include <string>
#include <string_view>

namespace ombrel {

// Log text reaches the reports (names, spell names, chat caught by the cast
// rule), so every inserted value is escaped: & < > " become entities. Other
// bytes, Windows-1252 included, pass through unchanged.
void AppendHtmlEscaped(std::string& out, std::string_view text);
std::string HtmlEscaped(std::string_view text);

}  // namespace ombrel
