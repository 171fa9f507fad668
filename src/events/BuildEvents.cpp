#include "events/BuildEvents.h"

#include <algorithm>
#include <bit>
#include <string>

#include "events/EventSteps.h"
#include "shared/DamageRecord.h"
#include "shared/DateTime.h"

namespace ombrel {
namespace {

// How many records pass between two progress reports (and cancel checks).
constexpr size_t kProgressStride = size_t{1} << 16;

using event_steps::Accepts;
using event_steps::OpenEvent;
using event_steps::TakeRecord;

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

  // The slot holding `name`, or the free slot where it would go.
  Slot& Probe(std::string_view name) {
    for (size_t i = event_steps::NameHash{}(name)&mask_;; i = (i + 1) & mask_) {
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
