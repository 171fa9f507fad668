#include "events/LiveEvents.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <string>
#include <utility>

#include "events/BuildEvents.h"
#include "shared/DamageRecord.h"

namespace ombrel {
namespace {

using event_steps::Accepts;
using event_steps::OpenEvent;
using event_steps::TakeRecord;

bool StartsBefore(const EventRecord& e, int64_t start) {
  return e.StartCounter < start;
}

bool ByStart(const EventRecord& a, const EventRecord& b) {
  return a.StartCounter < b.StartCounter;
}

}  // namespace

bool NoLaterEventOfItsMob(const std::vector<EventRecord>& events, size_t index) {
  const std::string_view mob = events[index].Name;
  return std::none_of(events.begin() + static_cast<std::ptrdiff_t>(index) + 1, events.end(),
                      [mob](const EventRecord& later) { return later.Name == mob; });
}

LiveEvents::LiveEvents(int32_t event_gap) : gap_(event_gap), no_event_(1) {
  no_event_.front().Duration = DurationSeconds(DateTime{}, DateTime{});
}

const std::vector<EventRecord>& LiveEvents::Events() const {
  return events_.empty() ? no_event_ : events_;
}

bool LiveEvents::IsLatestOfMob(size_t index) const {
  const std::vector<EventRecord>& events = Events();
  if (index >= events.size()) return false;
  const EventRecord& e = events[index];
  if (literal_) return NoLaterEventOfItsMob(events, index);
  const auto mob = mobs_.find(std::string_view(e.Name));
  return mob != mobs_.end() && mob->second.latest == e.StartCounter;
}

std::vector<size_t> LiveEvents::LatestOfEachMob() const {
  std::vector<size_t> latest;
  if (literal_) {
    NameSet seen;
    for (size_t index = events_.size(); index-- > 0;)
      if (seen.insert(events_[index].Name).second) latest.push_back(index);
  } else {
    for (const auto& [name, mob] : mobs_) {
      if (mob.latest < 0) continue;
      const auto at = std::lower_bound(events_.begin(), events_.end(), mob.latest, StartsBefore);
      latest.push_back(static_cast<size_t>(at - events_.begin()));
    }
  }
  std::sort(latest.begin(), latest.end());
  return latest;
}

LiveEvents::Mob* LiveEvents::FindMob(std::string_view name) {
  if (name.empty()) return nullptr;
  const auto mob = mobs_.find(name);
  return mob == mobs_.end() ? nullptr : &mob->second;
}

void LiveEvents::Update(const DamageTable& table, std::span<const std::string_view> mob_list) {
  if (!literal_) {
    if (table.size() < processed_ || table.size() > std::numeric_limits<uint32_t>::max()) {
      literal_ = true;
    } else {
      TakeBackProvisional();
      const std::vector<std::string_view> fresh = NewMobs(mob_list);
      if (!fresh.empty() && !ClaimEarlierRecords(table, fresh)) {
        Rebuild(table, mob_list);
      } else {
        const size_t count = table.size();
        for (size_t i = processed_; i + 1 < count; ++i) Apply(table, i, false);
        if (count > processed_) Apply(table, count - 1, true);
        processed_ = count;
      }
      // The empty name as a mob changes how the first event opens; only the
      // one-shot walk has that right.
      const bool empty_name_is_mob =
          (!mob_list.empty() && mob_list.front().empty()) || empty_name_listed_;
      if (empty_name_is_mob && empty_party_seen_) literal_ = true;
    }
  }
  if (literal_) BuildLiterally(table, mob_list);
}

void LiveEvents::Rename(std::string_view from, std::string_view to) {
  if (literal_) return;  // built again at every update
  auto rekey = [from, to](auto& map) {
    auto node = map.extract(from);
    if (node.empty()) return;
    node.key() = to;
    map.insert(std::move(node));
  };
  rekey(mobs_);
  rekey(waiting_);
  if (auto node = deaths_of_.extract(from); !node.empty()) {
    node.key() = to;
    deaths_of_.insert(std::move(node));
  }
  for (EventRecord& e : events_)
    if (e.Name == from) e.Name = to;
  Provisional& p = provisional_;
  if (p.mob == from) p.mob = to;
  for (std::string_view& name : p.waiting)
    if (name == from) name = to;
  if (p.before.Name == from) p.before.Name = to;
  if (first_mob_ == from) first_mob_ = to;
}

void LiveEvents::TakeBackProvisional() {
  if (!provisional_.applied) return;
  Provisional& p = provisional_;
  if (!p.mob.empty()) {
    Mob& mob = mobs_.find(p.mob)->second;
    if (p.opened) {
      events_.pop_back();  // it started at the last record
      mob.latest = p.previous_latest;
    } else {
      EventStartingAt(events_, mob.latest) = std::move(p.before);
    }
  }
  for (const std::string_view name : p.waiting) {
    if (!name.empty()) waiting_.find(name)->second.pop_back();
  }
  processed_ = p.index;
  provisional_ = Provisional{};
}

std::vector<std::string_view> LiveEvents::NewMobs(std::span<const std::string_view> mob_list) {
  std::vector<std::string_view> fresh;
  auto consider = [this, &fresh](std::string_view name) {
    if (name.empty()) return;
    if (mobs_.try_emplace(name).second) fresh.push_back(name);
  };
  if (!mob_list.empty() && mob_list.front() != first_mob_) {
    first_mob_ = mob_list.front();
    consider(first_mob_);
  }
  for (size_t k = std::max<size_t>(mob_entries_, 1); k < mob_list.size(); ++k) {
    if (mob_list[k].empty()) empty_name_listed_ = true;
    consider(mob_list[k]);
  }
  mob_entries_ = mob_list.size();
  return fresh;
}

bool LiveEvents::ClaimEarlierRecords(const DamageTable& table,
                                     const std::vector<std::string_view>& names) {
  std::vector<uint32_t> claimed;
  for (const std::string_view name : names) {
    const auto list = waiting_.find(name);
    if (list == waiting_.end()) continue;
    claimed.insert(claimed.end(), list->second.begin(), list->second.end());
    waiting_.erase(list);
  }
  if (claimed.empty()) return true;
  std::sort(claimed.begin(), claimed.end());
  claimed.erase(std::unique(claimed.begin(), claimed.end()), claimed.end());

  const NameSet fresh(names.begin(), names.end());
  auto was_mob = [this, &fresh](std::string_view name) {
    return FindMob(name) != nullptr && !fresh.contains(name);
  };
  std::vector<EventRecord> opened;  // by first record, as the claimed records are
  // Each new mob's deaths before now, in line order, and how many are taken.
  std::unordered_map<std::string_view, std::pair<std::vector<int64_t>, size_t>,
                     event_steps::NameHash>
      deaths;
  for (const std::string_view name : names) {
    const auto kept = deaths_of_.find(name);
    if (kept == deaths_of_.end()) continue;
    deaths[name] = {std::move(kept->second), 0};
    deaths_of_.erase(kept);
  }
  for (const uint32_t index : claimed) {
    const DamageRecord r = table[index];
    const std::string_view before =
        was_mob(r.Dealer) ? r.Dealer : (was_mob(r.Taker) ? r.Taker : std::string_view());
    Mob* dealer = FindMob(r.Dealer);
    const bool dealt = dealer != nullptr;
    const std::string_view now = dealt ? r.Dealer : r.Taker;
    if (!before.empty()) {
      if (before != now) return false;  // taken from an older mob's events
      continue;
    }
    Mob* mob = dealt ? dealer : FindMob(r.Taker);
    if (mob == nullptr) continue;
    if (const auto killed = deaths.find(now); killed != deaths.end())
      CloseKilled(*mob, killed->second.first, killed->second.second, r.Counter);
    Join(*mob, now, r, dealt, index, opened, nullptr);
  }
  // The deaths after a new mob's last claimed record close its latest event.
  for (auto& [name, killed] : deaths)
    CloseKilled(*FindMob(name), killed.first, killed.second, std::numeric_limits<int64_t>::max());
  if (opened.empty()) return true;
  // Only the events from the first one opened on move.
  const auto from =
      std::lower_bound(events_.begin(), events_.end(), opened.front().StartCounter, StartsBefore);
  const std::ptrdiff_t from_at = from - events_.begin();
  const std::ptrdiff_t middle_at = static_cast<std::ptrdiff_t>(events_.size());
  events_.insert(events_.end(), std::make_move_iterator(opened.begin()),
                 std::make_move_iterator(opened.end()));
  std::inplace_merge(events_.begin() + from_at, events_.begin() + middle_at, events_.end(),
                     ByStart);
  return true;
}

void LiveEvents::Apply(const DamageTable& table, size_t index, bool provisional) {
  Provisional* undo = nullptr;
  if (provisional) {
    provisional_ = Provisional{};
    provisional_.applied = true;
    provisional_.index = index;
    undo = &provisional_;
  }
  const DamageRecord r = table[index];
  if (!IsDamageType(r.Type)) return;
  TakeDeaths(table, r.Counter);
  if (r.Dealer.empty() || r.Taker.empty()) empty_party_seen_ = true;
  auto wait = [this, index, undo](std::string_view name, int slot) {
    if (name.empty()) return;
    waiting_[name].push_back(static_cast<uint32_t>(index));
    if (undo != nullptr) undo->waiting[slot] = name;
  };
  // The dealer side first: a record between two mobs counts for its dealer.
  if (Mob* dealer = FindMob(r.Dealer)) {
    Join(*dealer, r.Dealer, r, true, index, events_, undo);
    return;
  }
  wait(r.Dealer, 0);
  if (Mob* taker = FindMob(r.Taker)) {
    Join(*taker, r.Taker, r, false, index, events_, undo);
    return;
  }
  if (r.Taker != r.Dealer) wait(r.Taker, 1);
}

void LiveEvents::TakeDeaths(const DamageTable& table, int64_t line) {
  for (; deaths_taken_ < table.DeathCount(); ++deaths_taken_) {
    const DeathRecord d = table.Death(deaths_taken_);
    if (d.Counter >= line) return;
    if (Mob* mob = FindMob(d.Victim))
      mob->latest = -1;
    else if (!d.Victim.empty())
      deaths_of_[d.Victim].push_back(d.Counter);
  }
}

void LiveEvents::CloseKilled(Mob& mob, const std::vector<int64_t>& deaths, size_t& next,
                             int64_t line) {
  const size_t first = next;
  while (next < deaths.size() && deaths[next] < line) ++next;
  if (next > first) mob.latest = -1;
}

void LiveEvents::Join(Mob& mob, std::string_view name, const DamageRecord& r, bool dealt,
                      size_t index, std::vector<EventRecord>& events, Provisional* undo) {
  const auto at = static_cast<int64_t>(index);
  if (undo != nullptr) {
    undo->mob = name;
    undo->previous_latest = mob.latest;
  }
  if (mob.latest >= 0) {
    EventRecord& e = EventStartingAt(events, mob.latest);
    if (Accepts(e, r.Date, gap_)) {
      if (undo != nullptr) undo->before = e;
      TakeRecord(e, r, dealt, at);
      e.Duration = DurationSeconds(e.StartDate, e.EndDate);
      return;
    }
  }
  if (undo != nullptr) undo->opened = true;
  events.push_back(OpenEvent(name, r, dealt, at));
  events.back().Duration = DurationSeconds(r.Date, r.Date);
  mob.latest = at;
}

EventRecord& LiveEvents::EventStartingAt(std::vector<EventRecord>& events, int64_t start) {
  return *std::lower_bound(events.begin(), events.end(), start, StartsBefore);
}

void LiveEvents::Rebuild(const DamageTable& table, std::span<const std::string_view> mob_list) {
  rebuilt_once_ = true;
  events_.clear();
  mobs_.clear();
  waiting_.clear();
  deaths_of_.clear();
  deaths_taken_ = 0;
  provisional_ = Provisional{};
  processed_ = 0;
  mob_entries_ = 0;
  first_mob_ = {};
  empty_name_listed_ = false;
  empty_party_seen_ = false;
  NewMobs(mob_list);
  const size_t count = table.size();
  for (size_t i = 0; i + 1 < count; ++i) Apply(table, i, false);
  if (count > 0) Apply(table, count - 1, true);
  processed_ = count;
}

void LiveEvents::BuildLiterally(const DamageTable& table,
                                std::span<const std::string_view> mob_list) {
  const std::vector<std::string_view> mobs(mob_list.begin(), mob_list.end());
  events_ = BuildEvents(table, mobs, gap_);
  processed_ = table.size();
}

}  // namespace ombrel
