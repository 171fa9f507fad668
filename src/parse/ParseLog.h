#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <variant>
#include <vector>

#include "parse/DataCsv.h"
#include "parse/LineSigns.h"
#include "parse/PartyNames.h"
#include "shared/AttackVerbs.h"
#include "shared/DamageTable.h"
#include "shared/Failure.h"
#include "shared/LineRules.h"
#include "shared/Progress.h"

namespace ombrel {

// What one parse of a log produced. MobList views into the table's texts.
struct ParseResult {
  ombrel::DamageTable DamageTable;
  std::vector<std::string_view> MobList{std::string_view{}};
  int64_t lines = 0;  // lines in the log
  int64_t unreadable_lines =
      0;                   // lines a rule matched but whose time, amount or layout was unreadable
  bool cancelled = false;  // stopped early through Progress::cancel
  LineSigns signs;         // no case pairs: the caller counts those when it wants them
  // The rules that read the log, and (extended rules only) the parties of
  // records as their lines wrote them where the table shows other spellings.
  LineRules rules = LineRules::kDefault;
  std::vector<WrittenNames> written_names;
};

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
