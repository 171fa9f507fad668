#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>
#include <variant>

#include "logtext/LineIndex.h"
#include "logtext/LineMatcher.h"
#include "parse/ParseLog.h"
#include "shared/Failure.h"
#include "shared/Progress.h"

namespace ombrel {

// Matching lines beyond this many are counted but not handed over.
inline constexpr int64_t kListedMatches = 100'000;

// One matching line: its number (0-based), where it starts in the log and its
// bytes without the line end (valid during the call only).
struct LineMatch {
  int64_t line = 0;
  uint64_t offset = 0;
  std::string_view text;
};

struct SearchSummary {
  int64_t matches = 0;  // matching lines, listed or not
  bool cancelled = false;
};

// Reads the log at `path` in large pieces and hands each matching line, in
// log order, to `on_match` (the first kListedMatches of them), reporting the
// fraction read through `progress`. With `index`, the log must be the one
// indexed (lines appended since are not searched; a log changed otherwise
// or gone is a failure) and a search limited to a span of lines reads only
// that span; without, the log is read from its start, its line ends found
// as the parser finds them. The log is read `piece_bytes` at a time.
std::variant<SearchSummary, Failure> SearchLog(
    const std::filesystem::path& path, const LineIndex* index, const LineMatcher& matcher,
    const std::function<void(const LineMatch&)>& on_match, const Progress& progress = {},
    size_t piece_bytes = kLogReadPiece);

}  // namespace ombrel
