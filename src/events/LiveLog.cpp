#include "events/LiveLog.h"

#include <utility>

#include "events/BuildEvents.h"

namespace ombrel {

LiveLog::LiveLog(std::string_view character_name, AttackVerbList verbs, LineRules rules,
                 int32_t event_gap, size_t expected_bytes, ParseSharing sharing)
    : character_name_(character_name),
      rules_(rules),
      gap_(event_gap),
      parser_(character_name, verbs, rules, expected_bytes, sharing),
      events_(event_gap),
      joined_events_(1) {}

void LiveLog::Feed(std::string_view bytes) {
  // The parser reads back the last record it kept (a cast the next line
  // completes) and joins stretches classified apart to it: it must find the
  // names as the lines wrote them.
  PutBackWrittenNames();
  parser_.Feed(bytes);
}

bool LiveLog::Refresh() {
  const LogParser::SoFar so_far = parser_.ClassifiedSoFar();
  const bool grew = so_far.lines != lines_;
  lines_ = so_far.lines;
  unreadable_lines_ = so_far.unreadable_lines;
  if (rules_ == LineRules::kExtended) {
    if (grew || names_put_back_) JoinNames();
  } else {
    events_.Update(so_far.DamageTable, so_far.MobList);
  }
  return grew;
}

const DamageTable& LiveLog::Table() const {
  return parser_.ClassifiedSoFar().DamageTable;
}

const std::vector<std::string_view>& LiveLog::MobList() const {
  return rules_ == LineRules::kExtended ? joined_mobs_ : parser_.ClassifiedSoFar().MobList;
}

const std::vector<EventRecord>& LiveLog::Events() const {
  return rules_ == LineRules::kExtended ? joined_events_ : events_.Events();
}

std::optional<DateTime> LiveLog::LatestTime() const {
  const DamageTable& table = Table();
  if (table.empty()) return std::nullopt;
  return table[table.size() - 1].Date;
}

bool LiveLog::IsOpen(size_t index) const {
  const std::vector<EventRecord>& events = Events();
  const std::optional<DateTime> latest = LatestTime();
  if (index >= events.size() || !latest || events[index].Name.empty()) return false;
  // A record of its mob at the latest time would still join it.
  if (!event_steps::Accepts(events[index], *latest, gap_)) return false;
  if (rules_ != LineRules::kExtended) return events_.IsLatestOfMob(index);
  return NoLaterEventOfItsMob(events, index);
}

// The spellings are joined in the parser's own table; the names the lines
// wrote are put back before the parser reads on and before it finishes.
void LiveLog::PutBackWrittenNames() {
  if (written_.empty()) return;
  DamageTable& table = parser_.ClassifiedTable();
  for (const WrittenNames& w : written_) {
    DamageRecord r = table[w.index];
    r.Dealer = w.Dealer;
    r.Taker = w.Taker;
    table.Replace(w.index, r);
  }
  written_.clear();
  names_put_back_ = true;
}

void LiveLog::JoinNames() {
  PutBackWrittenNames();
  names_put_back_ = false;
  const LogParser::SoFar so_far = parser_.ClassifiedSoFar();
  joined_mobs_ = so_far.MobList;
  if (so_far.DamageTable.empty() && so_far.lines == 0) {
    joined_events_ = BuildEvents(so_far.DamageTable, joined_mobs_, gap_);
    return;
  }
  DamageTable& table = parser_.ClassifiedTable();
  written_ = JoinSentenceCapitals(table, joined_mobs_, character_name_);
  joined_events_ = BuildEvents(table, joined_mobs_, gap_);
}

LiveLog::Final LiveLog::Finish() {
  Final final;
  if (rules_ == LineRules::kExtended) {
    PutBackWrittenNames();
    final.parse = parser_.Finish();
    final.events = BuildEvents(final.parse.DamageTable, final.parse.MobList, gap_);
    return final;
  }
  final.parse = parser_.Finish();
  events_.Update(final.parse.DamageTable, final.parse.MobList);
  final.events = events_.Events();
  return final;
}

}  // namespace ombrel
