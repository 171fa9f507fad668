#pragma once

#include <array>
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

// The third-person form of a base-form verb; any other text unchanged.
std::string_view ThirdPersonForm(const AttackVerbTable& verbs, std::string_view name);

}  // namespace ombrel
