#include "logtext/LineMatcher.h"

#include <re2/re2.h>

#include "logtext/FoldCase.h"
#include "parse/LogLineTime.h"
#include "parse/TextSearch.h"

namespace ombrel {

LineMatcher::LineMatcher(SearchQuery query) : query_(std::move(query)) {}
LineMatcher::LineMatcher(LineMatcher&&) noexcept = default;
LineMatcher& LineMatcher::operator=(LineMatcher&&) noexcept = default;
LineMatcher::~LineMatcher() = default;

std::variant<LineMatcher, std::string> LineMatcher::Make(const SearchQuery& query) {
  if (query.text.find_first_of("\r\n") != std::string::npos) {
    return std::string("the text to find is on one line");
  }
  LineMatcher matcher(query);
  if (!query.regex) {
    if (!query.match_case) matcher.folded_ = FoldCase(query.text);
    return matcher;
  }
  RE2::Options options;
  options.set_encoding(RE2::Options::EncodingLatin1);  // one byte, one character
  options.set_case_sensitive(query.match_case);
  options.set_never_nl(true);
  options.set_log_errors(false);
  options.set_max_mem(int64_t{64} << 20);
  // Checked as typed, for a message in the user's own words.
  if (const re2::RE2 typed(query.text, options); !typed.ok()) {
    return "not a valid regular expression: " + typed.error();
  }
  // Multi-line: ^ and $ stand at each line's start and end in a text of many lines.
  matcher.regex_ = std::make_unique<re2::RE2>("(?m)" + query.text, options);
  if (!matcher.regex_->ok()) return "not a valid regular expression: " + matcher.regex_->error();
  return matcher;
}

size_t LineMatcher::Candidate(std::string_view text, size_t from, size_t* end) const {
  if (from > text.size()) return std::string_view::npos;
  size_t at = std::string_view::npos;
  size_t size = query_.text.size();
  if (regex_ != nullptr) {
    re2::StringPiece found;
    if (!regex_->Match(re2::StringPiece(text.data(), text.size()), from, text.size(),
                       RE2::UNANCHORED, &found, 1)) {
      return std::string_view::npos;
    }
    at = static_cast<size_t>(found.data() - text.data());
    size = found.size();
  } else if (query_.text.empty()) {
    at = from;
  } else {
    at = query_.match_case ? FindText(text, query_.text, from) : FindFolded(text, folded_, from);
  }
  if (end != nullptr && at != std::string_view::npos) *end = at + size;
  return at;
}

bool LineMatcher::TextMatches(std::string_view line) const {
  if (regex_ != nullptr) {
    return regex_->Match(re2::StringPiece(line.data(), line.size()), 0, line.size(),
                         RE2::UNANCHORED, nullptr, 0);
  }
  if (query_.match_case) return ContainsText(line, query_.text);
  return FindFolded(line, folded_) != std::string_view::npos;
}

bool LineMatcher::Matches(std::string_view line, bool text_found) const {
  if (!text_found && !TextMatches(line)) return false;
  if (!query_.name.empty() && !ContainsText(line, query_.name)) return false;
  if (query_.from || query_.to) {
    const std::optional<DateTime> stamp = LogLineTime(line);
    if (!stamp) return false;
    if (query_.from && *stamp < *query_.from) return false;
    if (query_.to && *stamp > *query_.to) return false;
  }
  return true;
}

}  // namespace ombrel
