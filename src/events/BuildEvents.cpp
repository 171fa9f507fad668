#include "events/BuildEvents.h"

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "events/EventSteps.h"
#include "shared/DamageRecord.h"
#include "shared/DateTime.h"
#include "shared/ReturnFreedMemory.h"
#include "shared/WorkerThreads.h"

namespace ombrel {
namespace {

// How many records pass between two progress reports (and cancel checks).
constexpr size_t kProgressStride = size_t{1} << 16;

using event_steps::Accepts;
using event_steps::OpenEvent;
using event_steps::TakeRecord;

// Sets up the pages of a fresh allocation that is about to be written, where
// the system can be asked to (each page would fault on its first write).
void PreparePages(const char* begin, size_t bytes) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
  const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t start = (reinterpret_cast<uintptr_t>(begin) + page - 1) & ~(page - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(begin) + bytes) & ~(page - 1);
  // Older systems refuse the advice: the pages then fault as they are written.
  if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#else
  (void)begin;
  (void)bytes;
#endif
}

// From this many events on, the two halves of the events are filled on two
// threads; below, one after the other on the caller's.
constexpr size_t kFillApartFrom = size_t{1} << 14;

// What the walk over the records decided: the record that opened each event,
// in order, and how many records were walked (all but after a cancel). A
// record of a mob joins the mob's most recently opened event unless it opens
// one. Event 0 may be opened afresh (see below): its last opening counts, and
// no record before it joins an event.
template <typename RecordIndex>
struct Openings {
  std::vector<RecordIndex> opened_at;
  // Past the last record of events 0 to k, for every k: events up to k are
  // filled from the records before it.
  std::vector<RecordIndex> ended_by;
  size_t walked = 0;
};

// The mob a damage record counts for, by the id of its name, and whether it
// dealt it; false for none. The dealer side first: a record between two mobs
// counts for its dealer. `is_mob`: by text id.
bool MobOf(const DamageTable& table, const std::vector<char>& is_mob, size_t i, uint32_t& mob,
           bool& dealt) {
  mob = table.DealerId(i);
  dealt = is_mob[mob] != 0;
  if (dealt) return true;
  mob = table.TakerId(i);
  return is_mob[mob] != 0;
}

// Decides where the events open, keeping of each event only the time of its
// last record, which decides whether the next record of its mob joins it.
template <typename RecordIndex>
Openings<RecordIndex> Open(const DamageTable& table, const std::vector<char>& is_mob,
                           int32_t event_gap, const Progress& progress) {
  Openings<RecordIndex> openings;
  openings.opened_at.push_back(0);
  // Every mob's most recently opened event (-1: none), the only one that can
  // take a record of the mob, by the id of its name: a record's names are
  // looked up as numbers.
  std::vector<int64_t> latest_of(is_mob.size(), -1);
  std::vector<DateTime> last_date(1);
  std::vector<RecordIndex> last_record(1);
  // While the first event still has an empty name (no event yet, or only one
  // of a mob with an empty name), every qualifying record opens it afresh;
  // this is the mob whose latest event it is.
  bool first_unnamed = true;
  int64_t* first_event_owner = nullptr;

  // A mob's death (extended rules) closes its open fight: its next record
  // opens a new one, within the gap or not.
  size_t deaths = 0;
  auto close_killed = [&](int64_t before_line) {
    for (; deaths < table.DeathCount(); ++deaths) {
      const DeathRecord d = table.Death(deaths);
      if (d.Counter >= before_line) return;
      const uint32_t id = table.FindId(d.Victim);
      if (id != DamageTable::kNoText && is_mob[id] != 0) latest_of[id] = -1;
    }
  };

  const size_t count = table.size();
  size_t i = 0;
  for (; i < count; ++i) {
    if (i % kProgressStride == 0 && i != 0) {
      if (progress.Cancelled()) break;
      progress.Report(static_cast<double>(i) / static_cast<double>(count));
    }
    if (!IsDamageType(table.TypeAt(i))) continue;
    close_killed(table.CounterAt(i));
    uint32_t mob = 0;
    bool dealt = false;
    if (!MobOf(table, is_mob, i, mob, dealt)) continue;
    const DateTime date = table.DateAt(i);
    int64_t& latest = latest_of[mob];

    if (first_unnamed) {
      if (first_event_owner != nullptr) *first_event_owner = -1;
      openings.opened_at[0] = static_cast<RecordIndex>(i);
      last_date[0] = date;
      last_record[0] = static_cast<RecordIndex>(i);
      first_unnamed = mob == 0;  // id 0 is the empty text
      latest = 0;
      first_event_owner = &latest;
      continue;
    }

    if (latest >= 0 && Accepts(last_date[static_cast<size_t>(latest)], date, event_gap)) {
      last_date[static_cast<size_t>(latest)] = date;
      last_record[static_cast<size_t>(latest)] = static_cast<RecordIndex>(i);
    } else {
      latest = static_cast<int64_t>(last_date.size());
      last_date.push_back(date);
      last_record.push_back(static_cast<RecordIndex>(i));
      openings.opened_at.push_back(static_cast<RecordIndex>(i));
    }
  }
  openings.walked = i;
  openings.ended_by = std::move(last_record);
  RecordIndex ended = 0;
  for (RecordIndex& end : openings.ended_by) end = ended = std::max<RecordIndex>(ended, end + 1);
  return openings;
}

// Fills events [from, to) of `events`: walks the records from the opening of
// event `from` on, following which event each mob's records join, and takes
// those that join one of its own.
template <typename RecordIndex>
void Fill(const DamageTable& table, const std::vector<char>& is_mob,
          const Openings<RecordIndex>& openings, size_t from, size_t to,
          std::vector<EventRecord>& events) {
  if (from >= to) return;
  constexpr size_t kNone = SIZE_MAX;
  std::vector<size_t> latest_of(is_mob.size(), kNone);
  const auto& opened_at = openings.opened_at;
  size_t next = from;  // the next event to open
  const size_t end = std::min<size_t>(openings.walked, openings.ended_by[to - 1]);
  for (size_t i = opened_at[from]; i < end; ++i) {
    uint32_t mob = 0;
    bool dealt = false;
    if (!IsDamageType(table.TypeAt(i)) || !MobOf(table, is_mob, i, mob, dealt)) continue;
    const auto index = static_cast<int64_t>(i);
    if (next < opened_at.size() && i == opened_at[next]) {
      latest_of[mob] = next;
      if (next < to) {
        const DamageRecord r = table[i];
        events[next] = OpenEvent(dealt ? r.Dealer : r.Taker, r, dealt, index);
      }
      ++next;
      continue;
    }
    const size_t e = latest_of[mob];
    if (e == kNone || e >= to) continue;
    DamageRecord r;
    r.Date = table.DateAt(i);
    r.Damage = table.DamageAt(i);
    TakeRecord(events[e], r, dealt, index);
  }
}

template <typename RecordIndex>
std::vector<EventRecord> OpenAndFill(const DamageTable& table, const std::vector<char>& is_mob,
                                     int32_t event_gap, const Progress& progress) {
  Openings<RecordIndex> openings = Open<RecordIndex>(table, is_mob, event_gap, progress);
  // The walk's tables of every fight are given back before the fights take
  // their room, and the openings kept to their size.
  openings.opened_at.shrink_to_fit();
  openings.ended_by.shrink_to_fit();
  ReturnFreedMemory();
  const size_t count = openings.opened_at.size();
  std::vector<EventRecord> events;
  events.reserve(count);
  // The halves share no event; each walks the records from its first
  // event's opening to its events' last record.
  const size_t half = count / 2;
  if (count >= kFillApartFrom && MachineThreads() > 1) {
    WorkerThreads threads(1);
    // The fresh pages the events take are set up by both threads at once
    // before the events are made in them.
    const auto* room = reinterpret_cast<const char*>(events.data());
    const size_t bytes = count * sizeof(EventRecord);
    threads.Run(2, [&](size_t k) {
      PreparePages(room + (k == 0 ? 0 : bytes / 2), k == 0 ? bytes / 2 : bytes - bytes / 2);
    });
    events.resize(count);
    threads.Run(2, [&](size_t k) {
      Fill(table, is_mob, openings, k == 0 ? 0 : half, k == 0 ? half : count, events);
    });
  } else {
    events.resize(count);
    Fill(table, is_mob, openings, 0, half, events);
    Fill(table, is_mob, openings, half, count, events);
  }
  return events;
}

}  // namespace

