#pragma once

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace ombrel {

// The 20 attack verbs of combat messages, each as the third-person form
// ("X mauls Y", even index) followed by the base form ("You maul Y", odd index).
// clang-format off
inline constexpr std::array<std::string_view, 40> kAttackVerbs = {
    "mauls", "maul",
    "bites", "bite",
    "claws", "claw",
    "gores", "gore",
    "stings", "sting",
    "slices", "slice",
    "smashes", "smash",
    "rends", "rend",
    "slashes", "slash",
    "punches", "punch",
    "hits", "hit",
    "crushes", "crush",
    "pierces", "pierce",
    "kicks", "kick",
    "strikes", "strike",
    "backstabs", "backstab",
    "bashes", "bash",
    "frenzies on", "frenzy on",
    "slams", "slam",
    "burns", "burn",
};
// clang-format on

using AttackVerbTable = std::array<std::string_view, 40>;

// The verbs of older and newer logs that the table above lacks, in the same
// pairs.
// clang-format off
inline constexpr std::array<std::string_view, 14> kExtraAttackVerbs = {
    "cleaves", "cleave",
    "stabs", "stab",
    "shoots", "shoot",
    "hacks", "hack",
    "bludgeons", "bludgeon",
    "whips", "whip",
    "lashes", "lash",
};
// clang-format on

// The verb table of the extended line rules: the table above, then the extra
// verbs. Appending keeps every verb the table above finds the one found first.
inline constexpr std::array<std::string_view, 54> kExtendedAttackVerbs = [] {
  std::array<std::string_view, 54> all{};
  std::copy(kAttackVerbs.begin(), kAttackVerbs.end(), all.begin());
  std::copy(kExtraAttackVerbs.begin(), kExtraAttackVerbs.end(), all.begin() + kAttackVerbs.size());
  return all;
}();
static_assert(kExtendedAttackVerbs.size() == kAttackVerbs.size() + kExtraAttackVerbs.size());

// A verb table of any length: pairs of third-person and base form.
using AttackVerbList = std::span<const std::string_view>;

// The third-person form of a base-form verb; any other text unchanged.
std::string_view ThirdPersonForm(AttackVerbList verbs, std::string_view name);

}  // namespace ombrel
