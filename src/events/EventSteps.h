#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "shared/DamageRecord.h"
#include "shared/DateTime.h"
#include "shared/EventRecord.h"

// The steps both event builders take, the one-shot walk and the live one, so
// that they cannot drift apart.
namespace ombrel::event_steps {

// Adds one hit to the mob's dealt or taken side of an event.
inline void CountHit(EventRecord& e, int32_t damage, bool dealt) {
  int64_t& sum = dealt ? e.DamageDealt : e.DamageTaken;
  int32_t& max = dealt ? e.MaxHitDealt : e.MaxHitTaken;
  int32_t& min = dealt ? e.MinHitDealt : e.MinHitTaken;
  uint32_t& hits = dealt ? e.HitsDealt : e.HitsTaken;
  sum += damage;
  if (hits == 0 || damage > max) max = damage;
  if (hits == 0 || damage < min) min = damage;
  ++hits;
}

inline EventRecord OpenEvent(std::string_view mob, const DamageRecord& r, bool dealt,
                             int64_t index) {
  EventRecord e;
  e.Name = std::string(mob);
  CountHit(e, r.Damage, dealt);
  e.StartDate = e.EndDate = r.Date;
  e.StartCounter = e.EndCounter = static_cast<uint32_t>(index);
  return e;
}

inline void TakeRecord(EventRecord& e, const DamageRecord& r, bool dealt, int64_t index) {
  CountHit(e, r.Damage, dealt);
  if (e.StartCounter > index) {
    e.StartDate = r.Date;
    e.StartCounter = static_cast<uint32_t>(index);
  }
  if (e.EndCounter < index) {
    e.EndDate = r.Date;
    e.EndCounter = static_cast<uint32_t>(index);
  }
}

// An event takes a record of its mob whose time lies within the gap of the
// event's last record, before or after it: a clock that steps back a little
// (a correction of a few seconds) keeps the fight going, while a step back by
// more than the gap (a daylight-saving change, a wrong date) opens a new one.
inline bool Accepts(DateTime end, DateTime date, int32_t gap) {
  const int64_t after_end = SecondsBetween(end, date);
  return after_end <= gap && after_end >= -int64_t{gap};
}
inline bool Accepts(const EventRecord& e, DateTime date, int32_t gap) {
  return Accepts(e.EndDate, date, gap);
}

// A cheap hash of a name: every damage record looks up one or two names.
struct NameHash {
  size_t operator()(std::string_view name) const {
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
    return static_cast<size_t>(h ^ (h >> 32));
  }
};

}  // namespace ombrel::event_steps