bool IsMob(const std::vector<std::string_view>& mob_list, std::string_view name) {
  return std::find(mob_list.begin(), mob_list.end(), name) != mob_list.end();
}

std::vector<EventRecord> BuildEvents(const DamageTable& table,
                                     const std::vector<std::string_view>& mob_list,
                                     int32_t event_gap, const Progress& progress) {
  std::vector<char> is_mob(table.DistinctTexts(), 0);
  for (const std::string_view mob : mob_list) {
    const uint32_t id = table.FindId(mob);
    if (id != DamageTable::kNoText) is_mob[id] = 1;
  }
  // Records are numbered in 32 bits but for a table beyond four billion.
  std::vector<EventRecord> built = table.size() < UINT32_MAX
                                       ? OpenAndFill<uint32_t>(table, is_mob, event_gap, progress)
                                       : OpenAndFill<uint64_t>(table, is_mob, event_gap, progress);
  for (EventRecord& e : built) e.Duration = DurationSeconds(e.StartDate, e.EndDate);
  // What the walk and the fill held goes back to the system now: the thread
  // that built the events may not be the one that allocates next (a window's
  // list lays out its rows on another), and would keep it otherwise.
  ReturnFreedMemory();
  progress.Report(1.0);
  return built;
}

}  // namespace ombrel
