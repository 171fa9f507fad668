#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "parse/LineSigns.h"
#include "parse/PartyNames.h"
#include "shared/DamageTable.h"
#include "shared/LineRules.h"

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

}  // namespace ombrel
