#pragma once

#include <cstdint>
#include <string_view>

namespace ombrel {

// What a line says of heals, deaths and critical hits (extended rules), read
// from its message: the text after the time stamp with the trailing tags
// taken off. "You" (any case) and "yourself" stand for the character, and
// "himself", "herself" and "itself" for the one who acts; both are given as
// the line writes them and left to the caller.
struct LifeLine {
  enum Kind {
    kNothing,
    kHeal,         // healer (maybe empty), target, amount, full amount, spell (maybe empty)
    kDeath,        // victim, killer (maybe empty)
    kCritNote,     // "Ann scores a critical hit! (310)": name and amount of the hit to come
    kHealCritNote  // "Ann performs an exceptional heal! (500)": of the heal to come
  };
  Kind kind = kNothing;
  std::string_view name;   // healer, victim or the one the note names
  std::string_view other;  // target or killer
  std::string_view spell;
  int32_t amount = 0;
  int32_t full_amount = 0;  // the amount when the line gives no full amount
};

// `message` without its tags, `tags` what was taken off ("" or " (Critical)").
LifeLine ReadLifeLine(std::string_view message, std::string_view tags);

// True when a tag names a critical hit: " (Critical)", " (Lucky Critical)",
// " (Critical) (Twincast)" and the like.
inline bool CriticalTag(std::string_view tags) {
  return tags.find("Critical") != std::string_view::npos;
}

}  // namespace ombrel
