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
  int32_t Crit = 0;  // 1 for a critical hit (extended rules), else 0
  int32_t Type = 0;
  std::string_view Name;
  int64_t Counter = 0;  // 0-based index of the source line
};

// A heal (extended rules): what landed and, where the line gives it, the
// full amount (else the amount that landed).
struct HealRecord {
  DateTime Date;
  std::string_view Healer;  // empty when the line names none
  std::string_view Target;
  int32_t Amount = 0;
  int32_t FullAmount = 0;
  std::string_view Spell;
  int32_t Crit = 0;
  int64_t Counter = 0;
};

// A death (extended rules): who died and who killed it (empty when the line
// names nobody).
struct DeathRecord {
  DateTime Date;
  std::string_view Victim;
  std::string_view Killer;
  int64_t Counter = 0;
};

}  // namespace ombrel
