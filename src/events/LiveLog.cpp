#include "events/LiveLog.h"

#include <algorithm>
#include <utility>

#include "events/BuildEvents.h"

namespace ombrel {
namespace {

bool SameRecord(const DamageRecord& a, const DamageRecord& b) {
  return a.Date == b.Date && a.Dealer == b.Dealer && a.Taker == b.Taker && a.Damage == b.Damage &&
         a.Crit == b.Crit && a.Type == b.Type && a.Name == b.Name && a.Counter == b.Counter;
}

}  // namespace

LiveLog::LiveLog(std::string_view character_name, AttackVerbList verbs, LineRules rules,
                 int32_t event_gap, size_t expected_bytes, ParseSharing sharing)
    : character_name_(character_name),
      rules_(rules),
      gap_(event_gap),
      parser_(character_name, verbs, rules, expected_bytes, sharing),
      events_(event_gap),
      joined_events_(1) {}

void LiveLog::Feed(std::string_view bytes) {
  parser_.Feed(bytes);
}

bool LiveLog::Refresh() {
  const LogParser::SoFar so_far = parser_.ClassifiedSoFar();
  const bool grew = so_far.lines != lines_;
  lines_ = so_far.lines;
  unreadable_lines_ = so_far.unreadable_lines;
  if (rules_ == LineRules::kExtended) {
    if (grew) JoinNames();
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
  const EventRecord& e = events[index];
  const int64_t since_end = SecondsBetween(e.EndDate, *latest);
  if (since_end > gap_ || since_end < -int64_t{gap_}) return false;
  if (rules_ != LineRules::kExtended) return events_.IsLatestOfMob(index);
  return std::none_of(events.begin() + static_cast<std::ptrdiff_t>(index) + 1, events.end(),
                      [&e](const EventRecord& later) { return later.Name == e.Name; });
}

// The spellings are joined in the parser's own table; the names the lines
// wrote are put back before the next join and before the parser finishes.
void LiveLog::PutBackWrittenNames() {
  DamageTable& table = parser_.ClassifiedTable();
  for (const WrittenNames& w : written_) {
    if (w.index >= table.size()) continue;
    DamageRecord r = table[w.index];
    // The parser amended its last record since (a cast completed by its hit):
    // it holds the names as written already.
    if (w.index + 1 == table.size() && last_joined_ && !SameRecord(r, *last_joined_)) continue;
    r.Dealer = w.Dealer;
    r.Taker = w.Taker;
    table.Replace(w.index, r);
  }
  written_.clear();
  last_joined_.reset();
}

void LiveLog::JoinNames() {
  PutBackWrittenNames();
  const LogParser::SoFar so_far = parser_.ClassifiedSoFar();
  joined_mobs_ = so_far.MobList;
  if (so_far.DamageTable.empty() && so_far.lines == 0) {
    joined_events_ = BuildEvents(so_far.DamageTable, joined_mobs_, gap_);
    return;
  }
  DamageTable& table = parser_.ClassifiedTable();
  written_ = JoinSentenceCapitals(table, joined_mobs_, character_name_);
  if (!table.empty()) last_joined_ = table[table.size() - 1];
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
