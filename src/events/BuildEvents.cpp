#include "events/BuildEvents.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "shared/DamageRecord.h"
#include "shared/DateTime.h"

namespace ombrel {
namespace {

// How many records pass between two progress reports (and cancel checks).
constexpr size_t kProgressStride = size_t{1} << 16;

// Adds one hit to the mob's dealt or taken side of an event.
void CountHit(EventRecord& e, int64_t damage, bool dealt) {
  int64_t& sum = dealt ? e.DamageDealt : e.DamageTaken;
  int64_t& max = dealt ? e.MaxHitDealt : e.MaxHitTaken;
  int64_t& min = dealt ? e.MinHitDealt : e.MinHitTaken;
  int64_t& hits = dealt ? e.HitsDealt : e.HitsTaken;
  sum += damage;
  if (hits == 0 || damage > max) max = damage;
  if (hits == 0 || damage < min) min = damage;
  ++hits;
}

EventRecord OpenEvent(std::string_view mob, const DamageRecord& r, bool dealt, int64_t index) {
  EventRecord e;
  e.Name = std::string(mob);
  CountHit(e, r.Damage, dealt);
  e.StartDate = e.EndDate = r.Date;
  e.StartCounter = e.EndCounter = index;
  return e;
}

void TakeRecord(EventRecord& e, const DamageRecord& r, bool dealt, int64_t index) {
  CountHit(e, r.Damage, dealt);
  if (e.StartCounter > index) {
    e.StartDate = r.Date;
    e.StartCounter = index;
  }
  if (e.EndCounter < index) {
    e.EndDate = r.Date;
    e.EndCounter = index;
  }
}

// An event takes a record of its mob whose time lies within the gap of the
// event's last record, before or after it: a clock that steps back a little
// (a correction of a few seconds) keeps the fight going, while a step back by
// more than the gap (a daylight-saving change, a wrong date) opens a new one.
bool Accepts(const EventRecord& e, DateTime date, int32_t gap) {
  const int64_t after_end = SecondsBetween(e.EndDate, date);
  return after_end <= gap && after_end >= -int64_t{gap};
}

// The mobs by name, each with its most recently opened event (-1: none yet).
// Built once; an open-addressing table with a cheap hash, since every damage
// record looks up one or two names.
class MobIndex {
 public:
  explicit MobIndex(const std::vector<std::string_view>& mobs)
      : slots_(std::bit_ceil(2 * mobs.size() + 2)), mask_(slots_.size() - 1) {
    for (std::string_view mob : mobs) {
      Slot& slot = Probe(mob);
      slot.name = mob;
      slot.used = true;
    }
  }

  // The latest-event index of a mob, or null when `name` is no mob. Stays
  // valid as long as the index lives.
  int64_t* Find(std::string_view name) {
    Slot& slot = Probe(name);
    return slot.used ? &slot.latest : nullptr;
  }

 private:
  struct Slot {
    std::string_view name;
    int64_t latest = -1;
    bool used = false;
  };

  static uint64_t Hash(std::string_view name) {
    constexpr uint64_t kMix = 0x9E3779B97F4A7C15u;
    uint64_t h = name.size() * kMix;
    if (name.size() >= 8) {
      uint64_t head;
      uint64_t tail;
      std::memcpy(&head, name.data(), 8);
      std::memcpy(&tail, name.data() + name.size() - 8, 8);
      h = ((h ^ head) * kMix ^ tail) * kMix;
    } else {
      for (char ch : name) h = (h ^ static_cast<unsigned char>(ch)) * 0x100000001B3u;
      h *= kMix;
    }
    return h ^ (h >> 32);
  }

  // The slot holding `name`, or the free slot where it would go.
  Slot& Probe(std::string_view name) {
    for (size_t i = Hash(name) & mask_;; i = (i + 1) & mask_) {
      Slot& slot = slots_[i];
      if (!slot.used || slot.name == name) return slot;
    }
  }

  std::vector<Slot> slots_;
  size_t mask_;
};

}  // namespace

bool IsMob(const std::vector<std::string_view>& mob_list, std::string_view name) {
  return std::find(mob_list.begin(), mob_list.end(), name) != mob_list.end();
}

std::vector<EventRecord> BuildEvents(const DamageTable& table,
                                     const std::vector<std::string_view>& mob_list,
                                     int32_t event_gap, const Progress& progress) {
  // Every mob with its most recently opened event, the only one that can take
  // a record of the mob.
  MobIndex mobs(mob_list);

  std::vector<EventRecord> events(1);
  // While the first event still has an empty name (no event yet, or only one
  // of a mob with an empty name), every qualifying record opens it afresh;
  // this is the mob whose latest event it is.
  int64_t* first_event_owner = nullptr;

  const size_t count = table.size();
  for (size_t i = 0; i < count; ++i) {
    if (i % kProgressStride == 0 && i != 0) {
      if (progress.Cancelled()) break;
      progress.Report(static_cast<double>(i) / static_cast<double>(count));
    }
    const DamageRecord r = table[i];
    if (!IsDamageType(r.Type)) continue;

    // The dealer side first: a record between two mobs counts for its dealer.
    bool dealt = true;
    std::string_view mob = r.Dealer;
    int64_t* latest = mobs.Find(mob);
    if (latest == nullptr) {
      dealt = false;
      mob = r.Taker;
      latest = mobs.Find(mob);
      if (latest == nullptr) continue;
    }
    const int64_t index = static_cast<int64_t>(i);

    if (events.front().Name.empty()) {
      if (first_event_owner != nullptr) *first_event_owner = -1;
      events.front() = OpenEvent(mob, r, dealt, index);
      *latest = 0;
      first_event_owner = latest;
      continue;
    }

    int64_t& slot = *latest;
    if (slot >= 0 && Accepts(events[static_cast<size_t>(slot)], r.Date, event_gap)) {
      TakeRecord(events[static_cast<size_t>(slot)], r, dealt, index);
    } else {
      slot = static_cast<int64_t>(events.size());
      events.push_back(OpenEvent(mob, r, dealt, index));
    }
  }

  for (EventRecord& e : events) e.Duration = DurationSeconds(e.StartDate, e.EndDate);
  progress.Report(1.0);
  return events;
}

}  // namespace ombrel
