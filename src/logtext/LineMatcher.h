#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "shared/DateTime.h"

namespace re2 {
class RE2;
}

namespace ombrel {

// What a search of the log looks for. Texts are Windows-1252 bytes.
struct SearchQuery {
  std::string text;         // a fixed text, or a regular expression when `regex`
  bool regex = false;       // RE2 syntax, matched in time linear in the line
  bool match_case = false;  // off: capitals and small letters are alike
  std::string name;         // only lines that hold this name (as written); empty: any line
  int64_t first_line = 0;   // only lines from first_line to last_line (0-based)
  int64_t last_line = std::numeric_limits<int64_t>::max();
  std::optional<DateTime> from;  // only lines stamped within from to to
  std::optional<DateTime> to;
};

// A query made ready to test lines: the text folded or the expression
// compiled once.
class LineMatcher {
 public:
  // The matcher, or what is wrong with the query ("missing ): (a+").
  static std::variant<LineMatcher, std::string> Make(const SearchQuery& query);
  LineMatcher(LineMatcher&&) noexcept;
  LineMatcher& operator=(LineMatcher&&) noexcept;
  ~LineMatcher();

  const SearchQuery& Query() const { return query_; }
  bool IsRegex() const { return regex_ != nullptr; }

  // Where, at or after `from`, `text` (many lines) first holds what a
  // matching line holds; npos when nowhere. A line holding a candidate may
  // still fail Matches; a line holding none never passes it. For an
  // expression, the lines of `text` must end in LF. `end`, when given,
  // receives where the text or expression found ends.
  size_t Candidate(std::string_view text, size_t from, size_t* end = nullptr) const;
  // True when `line` (without its line end) passes every test of the query;
  // with `text_found`, the text or expression is known to be in it.
  bool Matches(std::string_view line, bool text_found = false) const;

 private:
  explicit LineMatcher(SearchQuery query);
  bool TextMatches(std::string_view line) const;

  SearchQuery query_;
  std::string folded_;  // the text folded, when case does not count
  std::unique_ptr<re2::RE2> regex_;
};

}  // namespace ombrel
