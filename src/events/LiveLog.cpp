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
      events_(event_gap) {
  if (rules_ == LineRules::kExtended) parties_ = std::make_unique<LivePartyNames>(character_name_);
}

void LiveLog::Feed(std::string_view bytes) {
  // The parser reads back the last record it kept (a cast the next line
  // completes) and joins stretches classified apart to it: it must find the
  // names as the line wrote them.
  if (parties_) {
    parties_->PutBackLast(parser_.ClassifiedTable());
    names_put_back_ = true;
  }
  parser_.Feed(bytes);
}

bool LiveLog::Refresh() {
  const LogParser::SoFar so_far = parser_.ClassifiedSoFar();
  const bool grew = so_far.lines != lines_;
  lines_ = so_far.lines;
  unreadable_lines_ = so_far.unreadable_lines;
  if (parties_) {
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
  return parties_ ? parties_->MobList() : parser_.ClassifiedSoFar().MobList;
}

const std::vector<EventRecord>& LiveLog::Events() const {
  return events_.Events();
}

std::vector<WrittenNames> LiveLog::Written() const {
  return parties_ ? parties_->Written(Table()) : std::vector<WrittenNames>();
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
  return events_.IsLatestOfMob(index);
}

std::vector<size_t> LiveLog::OpenEvents() const {
  std::vector<size_t> open = events_.LatestOfEachMob();
  const std::vector<EventRecord>& events = Events();
  const std::optional<DateTime> latest = LatestTime();
  std::erase_if(open, [&](size_t index) {
    return !latest || events[index].Name.empty() ||
           !event_steps::Accepts(events[index], *latest, gap_);
  });
  return open;
}

void LiveLog::StartOver() {
  parties_ = std::make_unique<LivePartyNames>(character_name_);
  events_ = LiveEvents(gap_);
}

// The spellings are joined in the parser's own table, at the cost of the
// records added; the events follow the joined table and its renames.
void LiveLog::JoinNames() {
  names_put_back_ = false;
  const LogParser::SoFar so_far = parser_.ClassifiedSoFar();
  DamageTable& table = parser_.ClassifiedTable();
  if (&so_far.DamageTable != &table) {
    // The log's line ends are not known yet: nothing to show.
    events_.Update(so_far.DamageTable, parties_->MobList());
    return;
  }
  // The parser started over after its first line: its table is a new one.
  if (joined_table_ != nullptr && joined_table_ != &table) StartOver();
  joined_table_ = &table;
  renamed_.clear();
  if (!parties_->Update(table, so_far.MobList, renamed_)) {
    StartOver();
    renamed_.clear();
    parties_->Update(table, so_far.MobList, renamed_);
  }
  for (const LivePartyNames::Renamed& r : renamed_) events_.Rename(r.from, r.to);
  events_.Update(table, parties_->MobList());
}

LiveLog::Final LiveLog::Finish() {
  Final final;
  if (parties_) {
    if (joined_table_ == &parser_.ClassifiedTable())
      parties_->PutBackAll(parser_.ClassifiedTable());
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
