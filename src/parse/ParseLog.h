#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>
#include <variant>

#include "parse/ParseResult.h"
#include "shared/AttackVerbs.h"
#include "shared/Failure.h"
#include "shared/LineRules.h"
#include "shared/Progress.h"

namespace ombrel {

// A log is read and classified in pieces of this size: no more than two
// pieces of it (the one classified, the next read meanwhile) are in memory at
// a time, and progress and cancel are looked at after each.
inline constexpr size_t kLogReadPiece = size_t{4} << 20;

// The log path that names standard input.
inline constexpr std::string_view kStandardInputPath = "-";

// Reads the log at `path` in pieces, until its end whatever size the file
// claims (pipes, FIFOs, files such as those of /proc), and classifies every
// line; a piece is dropped once its lines are classified. kStandardInputPath
// reads standard input. A pipe or FIFO is waited for until its writer writes
// or a cancel comes, never longer. Fails (naming the path and the reason)
// only when the log cannot be opened or read.
std::variant<ParseResult, Failure> ParseLog(const std::filesystem::path& path,
                                            std::string_view character_name, AttackVerbList verbs,
                                            const Progress& progress = {},
                                            LineRules rules = LineRules::kDefault);

// Parses a log held in memory.
ParseResult ParseLogText(std::string_view text, std::string_view character_name,
                         AttackVerbList verbs = kAttackVerbs,
                         LineRules rules = LineRules::kDefault);

}  // namespace ombrel
