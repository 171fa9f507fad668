#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "logtext/LineIndex.h"
#include "shared/EventRecord.h"
#include "shared/Failure.h"
#include "shared/ParsedLog.h"

namespace ombrel {

// A line read for showing: longer lines keep their first kShownLineBytes.
inline constexpr size_t kShownLineBytes = 4096;

// Lines `first` to `first + count - 1` of the indexed log (fewer at its end),
// each without its line end. The log must still be the one indexed.
std::variant<std::vector<std::string>, Failure> ReadLines(const LogFile& file,
                                                          const LineIndex& index, int64_t first,
                                                          int64_t count);

// The lines from `first` to `last` (0-based, inclusive) of a log.
struct LineSpan {
  int64_t first = 0;
  int64_t last = 0;
};

// The lines of a fight: from its first record's line to its last's. Nothing
// for the empty event of a log without fights.
std::optional<LineSpan> FightLines(const ParsedLog& log, const EventRecord& event);

// The bytes of the lines in `span` (their line ends included) as the log
// holds them, written to `out` in pieces. The log must still be the one
// indexed.
std::optional<Failure> CopyLines(const LogFile& file, const LineIndex& index, LineSpan span,
                                 std::ostream& out);

// The same bytes, handed over piece by piece to `sink` (for a conversion on the way).
std::optional<Failure> ForEachLinePiece(const LogFile& file, const LineIndex& index, LineSpan span,
                                        const std::function<void(std::string_view)>& sink);

}  // namespace ombrel
