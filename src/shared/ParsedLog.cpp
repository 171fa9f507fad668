#include "shared/ParsedLog.h"

#include <stdexcept>
#include <utility>

namespace ombrel {
ParsedLog::ParsedLog() : mob_list_{std::string_view{}}, event_table_(1), verbs_(kAttackVerbs) {}

ParsedLog::ParsedLog(ombrel::DamageTable table, std::vector<std::string_view> mob_list,
                     std::vector<EventRecord> events, AttackVerbList verbs)
    : damage_table_(std::move(table)),
      mob_list_(std::move(mob_list)),
      event_table_(std::move(events)),
      verbs_(verbs) {
  for (const std::string_view name : mob_list_) {
    if (!damage_table_.Holds(name))
      throw std::invalid_argument("a mob name does not view its damage table's texts");
  }
  if (mob_list_.empty()) mob_list_.emplace_back();
  if (event_table_.empty()) event_table_.emplace_back();
}

}  // namespace ombrel
