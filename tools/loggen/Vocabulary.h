// The game's vocabulary the generator writes: attack verbs, mobs and zones, the group, spells,
// chat phrases, loot and the messages between fights.
#pragma once

#include <array>
#include <cstddef>

namespace ombrel::loggen {

// Attack verbs as the game writes them: [k][0] after a third person, [k][1] after "You".
inline constexpr std::array<std::array<const char*, 2>, 20> kVerbs = {{
    {"mauls", "maul"},         {"bites", "bite"},   {"claws", "claw"},
    {"gores", "gore"},         {"stings", "sting"}, {"slices", "slice"},
    {"smashes", "smash"},      {"rends", "rend"},   {"slashes", "slash"},
    {"punches", "punch"},      {"hits", "hit"},     {"crushes", "crush"},
    {"pierces", "pierce"},     {"kicks", "kick"},   {"strikes", "strike"},
    {"backstabs", "backstab"}, {"bashes", "bash"},  {"frenzies on", "frenzy on"},
    {"slams", "slam"},         {"burns", "burn"},
}};
// Verbs of newer logs, written only with Options::extended_kinds; their ids follow kVerbs'.
inline constexpr std::array<std::array<const char*, 2>, 7> kMoreVerbs = {{
    {"cleaves", "cleave"},
    {"stabs", "stab"},
    {"shoots", "shoot"},
    {"hacks", "hack"},
    {"bludgeons", "bludgeon"},
    {"whips", "whip"},
    {"lashes", "lash"},
}};
enum Verb : int {
  kMaul,
  kBite,
  kClaw,
  kGore,
  kSting,
  kSlice,
  kSmash,
  kRend,
  kSlash,
  kPunch,
  kHit,
  kCrush,
  kPierce,
  kKick,
  kStrike,
  kBackstab,
  kBash,
  kFrenzy,
  kSlam,
  kBurn,
  kCleave,
  kStab,
  kShoot,
  kHack,
  kBludgeon,
  kWhip,
  kLash
};

// The third-person (base = false) or base form of a verb id.
inline const char* VerbText(int verb, bool base) {
  const size_t form = base ? 1 : 0;
  if (verb < static_cast<int>(kVerbs.size())) return kVerbs[static_cast<size_t>(verb)][form];
  return kMoreVerbs[static_cast<size_t>(verb) - kVerbs.size()][form];
}

struct MobKind {
  const char* name;          // as written mid-sentence ("a gnoll")
  std::array<int, 4> verbs;  // -1 = unused slot
  int dmg_lo, dmg_hi;
  int hp_lo, hp_hi;
  const char* spell;  // nuke the mob casts, or nullptr
  bool named;
};

inline constexpr int N = -1;
inline constexpr std::array<MobKind, 16> kMobs = {{
    {"a gnoll", {kHit, kBite, kSlash, N}, 8, 38, 2250, 4500, nullptr, false},
    {"a gnoll scout", {kHit, kSlash, N, N}, 6, 30, 1875, 3750, nullptr, false},
    {"a gnoll shaman", {kHit, N, N, N}, 4, 20, 1875, 3375, "Blight Touch", false},
    {"a large fen shrew", {kBite, kClaw, N, N}, 3, 18, 1125, 2250, nullptr, false},
    {"a rattling bonehulk", {kHit, kSlash, kBash, N}, 10, 40, 2625, 5250, nullptr, false},
    {"a barrow shade", {kClaw, kHit, kBurn, N}, 12, 45, 3000, 5625, "Grave Chill", false},
    {"a bog lurker", {kSlam, kGore, kSmash, N}, 15, 50, 3750, 6000, nullptr, false},
    {"a reed adder", {kBite, kSting, N, N}, 5, 25, 1500, 3000, nullptr, false},
    {"an orc serf", {kHit, kSlash, kKick, kPunch}, 8, 35, 2250, 4500, nullptr, false},
    {"an orc warmaster", {kSlash, kBash, kKick, kHit}, 15, 55, 4500, 7500, nullptr, false},
    {"an ember mite", {kBite, kBurn, kSting, N}, 5, 28, 1500, 3000, nullptr, false},
    {"a cave bear", {kMaul, kClaw, kBite, N}, 20, 60, 4500, 6750, nullptr, false},
    {"Grask the Flayer", {kSlash, kRend, kCrush, kKick}, 40, 180, 15000, 26000, nullptr, true},
    {"Ilvenna Thornmother", {kSting, kSlam, kHit, N}, 30, 150, 13500, 24000, "Thorn Lash", true},
    {"Captain Murrok", {kSlash, kBash, kStrike, kHit}, 40, 170, 15000, 25500, nullptr, true},
    {"Old Ironhide", {kGore, kMaul, kSmash, kSlam}, 50, 200, 16500, 27000, nullptr, true},
}};

struct Zone {
  const char* name;
  std::array<int, 4> trash;  // indexes into kMobs
  int named;
};
inline constexpr std::array<Zone, 4> kZones = {{
    {"Kelvast Hollow", {0, 1, 2, 3}, 12},
    {"the Barrow Fens", {4, 5, 6, 7}, 13},
    {"Orcrest Keep", {8, 9, 10, 8}, 14},
    {"Mirethorn Wood", {11, 7, 10, 3}, 15},
}};

enum class Role { Owner, Tank, Rogue, Monk, Berserker, Caster, Healer, PetOwner };

struct Member {
  const char* name;
  Role role;
};
// Always in the group: a pet owner and a caster whose names share a prefix,
// a tank and a healer. The rest are drawn per seed.
inline constexpr std::array<Member, 4> kCore = {{
    {"Ann", Role::PetOwner},
    {"Annabelle", Role::Caster},
    {"Gorrum", Role::Tank},
    {"Hesperine", Role::Healer},
}};
inline constexpr std::array<Member, 9> kExtra = {{
    {"Brindle", Role::Rogue},
    {"Corvash", Role::Berserker},
    {"Dellamy", Role::Monk},
    {"Elowyn", Role::Caster},
    {"Fennick", Role::PetOwner},
    {"Kess", Role::Rogue},
    {"Kestrel", Role::Healer},
    {"Morrow", Role::Tank},
    {"Tamsin", Role::Caster},
}};
inline constexpr std::array<const char*, 6> kStrangers = {"Quillon", "Rhosyn",   "Vantor",
                                                          "Wexley",  "Zorabell", "Ossa"};

inline constexpr std::array<int, 6> kOwnerVerbs = {kSlash, kHit, kKick, kFrenzy, kStrike, kSlice};
inline constexpr std::array<int, 4> kPetVerbs = {kBite, kClaw, kMaul, kHit};
inline constexpr std::array<int, 4> kWarderVerbs = {kClaw, kBite, kMaul, kRend};

inline std::array<int, 6> RoleVerbs(Role r) {
  switch (r) {
    case Role::Owner:
      return kOwnerVerbs;
    case Role::Tank:
      return {kSlash, kHit, kKick, kBash, kStrike, kCrush};
    case Role::Rogue:
      return {kPierce, kBackstab, kSlash, kStrike, kPierce, kPierce};
    case Role::Monk:
      return {kPunch, kKick, kStrike, kHit, kPunch, kKick};
    case Role::Berserker:
      return {kFrenzy, kSmash, kRend, kCrush, kSlash, kFrenzy};
    case Role::Caster:
      return {kHit, kCrush, kHit, kHit, kCrush, kHit};
    case Role::Healer:
      return {kCrush, kBash, kHit, kCrush, kBash, kHit};
    case Role::PetOwner:
      return {kPunch, kKick, kHit, kClaw, kPunch, kHit};
  }
  return kOwnerVerbs;
}

struct Spell {
  const char* name;
  int lo, hi;
};
inline constexpr std::array<Spell, 3> kCasterNukes = {
    {{"Frost Lance", 120, 300}, {"Emberlash", 90, 240}, {"Fire Shard", 110, 260}}};
inline constexpr std::array<Spell, 2> kOwnerNukes = {
    {{"Fire Shard", 110, 260}, {"Searing Brand", 150, 330}}};
// Damage schools of newer spell lines: "... for 310 points of fire damage by Fire Shard."
inline constexpr std::array<const char*, 5> kSchools = {"fire", "cold", "magic", "poison",
                                                        "disease"};
// Tags newer logs add after the final full stop.
inline constexpr std::array<const char*, 3> kTags = {" (Critical)", " (Lucky Critical)",
                                                     " (Critical)"};
inline constexpr std::array<Spell, 2> kHeals = {
    {{"Mending Light", 60, 240}, {"Greater Mending", 200, 600}}};
inline constexpr std::array<const char*, 4> kGlyphs = {
    "Glyph of Boundless Fury", "Glyph of Iron Ward", "Glyph of Swift Ruin", "Glyph of Deep Focus"};
inline constexpr std::array<const char*, 2> kVeteran = {"Staunch Recovery",
                                                        "Intensity of the Resolute"};
inline constexpr std::array<const char*, 4> kBuffs = {"Cloak of Hawthorns", "Wolfsight",
                                                      "Quickened Blood", "Stone Hide"};

inline constexpr std::array<const char*, 22> kPhrases = {
    "inc",
    "pulling now",
    "oom, need a minute",
    "med break please",
    "grats!",
    "nice one",
    "who has the camp here?",
    "ready",
    "ready in 30",
    "brb, door",
    "ty",
    "hold aggro please",
    "anyone selling bandages?",
    "lol",
    "on my way",
    "wait for mana",
    "got it",
    "sec",
    "camp check",
    "any room for one more?",
    "nice loot",
    "back",
};
// Chat that reads like combat; the parser must not take it for combat.
inline constexpr std::array<const char*, 8> kCombatPhrases = {
    "a gnoll hits you for 5 points of damage",
    "You hit a gnoll for 20 points of damage.",
    "it tries to hit YOU, but misses!",
    "a gnoll has taken 12 damage from your Poison Bolt.",
    "Gorrum slashes a gnoll for 15 points of damage. lol",
    "it hit me for 300 points of non-melee damage",
    "you missed, it dodges! it always dodges!",
    "Old Ironhide gores YOU for 200 points of damage, run",
};
inline constexpr std::array<const char*, 8> kLoot = {
    "a Gnoll Fang",  "a Pitted Longknife", "a Bone Bead",         "a Tuft of Boar Hair",
    "a Silk Thread", "an Orc Tooth",       "a Reed-Woven Bangle", "a Cracked Buckler"};
inline constexpr std::array<const char*, 14> kNoise = {
    "You are now sitting.",
    "You stand up.",
    "It begins to rain.",
    "The rain stops.",
    "You feel refreshed.",
    "You are thirsty.",
    "Your foe stands beyond reach; step near!",
    "Your target is out of view.",
    "You feel a bit dizzy.",
    "You are no longer hungry.",
    "The Kelvast gnolls now look upon you with less kindness.",
    "You are hungry.",
    "14 other wanderers roam this land.",
    "Your deeds are being recorded...",
};

}  // namespace ombrel::loggen
