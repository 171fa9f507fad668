// The generator's state and what it writes, one source file per kind of line:
//   Generator.cpp      the run, the line buffer, the group and the log's opening lines
//   Fights.cpp         fights second by second: who acts, damage, deaths, loot
//   CombatLines.cpp    the lines of fights that the default rules read (hits, misses, casts, heals)
//   ExtendedKinds.cpp  the lines of older and newer logs (Options::extended_kinds)
//   Chatter.cpp        talk, and the idle stretches between fights
//   Malformed.cpp      broken lines
// Every draw from the random numbers happens in a fixed order: the same options give the same
// bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "loggen/Clock.h"
#include "loggen/LogGen.h"
#include "loggen/Rng.h"
#include "loggen/Vocabulary.h"

namespace ombrel::loggen {

enum class Kind { Combat, Chat, Other };

struct ActiveMob {
  const MobKind* kind;
  std::string cap;  // capitalised, as written at the start of a sentence
  int64_t hp;
  int id;
};

struct Dot {
  int mob_id;
  int caster;  // party index; 0 = owner
  const char* spell;
  int ticks;
  int lo, hi;
};

struct Actor {
  std::string name;  // "You" for the owner
  Role role;
  std::string pet;  // "Name`s pet" / "Name`s warder", or empty
  std::array<int, 6> verbs;
  int lo, hi;  // melee damage range
  bool warder;
};

// Mobs joining a fight later: (second, mob).
using Adds = std::vector<std::pair<int64_t, const MobKind*>>;

class Generator {
 public:
  Generator(const Options& o, std::ostream& out);
  Stats Run();

 private:
  using string_view = std::string_view;

  // ---- output (Generator.cpp) ---------------------------------------------
  void Flush();
  void Put(string_view s) { buf_.append(s.data(), s.size()); }
  void Put(char c) { buf_.push_back(c); }
  void PutNum(int64_t v) {
    char tmp[24];
    char* e = tmp + sizeof tmp;
    char* p = e;
    uint64_t u = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    do {
      *--p = static_cast<char>('0' + u % 10);
      u /= 10;
    } while (u != 0);
    if (v < 0) *--p = '-';
    buf_.append(p, static_cast<size_t>(e - p));
  }
  // Starts a line: maybe inserts a broken line first, then writes the stamp.
  void Open() {
    if (malformed_threshold_ != 0 && (rng_.Next() >> 32) < malformed_threshold_) Malformed();
    RawOpen();
  }
  void RawOpen() {
    line_start_ = buf_.size();
    buf_.append(clock_.Stamp(), 27);
  }
  void Close(Kind k);
  void Line(string_view text, Kind k);

  // ---- the group (Generator.cpp) --------------------------------------------
  void BuildParty();
  // How an actor is named as the target of a mob's attack.
  string_view TargetName(size_t i) const;
  const Actor& RandomOther() { return party_[1 + rng_.Below(party_.size() - 1)]; }
  void Intro();

  // ---- lines of fights (CombatLines.cpp) ------------------------------------
  void PutAmount(int64_t amount, bool non_melee);
  void Hit(string_view dealer, bool you, int verb, string_view taker, int64_t amount);
  void NonMelee(string_view dealer, string_view taker, int64_t amount);
  void Swing(string_view dealer, bool you, int verb, string_view taker, bool taker_you, int avoid);
  void OtherCast(string_view caster, string_view spell);
  void OwnCast(string_view spell);
  void Heal(size_t healer);

  // ---- kinds of newer and older logs (ExtendedKinds.cpp) --------------------
  bool Extended() const { return opt_.extended_kinds; }
  // Damage over time by others names the spell before the caster in newer logs
  // ("... damage from Rot Grasp by Ann."): the second half of the log, as if the
  // client had been updated meanwhile.
  bool NewerTicks() const { return Extended() && st_.bytes >= opt_.target_bytes / 2; }
  void MaybeTag();
  void SchoolHit(string_view dealer, string_view taker, int64_t amount, string_view spell);
  void OldNonMelee(const ActiveMob& m, int64_t amount);
  void ShieldOnMob(const ActiveMob& m, size_t owner, int64_t amount);
  void ShieldOnOwner(const ActiveMob& m, int64_t amount);
  int MaybeMoreVerb(int verb, Role role);
  void EveryExtendedKind();
  void Shields(ActiveMob& m, size_t i);

  // ---- fights (Fights.cpp) --------------------------------------------------
  ActiveMob Spawn(const MobKind& k);
  const MobKind& ZoneTrash() { return kMobs[static_cast<size_t>(rng_.Pick(kZones[zone_].trash))]; }
  int64_t Roll(int lo, int hi);
  int Avoidance();
  ActiveMob* FindMob(int id);
  // Players assist on the first mob; now and then someone hits another.
  ActiveMob& TargetMob() { return rng_.Chance(3, 4) ? mobs_[0] : mobs_[rng_.Below(mobs_.size())]; }
  void Damage(ActiveMob& m, int64_t amount, size_t killer);
  void MeleeRound(size_t i, bool pet, int swings);
  void SpecialStrike(size_t i);
  void Nuke(size_t i, const Spell& sp);
  void CastDot(size_t i);
  void MobRound(ActiveMob& m);
  void Abilities(bool boss);
  void Fight(uint64_t fight_no);
  // With a set number of fights per MiB: true once the log holds what the
  // fights before fight `fight_no` and `share` of its own are given, so that a
  // fight that ran long is made up for by those after it.
  bool BudgetSpent(uint64_t fight_no, double share) const;
  void FightEnd();
  void Second(int64_t sec, Adds& adds);
  void HeldOverLines();
  void JoinAdds(int64_t sec, Adds& adds);
  void PartyRound();
  void DotTicks();
  void Deaths();

  // ---- talk and idle stretches (Chatter.cpp) --------------------------------
  void FightChatter();
  void ChannelChatter();
  void Idle(uint64_t fight_no);
  void IdleLine();

  // ---- broken lines (Malformed.cpp) -----------------------------------------
  void CombatBody(bool amount_text);
  void Malformed();

  struct PendingNuke {
    int mob_id;
    size_t caster;
    int64_t dmg;
    std::string text;  // "Name hit a gnoll"
  };
  struct OwnerDot {
    const char* spell = nullptr;
    std::string by;
    int ticks = 0;
  };

  const Options& opt_;
  std::ostream& out_;
  Rng rng_;
  Clock clock_;
  Stats st_;
  std::string buf_;
  size_t line_start_ = 0;
  bool done_ = false;
  uint64_t malformed_threshold_ = 0;

  std::vector<Actor> party_;
  size_t tank_ = 0;
  size_t zone_ = 0;
  int next_mob_id_ = 1;
  std::vector<ActiveMob> mobs_;
  std::vector<Dot> dots_;
  std::vector<std::pair<std::string, Kind>> pending_;
  std::vector<PendingNuke> pending_nuke_;
  std::vector<std::pair<int, size_t>>
      last_killer_;  // (mob id, party index) of mobs that died this second
  OwnerDot owner_dot_;
  bool force_tag_ = false;  // the next tag is written for sure
};

}  // namespace ombrel::loggen
