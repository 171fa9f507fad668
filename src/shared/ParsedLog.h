#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "shared/AttackVerbs.h"
#include "shared/DamageTable.h"
#include "shared/EventRecord.h"
#include "shared/LineRules.h"

namespace ombrel {

// One parsed log with its events: the damage records, the names the character
// damaged (views into the damage table's texts) and the fights built from them,
// with the verb table the log was read with. Built once and never changed:
// the mob list travels and dies with the table it views, and nothing can
// swap one of the three for another log's.
class ParsedLog {
 public:
  // No log: no records, the mob list's one empty entry, one empty event.
  ParsedLog();
  // Takes the three together. Every mob name must view `table`'s texts (or
  // be empty); an empty event table gets its one empty event.
  ParsedLog(ombrel::DamageTable table, std::vector<std::string_view> mob_list,
            std::vector<EventRecord> events, AttackVerbList verbs = kAttackVerbs);
  // The same over a table and events it shares: a log followed while it
  // grows hands each state over without copying its records and fights.
  // Neither may change while this log is in use, and `events` must hold at
  // least one event.
  ParsedLog(std::shared_ptr<const ombrel::DamageTable> table,
            std::vector<std::string_view> mob_list,
            std::shared_ptr<const std::vector<EventRecord>> events,
            AttackVerbList verbs = kAttackVerbs);

  ParsedLog(ParsedLog&&) = default;
  ParsedLog& operator=(ParsedLog&&) = default;
  ParsedLog(const ParsedLog&) = delete;
  ParsedLog& operator=(const ParsedLog&) = delete;

  const ombrel::DamageTable& DamageTable() const;
  // Names the character damaged, in order of first appearance. An empty list
  // is one empty entry.
  std::span<const std::string_view> MobList() const { return mob_list_; }
  // The events in events-list order; always at least one.
  std::span<const EventRecord> EventTable() const {
    return event_table_ != nullptr ? std::span<const EventRecord>(*event_table_)
                                   : std::span<const EventRecord>();
  }
  AttackVerbList AttackVerbs() const { return verbs_; }
  // The line rules the log was read with.
  LineRules Rules() const { return LineRulesOf(verbs_); }
  // The events, shared: a list that renders them keeps them alive.
  std::shared_ptr<const std::vector<EventRecord>> SharedEvents() const { return event_table_; }

  // The event shown in row `event_number` (1-based) of the events list, or
  // null when there is no such row.
  const EventRecord* FindEvent(int32_t event_number) const {
    const std::span<const EventRecord> events = EventTable();
    if (event_number < 1 || static_cast<size_t>(event_number) > events.size()) return nullptr;
    return &events[static_cast<size_t>(event_number) - 1];
  }

 private:
  std::shared_ptr<const ombrel::DamageTable> damage_table_;
  std::vector<std::string_view> mob_list_;
  std::shared_ptr<const std::vector<EventRecord>> event_table_;
  AttackVerbList verbs_;  // one of the static tables
};

}  // namespace ombrel
