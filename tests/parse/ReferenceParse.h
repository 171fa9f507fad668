#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shared/AttackVerbs.h"
#include "shared/DamageTable.h"
#include "shared/DateTime.h"
#include "shared/LineRules.h"

namespace ombrel::testing {

struct ReferenceRecord {
  DateTime Date;
  std::string Dealer;
  std::string Taker;
  int32_t Damage = 0;
  int32_t Crit = 0;
  int32_t Type = 0;
  std::string Name;
  int64_t Counter = 0;

  friend bool operator==(const ReferenceRecord&, const ReferenceRecord&) = default;
};

struct ReferenceResult {
  std::vector<ReferenceRecord> records;
  std::vector<std::string> mobs{std::string()};
  int64_t lines = 0;
  int64_t unreadable_lines = 0;
};

// The classification rules done the slow, literal way: one search per
// literal, one search per attack verb, a linear mob list. The fast parser
// must agree with it on every input, under either rule set.
ReferenceResult ReferenceParse(std::string_view log, std::string_view character_name,
                               AttackVerbList verbs = kAttackVerbs,
                               LineRules rules = LineRules::kDefault);

std::vector<ReferenceRecord> ToReference(const DamageTable& table);

}  // namespace ombrel::testing
