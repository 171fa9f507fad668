#pragma once

#include <cstdint>
#include <string_view>

#include "shared/DateTime.h"

namespace ombrel {

// Kind of a damage record. Codes 1 to 3 are the damage kinds.
enum RecordType : int32_t {
  kUnreadAmount = 0,  // direct-damage line without a recognised amount phrase
  kMelee = 1,
  kNonMelee = 2,
  kDamageOverTime = 3,
  kSpellCast = 4,
  kMiss = 5,
  kParry = 6,
  kDodge = 7,
  kRiposte = 8,
  kBlock = 9,
};

inline bool IsDamageType(int32_t type) {
  return type > 0 && type < 4;
}

// One classified log line (or a cast merged with its damage). The texts are
// views into the buffer owned by the DamageTable that holds the record.
struct DamageRecord {
  DateTime Date;
  std::string_view Dealer;
  std::string_view Taker;
  int32_t Damage = 0;
  int32_t Crit = 0;  // no message sets it; kept as a Data.csv column
  int32_t Type = 0;
  std::string_view Name;
  int64_t Counter = 0;  // 0-based index of the source line
};

}  // namespace ombrel
