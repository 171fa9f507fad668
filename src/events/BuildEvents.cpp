#include "events/BuildEvents.h"

#include <malloc.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

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

// The mark of a text that names no mob, where a mob's most recently opened
// event (or -1) stands.
constexpr int64_t kNotMob = -2;

// The events as they are opened, in blocks that stay where they are, moved
// into a vector of their exact number at the end: a vector grown by doubling
// holds room for up to twice the events, and three times their size while it
// moves them, which a log of many short fights pays in full.
class OpenedEvents {
 public:
  size_t size() const { return size_; }
  EventRecord& operator[](size_t i) { return blocks_[i / kBlock][i % kBlock]; }
  void push_back(EventRecord&& e) {
    if (size_ % kBlock == 0) blocks_.push_back(std::make_unique<EventRecord[]>(kBlock));
    (*this)[size_++] = std::move(e);
  }
  // Every event, each block freed once it is moved and given back to the
  // system at once (the allocator would keep it for later), so that no more
  // than one block's events are held twice while the vector fills.
  std::vector<EventRecord> Take() && {
    std::vector<EventRecord> events;
    events.reserve(size_);
    for (size_t b = 0; b < blocks_.size(); ++b) {
      const size_t in_block = std::min(kBlock, size_ - b * kBlock);
      for (size_t i = 0; i < in_block; ++i) events.push_back(std::move(blocks_[b][i]));
      blocks_[b].reset();
      malloc_trim(0);
    }
    return events;
  }

 private:
  static constexpr size_t kBlock = 4096;
  std::vector<std::unique_ptr<EventRecord[]>> blocks_;
  size_t size_ = 0;
};

}  // namespace

bool IsMob(const std::vector<std::string_view>& mob_list, std::string_view name) {
  return std::find(mob_list.begin(), mob_list.end(), name) != mob_list.end();
}

std::vector<EventRecord> BuildEvents(const DamageTable& table,
                                     const std::vector<std::string_view>& mob_list,
                                     int32_t event_gap, const Progress& progress) {
  // Every mob's most recently opened event, the only one that can take a
  // record of the mob, by the id of its name among the table's texts: a
  // record's names are looked up as numbers.
  std::vector<int64_t> latest_of(table.DistinctTexts(), kNotMob);
  for (const std::string_view mob : mob_list) {
    const uint32_t id = table.FindId(mob);
    if (id != DamageTable::kNoText) latest_of[id] = -1;
  }

  OpenedEvents events;
  events.push_back(EventRecord{});
  // While the first event still has an empty name (no event yet, or only one
  // of a mob with an empty name), every qualifying record opens it afresh;
  // this is the mob whose latest event it is.
  int64_t* first_event_owner = nullptr;

  // A mob's death (extended rules) closes its open fight: its next record
  // opens a new one, within the gap or not.
  size_t deaths = 0;
  auto close_killed = [&](int64_t before_line) {
    for (; deaths < table.DeathCount(); ++deaths) {
      const DeathRecord d = table.Death(deaths);
      if (d.Counter >= before_line) return;
      const uint32_t id = table.FindId(d.Victim);
      if (id != DamageTable::kNoText && latest_of[id] >= 0) latest_of[id] = -1;
    }
  };

  const size_t count = table.size();
  for (size_t i = 0; i < count; ++i) {
    if (i % kProgressStride == 0 && i != 0) {
      if (progress.Cancelled()) break;
      progress.Report(static_cast<double>(i) / static_cast<double>(count));
    }
    const DamageRecord r = table[i];
    if (!IsDamageType(r.Type)) continue;
    close_killed(r.Counter);

    // The dealer side first: a record between two mobs counts for its dealer.
    bool dealt = true;
    std::string_view mob = r.Dealer;
    int64_t* latest = &latest_of[table.DealerId(i)];
    if (*latest == kNotMob) {
      dealt = false;
      mob = r.Taker;
      latest = &latest_of[table.TakerId(i)];
      if (*latest == kNotMob) continue;
    }
    const int64_t index = static_cast<int64_t>(i);

    if (events[0].Name.empty()) {
      if (first_event_owner != nullptr) *first_event_owner = -1;
      events[0] = OpenEvent(mob, r, dealt, index);
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

  std::vector<EventRecord> built = std::move(events).Take();
  for (EventRecord& e : built) e.Duration = DurationSeconds(e.StartDate, e.EndDate);
  progress.Report(1.0);
  return built;
}

}  // namespace ombrel
