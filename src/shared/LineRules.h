#pragma once

#include <optional>
#include <string_view>

#include "shared/AttackVerbs.h"

namespace ombrel {

// Which line rules read a log. The default rules read the melee, casts,
// avoidances, damage over time and non-melee lines of one era of the game's
// log. The extended rules read every line the default rules read correctly to
// the same record, and add the kinds of older and newer logs: names that
// differ only in the case of their first letter are one party, "was hit by
// non-melee", the character's own defences and misses, more attack verbs,
// spell damage with a school, damage shields, damage over time on the
// character, damage over time by others with the caster named after the
// spell, and tags such as " (Critical)" after the final full stop.
enum class LineRules { kDefault, kExtended };

// The verb table each rule set reads with.
inline AttackVerbList AttackVerbsOf(LineRules rules) {
  if (rules == LineRules::kExtended) return kExtendedAttackVerbs;
  return kAttackVerbs;
}

// The rules a log was read with, told by the verb table it was read with
// (one of the two above).
inline LineRules LineRulesOf(AttackVerbList verbs) {
  return verbs.data() == kExtendedAttackVerbs.data() ? LineRules::kExtended : LineRules::kDefault;
}

// "default" and "extended", as the batch command takes them.
inline std::string_view LineRulesName(LineRules rules) {
  return rules == LineRules::kExtended ? "extended" : "default";
}
inline std::optional<LineRules> LineRulesFromName(std::string_view name) {
  if (name == "default") return LineRules::kDefault;
  if (name == "extended") return LineRules::kExtended;
  return std::nullopt;
}

}  // namespace ombrel
