#include "shared/ParsedLog.h"

#include <stdexcept>
#include <utility>

namespace ombrel {
namespace {

std::shared_ptr<const std::vector<EventRecord>> AtLeastOne(std::vector<EventRecord> events) {
  if (events.empty()) events.emplace_back();
  return std::make_shared<const std::vector<EventRecord>>(std::move(events));
}

}  // namespace

ParsedLog::ParsedLog()
    : mob_list_{std::string_view{}}, event_table_(AtLeastOne({})), verbs_(kAttackVerbs) {}

ParsedLog::ParsedLog(ombrel::DamageTable table, std::vector<std::string_view> mob_list,
                     std::vector<EventRecord> events, AttackVerbList verbs)
    : ParsedLog(std::make_shared<const ombrel::DamageTable>(std::move(table)), std::move(mob_list),
                AtLeastOne(std::move(events)), verbs) {}

ParsedLog::ParsedLog(std::shared_ptr<const ombrel::DamageTable> table,
                     std::vector<std::string_view> mob_list,
                     std::shared_ptr<const std::vector<EventRecord>> events, AttackVerbList verbs)
    : damage_table_(std::move(table)),
      mob_list_(std::move(mob_list)),
      event_table_(std::move(events)),
      verbs_(verbs) {
  for (const std::string_view name : mob_list_) {
    if (!DamageTable().Holds(name))
      throw std::invalid_argument("a mob name does not view its damage table's texts");
  }
  if (mob_list_.empty()) mob_list_.emplace_back();
  if (event_table_ == nullptr || event_table_->empty())
    throw std::invalid_argument("a log has at least one event");
}

const DamageTable& ParsedLog::DamageTable() const {
  // A log moved from, or one made without records.
  static const ombrel::DamageTable kNoRecords;
  return damage_table_ != nullptr ? *damage_table_ : kNoRecords;
}

}  // namespace ombrel
