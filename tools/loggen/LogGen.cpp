#include "loggen/LogGen.h"

#include <array>
#include <cstring>
#include <ostream>
#include <string_view>
#include <utility>
#include <vector>

namespace ombrel::loggen {
namespace {

using std::string_view;

// ---------------------------------------------------------------------------
// Random numbers: splitmix64, identical on every platform.

class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [lo, hi] (slight modulo bias is irrelevant here).
  int64_t Range(int64_t lo, int64_t hi) {
    return lo + static_cast<int64_t>(Next() % static_cast<uint64_t>(hi - lo + 1));
  }
  size_t Below(size_t n) { return static_cast<size_t>(Next() % n); }
  // True with probability num/den.
  bool Chance(uint64_t num, uint64_t den) { return Next() % den < num; }
  template <class T, size_t N>
  const T& Pick(const std::array<T, N>& a) {
    return a[Below(N)];
  }
  template <class T>
  const T& Pick(const std::vector<T>& v) {
    return v[Below(v.size())];
  }

 private:
  uint64_t state_;
};

// ---------------------------------------------------------------------------
// Calendar (proleptic Gregorian, days counted from 1970-01-01).

int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = yoe + era * 400 + (m <= 2);
}

constexpr std::array<const char*, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Log clock with a cached stamp: the stamp text is rebuilt only when the
// second changes, and the calendar only when the day changes.
class Clock {
 public:
  explicit Clock(const StartTime& s) {
    const int64_t days = DaysFromCivil(s.year, s.month, s.day);
    now_ = days * 86400 + s.hour * 3600 + s.minute * 60 + s.second;
  }
  int64_t Now() const { return now_; }
  void Advance(int64_t seconds) { now_ += seconds; }
  const char* Stamp() {
    if (now_ != stamp_time_) Rebuild();
    return stamp_;
  }

 private:
  static void Two(char* p, int v) {
    p[0] = static_cast<char>('0' + v / 10);
    p[1] = static_cast<char>('0' + v % 10);
  }
  void Rebuild() {
    const int64_t days = (now_ >= 0 ? now_ : now_ - 86399) / 86400;
    const int sod = static_cast<int>(now_ - days * 86400);
    if (days != stamp_day_) {
      int64_t y;
      int m, d;
      CivilFromDays(days, y, m, d);
      const int wd = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
      stamp_[0] = '[';
      std::memcpy(stamp_ + 1, kWeekdays[wd], 3);
      stamp_[4] = ' ';
      std::memcpy(stamp_ + 5, kMonths[m - 1], 3);
      stamp_[8] = ' ';
      Two(stamp_ + 9, d);
      stamp_[11] = ' ';
      stamp_[14] = ':';
      stamp_[17] = ':';
      stamp_[20] = ' ';
      const int yy = static_cast<int>(y % 10000);
      Two(stamp_ + 21, yy / 100);
      Two(stamp_ + 23, yy % 100);
      stamp_[25] = ']';
      stamp_[26] = ' ';
      stamp_day_ = days;
    }
    Two(stamp_ + 12, sod / 3600);
    Two(stamp_ + 15, sod / 60 % 60);
    Two(stamp_ + 18, sod % 60);
    stamp_time_ = now_;
  }

  int64_t now_ = 0;
  int64_t stamp_time_ = INT64_MIN;
  int64_t stamp_day_ = INT64_MIN;
  char stamp_[27] = {};
};

// ---------------------------------------------------------------------------
// Game vocabulary.

// Attack verbs as the game writes them: [k][0] after a third person, [k][1] after "You".
constexpr std::array<std::array<const char*, 2>, 20> kVerbs = {{
    {"mauls", "maul"},         {"bites", "bite"},   {"claws", "claw"},
    {"gores", "gore"},         {"stings", "sting"}, {"slices", "slice"},
    {"smashes", "smash"},      {"rends", "rend"},   {"slashes", "slash"},
    {"punches", "punch"},      {"hits", "hit"},     {"crushes", "crush"},
    {"pierces", "pierce"},     {"kicks", "kick"},   {"strikes", "strike"},
    {"backstabs", "backstab"}, {"bashes", "bash"},  {"frenzies on", "frenzy on"},
    {"slams", "slam"},         {"burns", "burn"},
}};
// Verbs of newer logs, written only with Options::extended_kinds; their ids follow kVerbs'.
constexpr std::array<std::array<const char*, 2>, 7> kMoreVerbs = {{
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
const char* VerbText(int verb, bool base) {
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

constexpr int N = -1;
const std::array<MobKind, 16> kMobs = {{
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
const std::array<Zone, 4> kZones = {{
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
const std::array<Member, 4> kCore = {{
    {"Ann", Role::PetOwner},
    {"Annabelle", Role::Caster},
    {"Gorrum", Role::Tank},
    {"Hesperine", Role::Healer},
}};
const std::array<Member, 9> kExtra = {{
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
const std::array<const char*, 6> kStrangers = {"Quillon", "Rhosyn",   "Vantor",
                                               "Wexley",  "Zorabell", "Ossa"};

const std::array<int, 6> kOwnerVerbs = {kSlash, kHit, kKick, kFrenzy, kStrike, kSlice};
const std::array<int, 4> kPetVerbs = {kBite, kClaw, kMaul, kHit};
const std::array<int, 4> kWarderVerbs = {kClaw, kBite, kMaul, kRend};

std::array<int, 6> RoleVerbs(Role r) {
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
const std::array<Spell, 3> kCasterNukes = {
    {{"Frost Lance", 120, 300}, {"Emberlash", 90, 240}, {"Fire Shard", 110, 260}}};
const std::array<Spell, 2> kOwnerNukes = {{{"Fire Shard", 110, 260}, {"Searing Brand", 150, 330}}};
// Damage schools of newer spell lines: "... for 310 points of fire damage by Fire Shard."
const std::array<const char*, 5> kSchools = {"fire", "cold", "magic", "poison", "disease"};
// Tags newer logs add after the final full stop.
const std::array<const char*, 3> kTags = {" (Critical)", " (Lucky Critical)", " (Critical)"};
const std::array<Spell, 2> kHeals = {{{"Mending Light", 60, 240}, {"Greater Mending", 200, 600}}};
const std::array<const char*, 4> kGlyphs = {"Glyph of Boundless Fury", "Glyph of Iron Ward",
                                            "Glyph of Swift Ruin", "Glyph of Deep Focus"};
const std::array<const char*, 2> kVeteran = {"Staunch Recovery", "Intensity of the Resolute"};
const std::array<const char*, 4> kBuffs = {"Cloak of Hawthorns", "Wolfsight", "Quickened Blood",
                                           "Stone Hide"};

const std::array<const char*, 22> kPhrases = {
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
const std::array<const char*, 8> kCombatPhrases = {
    "a gnoll hits you for 5 points of damage",
    "You hit a gnoll for 20 points of damage.",
    "it tries to hit YOU, but misses!",
    "a gnoll has taken 12 damage from your Poison Bolt.",
    "Gorrum slashes a gnoll for 15 points of damage. lol",
    "it hit me for 300 points of non-melee damage",
    "you missed, it dodges! it always dodges!",
    "Old Ironhide gores YOU for 200 points of damage, run",
};
const std::array<const char*, 8> kLoot = {
    "a Gnoll Fang",  "a Pitted Longknife", "a Bone Bead",         "a Tuft of Boar Hair",
    "a Silk Thread", "an Orc Tooth",       "a Reed-Woven Bangle", "a Cracked Buckler"};
const std::array<const char*, 14> kNoise = {
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

constexpr size_t kFlushBytes = size_t{1} << 18;

// ---------------------------------------------------------------------------

class Generator {
 public:
  Generator(const Options& o, std::ostream& out)
      : opt_(o), out_(out), rng_(o.seed ^ 0x6F6D6272656C6C67ull), clock_(o.start) {
    done_ = opt_.target_bytes == 0;
    // Threshold on a 32-bit draw; the double product is exact IEEE arithmetic.
    double r = opt_.malformed_rate < 0 ? 0 : (opt_.malformed_rate > 1 ? 1 : opt_.malformed_rate);
    malformed_threshold_ = static_cast<uint64_t>(r * 4294967296.0);
    if (opt_.malformed_kinds == 0) malformed_threshold_ = 0;
    buf_.reserve(kFlushBytes + 4096);
    BuildParty();
  }

  Stats Run() {
    Intro();
    uint64_t fight_no = 0;
    while (!done_) {
      Fight(fight_no++);
      if (!done_) Idle();
    }
    Flush();
    return st_;
  }

 private:
  // ---- output -----------------------------------------------------------
  void Flush() {
    if (!buf_.empty()) out_.write(buf_.data(), static_cast<std::streamsize>(buf_.size()));
    buf_.clear();
  }
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
  void Close(Kind k) {
    buf_.append("\r\n", 2);
    if (done_) {  // size reached: drop whatever still comes
      buf_.resize(line_start_);
      return;
    }
    st_.bytes += buf_.size() - line_start_;
    ++st_.lines;
    switch (k) {
      case Kind::Combat:
        ++st_.combat_lines;
        break;
      case Kind::Chat:
        ++st_.chat_lines;
        break;
      case Kind::Other:
        ++st_.other_lines;
        break;
    }
    if (st_.bytes >= opt_.target_bytes) done_ = true;
    if (buf_.size() >= kFlushBytes) Flush();
  }
  void Line(string_view text, Kind k) {
    Open();
    Put(text);
    Close(k);
  }

  // ---- party ------------------------------------------------------------
  void BuildParty() {
    Actor me{"You", Role::Owner, opt_.character + "`s warder", kOwnerVerbs, 6, 42, true};
    party_.push_back(me);
    std::vector<Member> members(kCore.begin(), kCore.end());
    std::array<Member, kExtra.size()> extra = kExtra;
    for (size_t i = extra.size() - 1; i > 0; --i) std::swap(extra[i], extra[rng_.Below(i + 1)]);
    const size_t n_extra = static_cast<size_t>(rng_.Range(1, 6));
    members.insert(members.end(), extra.begin(),
                   extra.begin() + static_cast<std::ptrdiff_t>(n_extra));
    for (const Member& m : members) {
      if (opt_.character == m.name) continue;
      Actor a{m.name, m.role, "", RoleVerbs(m.role), 5, 40, false};
      switch (m.role) {
        case Role::Tank:
          a.lo = 10;
          a.hi = 48;
          break;
        case Role::Rogue:
          a.lo = 8;
          a.hi = 44;
          break;
        case Role::Berserker:
          a.lo = 12;
          a.hi = 55;
          break;
        case Role::Caster:
          a.lo = 1;
          a.hi = 12;
          break;
        case Role::Healer:
          a.lo = 2;
          a.hi = 18;
          break;
        case Role::PetOwner:
          a.lo = 3;
          a.hi = 20;
          a.pet = a.name + "`s pet";
          break;
        default:
          break;
      }
      if (m.role == Role::Tank && tank_ == 0) tank_ = party_.size();
      party_.push_back(std::move(a));
    }
    if (tank_ == 0) tank_ = 1 < party_.size() ? 1 : 0;
  }
  // How an actor is named as the target of a mob's attack.
  string_view TargetName(size_t i) const {
    return i == 0 ? string_view("YOU") : string_view(party_[i].name);
  }
  const Actor& RandomOther() { return party_[1 + rng_.Below(party_.size() - 1)]; }

  void Intro() {
    Line("Hail, traveller! Well met...", Kind::Other);
    Open();
    Put("You have entered ");
    Put(kZones[zone_].name);
    Put('.');
    Close(Kind::Other);
    for (size_t i = 1; i < party_.size() && !done_; ++i) {
      Open();
      Put(party_[i].name);
      Put(" has joined the group.");
      Close(Kind::Other);
    }
    clock_.Advance(rng_.Range(3, 20));
  }

  // ---- message builders -------------------------------------------------
  void PutAmount(int64_t amount, bool non_melee) {
    Put(" for ");
    PutNum(amount);
    Put(amount == 1 ? " point of " : " points of ");
    if (non_melee) Put("non-melee ");
    Put("damage.");
  }
  // "You slash a gnoll for 20 points of damage." / "Ann slashes a gnoll for 15 points of damage."
  void Hit(string_view dealer, bool you, int verb, string_view taker, int64_t amount) {
    Open();
    Put(dealer);
    Put(' ');
    Put(VerbText(verb, you));
    Put(' ');
    Put(taker);
    PutAmount(amount, false);
    MaybeTag();
    Close(Kind::Combat);
  }
  // "Ann hit a gnoll for 120 points of non-melee damage."
  void NonMelee(string_view dealer, string_view taker, int64_t amount) {
    Open();
    Put(dealer);
    Put(" hit ");
    Put(taker);
    PutAmount(amount, true);
    Close(Kind::Combat);
  }
  // Failed swing. avoid: 0 miss, 1 parry, 2 dodge, 3 riposte, 4 block.
  // taker_you: the owner is attacked (written "YOU", avoidances "YOU parry!").
  void Swing(string_view dealer, bool you, int verb, string_view taker, bool taker_you, int avoid) {
    static constexpr std::array<const char*, 5> third = {"", " parries!", " dodges!", " ripostes!",
                                                         " blocks!"};
    static constexpr std::array<const char*, 5> base = {"", " parry!", " dodge!", " riposte!",
                                                        " block!"};
    Open();
    Put(dealer);
    Put(you ? " try to " : " tries to ");
    Put(VerbText(verb, true));
    Put(' ');
    Put(taker);
    if (avoid == 0) {
      Put(you ? ", but miss!" : ", but misses!");
    } else {
      Put(", but ");
      Put(taker);
      Put(taker_you ? base[static_cast<size_t>(avoid)] : third[static_cast<size_t>(avoid)]);
    }
    Close(Kind::Combat);
  }
  // ---- kinds of newer and older logs (only with Options::extended_kinds) ----
  bool Extended() const { return opt_.extended_kinds; }
  // Damage over time by others names the spell before the caster in newer logs
  // ("... damage from Rot Grasp by Ann."): the second half of the log, as if the
  // client had been updated meanwhile.
  bool NewerTicks() const { return Extended() && st_.bytes >= opt_.target_bytes / 2; }
  // Now and then a tag after the final full stop: "... damage. (Critical)".
  void MaybeTag() {
    if (Extended() && (force_tag_ || rng_.Chance(1, 16))) Put(rng_.Pick(kTags));
  }
  // "Ann hit a gnoll for 310 points of fire damage by Fire Shard." ("You hit ..." for the owner).
  void SchoolHit(string_view dealer, string_view taker, int64_t amount, string_view spell) {
    Open();
    Put(dealer);
    Put(" hit ");
    Put(taker);
    Put(" for ");
    PutNum(amount);
    Put(amount == 1 ? " point of " : " points of ");
    Put(rng_.Pick(kSchools));
    Put(" damage by ");
    Put(spell);
    Put('.');
    MaybeTag();
    Close(Kind::Combat);
  }
  // The owner's spell damage as older logs write it: "a gnoll was hit by non-melee for 12 points
  // of damage." (the name now and then capitalised, as at the start of any sentence).
  void OldNonMelee(const ActiveMob& m, int64_t amount) {
    Open();
    Put(rng_.Chance(1, 2) ? string_view(m.kind->name) : string_view(m.cap));
    Put(" was hit by non-melee");
    PutAmount(amount, false);
    Close(Kind::Combat);
  }
  // Damage shields: "A gnoll is burned by YOUR flames for 5 points of non-melee damage.",
  // "A gnoll is pierced by Gorrum's thorns ..." and
  // "YOU are pierced by a gnoll's thorns for 3 points of non-melee damage!".
  void ShieldOnMob(const ActiveMob& m, size_t owner, int64_t amount) {
    Open();
    Put(m.cap);
    if (owner == 0) {
      Put(" is burned by YOUR flames");
    } else {
      Put(" is pierced by ");
      Put(party_[owner].name);
      Put("'s thorns");
    }
    PutAmount(amount, true);
    MaybeTag();
    Close(Kind::Combat);
  }
  void ShieldOnOwner(const ActiveMob& m, int64_t amount) {
    Open();
    Put("YOU are pierced by ");
    Put(m.kind->name);
    Put("'s thorns");
    PutAmount(amount, true);
    buf_.back() = '!';
    Close(Kind::Combat);
  }
  // A verb of newer logs in place of `verb`, now and then.
  int MaybeMoreVerb(int verb, Role role) {
    if (!Extended() || !rng_.Chance(1, 5)) return verb;
    switch (role) {
      case Role::Owner:
        return rng_.Pick(std::array<int, 3>{kCleave, kStab, kShoot});
      case Role::Tank:
        return rng_.Pick(std::array<int, 3>{kCleave, kHack, kBludgeon});
      case Role::Rogue:
        return rng_.Pick(std::array<int, 2>{kStab, kShoot});
      case Role::Berserker:
        return rng_.Pick(std::array<int, 2>{kCleave, kHack});
      case Role::Caster:
        return kShoot;
      case Role::Healer:
        return kBludgeon;
      case Role::PetOwner:
        return rng_.Pick(std::array<int, 2>{kWhip, kLash});
      default:
        return verb;
    }
  }

  // One line of each kind of older and newer logs against the first mob (the owner's first-person
  // misses and defences included), tags on the owner's cleave and the spell on the owner.
  void EveryExtendedKind() {
    ActiveMob& m = mobs_[0];
    const string_view name = m.kind->name;
    const size_t caster = party_.size() > 2 ? 2 : party_.size() - 1;
    const string_view spell = m.kind->spell ? string_view(m.kind->spell) : "Drain Life";
    int64_t dmg = rng_.Range(10, 40);
    force_tag_ = true;
    Hit("You", true, kCleave, name, dmg);
    force_tag_ = false;
    Damage(m, dmg, 0);
    dmg = rng_.Range(10, 40);
    Hit(party_[tank_].name, false, kHack, name, dmg);
    Damage(m, dmg, tank_);
    Swing("You", true, kStab, name, false, 0);
    Swing("You", true, kShoot, name, false, 1);
    Swing(m.cap, false, kWhip, "YOU", true, 2);
    Swing(m.cap, false, kLash, "YOU", true, 4);
    OwnCast(kOwnerNukes[0].name);
    dmg = rng_.Range(10, 40);
    OldNonMelee(m, dmg);
    Damage(m, dmg, 0);
    OtherCast(party_[caster].name, kCasterNukes[0].name);
    dmg = rng_.Range(kCasterNukes[0].lo, kCasterNukes[0].hi);
    SchoolHit(party_[caster].name, name, dmg, kCasterNukes[0].name);
    Damage(m, dmg, caster);
    OtherCast(m.cap, spell);
    force_tag_ = true;
    SchoolHit(m.cap, "you", rng_.Range(20, 60), spell);
    force_tag_ = false;
    dmg = rng_.Range(1, 9);
    ShieldOnMob(m, 0, dmg);
    Damage(m, dmg, 0);
    dmg = rng_.Range(1, 9);
    ShieldOnMob(m, tank_, dmg);
    Damage(m, dmg, tank_);
    ShieldOnOwner(m, rng_.Range(1, 6));
    for (const std::string& by : {std::string(name), std::string()}) {
      Open();
      Put("You have taken ");
      PutNum(rng_.Range(8, 30));
      Put(" damage from ");
      Put(spell);
      if (!by.empty()) {
        Put(" by ");
        Put(by);
      }
      Put('.');
      Close(Kind::Other);
    }
  }

  void OtherCast(string_view caster, string_view spell) {
    Open();
    Put(caster);
    Put(" begins to cast a spell. <");
    Put(spell);
    Put('>');
    Close(Kind::Combat);
  }
  void OwnCast(string_view spell) {
    Open();
    Put("You begin casting ");
    Put(spell);
    Put('.');
    Close(Kind::Combat);
  }

  // ---- fights -------------------------------------------------------------
  ActiveMob Spawn(const MobKind& k) {
    ActiveMob m{&k, k.name, rng_.Range(k.hp_lo, k.hp_hi), next_mob_id_++};
    if (m.cap[0] >= 'a' && m.cap[0] <= 'z') m.cap[0] = static_cast<char>(m.cap[0] - 'a' + 'A');
    return m;
  }
  const MobKind& ZoneTrash() { return kMobs[static_cast<size_t>(rng_.Pick(kZones[zone_].trash))]; }

  int64_t Roll(int lo, int hi) {
    if (rng_.Chance(1, 150)) return 0;  // the occasional zero hit
    return rng_.Range(lo, hi);
  }
  int Avoidance() {
    // miss 60%, parry 12%, dodge 14%, riposte 6%, block 8%
    const int64_t r = rng_.Range(0, 99);
    return r < 60 ? 0 : r < 72 ? 1 : r < 86 ? 2 : r < 92 ? 3 : 4;
  }
  ActiveMob* FindMob(int id) {
    for (ActiveMob& m : mobs_)
      if (m.id == id) return &m;
    return nullptr;
  }
  // Players assist on the first mob; now and then someone hits another.
  ActiveMob& TargetMob() { return rng_.Chance(3, 4) ? mobs_[0] : mobs_[rng_.Below(mobs_.size())]; }

  void Damage(ActiveMob& m, int64_t amount, size_t killer) {
    m.hp -= amount;
    if (m.hp <= 0 && last_killer_.size() < 8) {
      for (const auto& k : last_killer_)
        if (k.first == m.id) return;
      last_killer_.emplace_back(m.id, killer);
    }
  }

  // A round of melee by party member i (pet = its pet or warder swings instead).
  void MeleeRound(size_t i, bool pet, int swings) {
    const Actor& a = party_[i];
    for (int s = 0; s < swings && !mobs_.empty() && !done_; ++s) {
      ActiveMob& m = TargetMob();
      const bool you = i == 0 && !pet;
      string_view dealer = pet ? string_view(a.pet) : string_view(a.name);
      int verb;
      int lo = a.lo, hi = a.hi;
      if (pet) {
        verb = a.warder ? rng_.Pick(kWarderVerbs) : rng_.Pick(kPetVerbs);
        lo = 4;
        hi = 34;
      } else {
        verb = MaybeMoreVerb(rng_.Pick(a.verbs), a.role);
      }
      if (verb == kKick) {
        lo = 3;
        hi = 22;
      }
      if (verb == kBackstab) {
        lo = 60;
        hi = 190;
      }
      if (rng_.Chance(72, 100)) {
        const int64_t dmg = Roll(lo, hi);
        Hit(dealer, you, verb, m.kind->name, dmg);
        Damage(m, dmg, i);
        if (Extended() && !pet) Shields(m, i);
      } else if (you) {
        // The owner's own failures are written in the first person.
        Swing(dealer, true, verb, m.kind->name, false, Avoidance());
      } else {
        Swing(dealer, false, verb, m.kind->name, false, Avoidance());
      }
    }
  }

  // Damage shields that a melee hit by party member i sets off.
  void Shields(ActiveMob& m, size_t i) {
    if ((i == 0 || i == tank_) && rng_.Chance(1, 5)) {
      const int64_t dmg = rng_.Range(1, 9);
      ShieldOnMob(m, i, dmg);
      Damage(m, dmg, i);
    }
    if (i == 0 && rng_.Chance(1, 12)) ShieldOnOwner(m, rng_.Range(1, 6));
  }

  // A special strike: a non-melee hit, then (normally in the same second) the effect line.
  void SpecialStrike(size_t i) {
    ActiveMob& m = TargetMob();
    // Tanks and berserkers carry the storm blade; the owner, rogues and monks the ethereal one.
    const bool storm = party_[i].role == Role::Tank || party_[i].role == Role::Berserker;
    const int64_t dmg = rng_.Range(100, 300);
    NonMelee(party_[i].name, m.kind->name, dmg);
    Damage(m, dmg, i);
    std::string effect = m.kind->name;
    effect += storm ? " quivers as a bolt of energy surges through them."
                    : " is enveloped in ethereal energy.";
    const int64_t r = rng_.Range(0, 9);
    if (r < 7) {
      Line(effect, Kind::Other);
    } else if (r < 9) {
      pending_.emplace_back(std::move(effect), Kind::Other);  // one second late
    }                                                         // else: the effect line is lost
  }

  // Spell with a damage landing, merged by the parser with the cast line.
  void Nuke(size_t i, const Spell& sp) {
    ActiveMob& m = TargetMob();
    const int64_t dmg = rng_.Range(sp.lo, sp.hi);
    if (i == 0)
      OwnCast(sp.name);
    else
      OtherCast(party_[i].name, sp.name);
    const int64_t r = rng_.Range(0, 99);
    const int64_t era = Extended() ? rng_.Range(0, 2) : 0;  // 1: older log, 2: newer log
    if (r < 78 && era == 1 && i == 0) {
      OldNonMelee(m, dmg);
      Damage(m, dmg, i);
    } else if (r < 78 && era == 2) {
      SchoolHit(party_[i].name, m.kind->name, dmg, sp.name);
      Damage(m, dmg, i);
    } else if (r < 78) {
      NonMelee(party_[i].name, m.kind->name, dmg);
      Damage(m, dmg, i);
      if (rng_.Chance(2, 3)) {
        std::string fx = m.kind->name;
        fx += rng_.Chance(1, 2) ? " is engulfed in flames." : " winces in pain.";
        Line(fx, Kind::Other);
      }
    } else if (r < 90) {
      // lands after other lines: the parser will not merge it
      std::string late = party_[i].name;
      late += " hit ";
      late += m.kind->name;
      pending_nuke_.push_back({m.id, i, dmg, std::move(late)});
    } else if (i == 0) {
      Line(rng_.Chance(1, 2) ? "Your spell is interrupted." : "Your target resisted the spell.",
           Kind::Other);
    } else {
      Open();
      Put(party_[i].name);
      Put("'s casting is interrupted!");
      Close(Kind::Other);
    }
  }

  void CastDot(size_t i) {
    ActiveMob& m = TargetMob();
    const char* spell = i == 0 ? "Poison Bolt" : (i % 2 != 0 ? "Venom Creep" : "Rot Grasp");
    if (i == 0)
      OwnCast(spell);
    else
      OtherCast(party_[i].name, spell);
    if (i == 0) {  // the bolt itself hits, then poisons
      const int64_t dmg = rng_.Range(90, 160);
      NonMelee("You", m.kind->name, dmg);
      Damage(m, dmg, 0);
    }
    for (const Dot& d : dots_)
      if (d.mob_id == m.id && d.caster == static_cast<int>(i)) return;  // refreshed
    dots_.push_back({m.id, static_cast<int>(i), spell, static_cast<int>(rng_.Range(4, 7)), 10, 34});
  }

  void Heal(size_t healer) {
    const Spell& sp = rng_.Pick(kHeals);
    const bool on_me = rng_.Chance(1, 3);
    if (healer == 0) {
      OwnCast("Mending Touch");
      Open();
      Put("You have healed ");
      Put(on_me ? string_view("yourself") : string_view(RandomOther().name));
      PutAmount(rng_.Range(40, 260), false);
      Close(Kind::Other);
      return;
    }
    OtherCast(party_[healer].name, sp.name);
    if (on_me) {
      Open();
      Put(party_[healer].name);
      Put(" has healed you");
      PutAmount(rng_.Range(sp.lo, sp.hi), false);
      Close(Kind::Other);
    } else if (rng_.Chance(1, 2)) {
      Open();
      Put(RandomOther().name);
      Put(" feels much better.");
      Close(Kind::Other);
    }
  }

  void MobRound(ActiveMob& m) {
    const MobKind& k = *m.kind;
    if (k.spell && rng_.Chance(1, 8)) {
      OtherCast(m.cap, k.spell);
      const size_t t = rng_.Chance(1, 3) ? 0 : tank_;
      if (rng_.Chance(4, 5)) {
        const int64_t dmg = rng_.Range(k.dmg_hi, k.dmg_hi * 4);
        if (Extended() && t == 0 && rng_.Chance(1, 2))
          SchoolHit(m.cap, "you", dmg, k.spell);
        else
          NonMelee(m.cap, TargetName(t), dmg);
        if (t == 0) owner_dot_ = {k.spell, m.cap, static_cast<int>(rng_.Range(2, 4))};
        // Newer logs name the caster of a damage over time mid-sentence, or not at all.
        if (t == 0 && Extended()) {
          const int64_t form = rng_.Range(0, 2);
          owner_dot_.by = form == 0 ? std::string(k.name) : form == 1 ? m.cap : std::string();
        }
      }
      return;
    }
    const int swings = static_cast<int>(rng_.Range(1, k.named ? 3 : 2));
    for (int s = 0; s < swings && !done_; ++s) {
      int verb;
      do verb = k.verbs[rng_.Below(4)];
      while (verb < 0);
      if (Extended() && rng_.Chance(1, 12)) verb = rng_.Chance(1, 2) ? kWhip : kLash;
      // Target: mostly the tank, sometimes the owner, a pet or anyone.
      const int64_t r = rng_.Range(0, 99);
      size_t ti = tank_;
      string_view taker;
      if (r < 55) {
        taker = TargetName(tank_);
      } else if (r < 72) {
        ti = 0;
        taker = "YOU";
      } else if (r < 82) {
        taker = party_[0].pet;
      } else if (r < 90 && !party_[1].pet.empty()) {
        taker = party_[1].pet;
      } else {
        ti = 1 + rng_.Below(party_.size() - 1);
        taker = TargetName(ti);
      }
      const bool at_me = taker == "YOU";
      if (rng_.Chance(55, 100)) {
        Hit(m.cap, false, verb, taker, Roll(k.dmg_lo, k.dmg_hi));
      } else {
        Swing(m.cap, false, verb, taker, at_me, Avoidance());
      }
    }
  }

  void Abilities(bool boss) {
    // Veteran abilities and glyphs, mostly when a named mob is pulled.
    const uint64_t den = boss ? 10 : 60;
    if (rng_.Chance(7, den)) OtherCast(party_[tank_].name, kVeteran[0]);
    for (size_t i = 1; i < party_.size() && !done_; ++i) {
      if (party_[i].role == Role::Berserker && rng_.Chance(5, den))
        OtherCast(party_[i].name, kVeteran[1]);
      if (party_[i].role == Role::Caster && rng_.Chance(6, den))
        OtherCast(party_[i].name, rng_.Pick(kGlyphs));
    }
    if (rng_.Chance(3, den)) OwnCast(rng_.Chance(1, 2) ? kVeteran[1] : kVeteran[0]);
    if (rng_.Chance(3, den)) OwnCast(rng_.Pick(kGlyphs));
  }

  void Fight(uint64_t fight_no) {
    ++st_.fights;
    mobs_.clear();
    dots_.clear();
    pending_.clear();
    pending_nuke_.clear();
    last_killer_.clear();
    const bool boss = fight_no % 8 == 3 || rng_.Chance(1, 40);
    std::vector<std::pair<int64_t, const MobKind*>> adds;  // (second, mob) joining later
    if (boss) {
      ++st_.named_fights;
      mobs_.push_back(Spawn(kMobs[static_cast<size_t>(kZones[zone_].named)]));
      const int64_t n = rng_.Range(0, 2);
      // One draw per statement: argument evaluation order differs between compilers.
      for (int64_t a = 0; a < n; ++a) {
        const int64_t when = rng_.Range(20, 120);
        adds.emplace_back(when, &ZoneTrash());
      }
    } else {
      const int64_t r = rng_.Range(0, 9);
      const int64_t n = r < 5 ? 1 : r < 8 ? 2 : 3;
      mobs_.push_back(Spawn(ZoneTrash()));
      for (int64_t a = 1; a < n; ++a) {
        if (rng_.Chance(1, 2))
          mobs_.push_back(Spawn(ZoneTrash()));
        else {
          const int64_t when = rng_.Range(3, 30);
          adds.emplace_back(when, &ZoneTrash());
        }
      }
    }
    if (rng_.Chance(1, 3)) {
      Open();
      Put("You tell the group, 'inc ");
      Put(mobs_[0].kind->name);
      Put("'");
      Close(Kind::Chat);
    }
    Line("You draw a weapon.", Kind::Other);
    if (Extended() && opt_.every_extended_kind && fight_no == 0) EveryExtendedKind();
    // Abilities go off once the fight is under way, inside the fight's records.
    const int64_t ability_sec = rng_.Range(1, 5);

    for (int64_t sec = 0; !done_ && (!mobs_.empty() || !adds.empty()) && sec < 1800; ++sec) {
      if (sec > 0) clock_.Advance(1);
      Second(sec, adds);
      if (!mobs_.empty() && (sec == ability_sec || (boss && rng_.Chance(1, 90)))) Abilities(boss);
    }
    if (done_) return;
    mobs_.clear();
    Line("You lower a weapon.", Kind::Other);
    const int64_t loot = rng_.Range(0, 3);
    if (loot == 1) {
      Open();
      Put("--You have looted ");
      Put(rng_.Pick(kLoot));
      Put(" from a corpse.--");
      Close(Kind::Other);
    } else if (loot == 2) {
      Open();
      Put("You receive ");
      PutNum(rng_.Range(1, 9));
      Put(" gold and ");
      PutNum(rng_.Range(1, 9));
      Put(" silver from the corpse.");
      Close(Kind::Other);
    } else if (loot == 3) {
      Open();
      Put("--");
      Put(RandomOther().name);
      Put(" has looted ");
      Put(rng_.Pick(kLoot));
      Put(".--");
      Close(Kind::Other);
    }
  }

  void Second(int64_t sec, std::vector<std::pair<int64_t, const MobKind*>>& adds) {
    // Lines held over from the previous second.
    for (auto& p : pending_) Line(p.first, p.second);
    pending_.clear();
    for (auto& pn : pending_nuke_) {
      if (ActiveMob* m = FindMob(pn.mob_id)) {
        Open();
        Put(pn.text);
        PutAmount(pn.dmg, true);
        Close(Kind::Combat);
        Damage(*m, pn.dmg, pn.caster);
      }
    }
    pending_nuke_.clear();

    for (size_t a = 0; a < adds.size();) {
      if (adds[a].first <= sec) {
        mobs_.push_back(Spawn(*adds[a].second));
        if (rng_.Chance(1, 2)) {
          Open();
          Put(RandomOther().name);
          Put(" tells the group, 'add! ");
          Put(adds[a].second->name);
          Put("'");
          Close(Kind::Chat);
        }
        adds.erase(adds.begin() + static_cast<std::ptrdiff_t>(a));
      } else {
        ++a;
      }
    }
    if (mobs_.empty()) return;

    // Party members, in an order that varies from second to second.
    const size_t n = party_.size();
    const size_t start = rng_.Below(n);
    for (size_t j = 0; j < n && !done_ && !mobs_.empty(); ++j) {
      const size_t i = (start + j) % n;
      const Actor& a = party_[i];
      const int64_t r = rng_.Range(0, 999);
      switch (a.role) {
        case Role::Owner:
          if (r < 330)
            MeleeRound(i, false, static_cast<int>(rng_.Range(1, 2)));
          else if (r < 370)
            Nuke(i, rng_.Pick(kOwnerNukes));
          else if (r < 382)
            CastDot(i);
          else if (r < 390)
            Heal(i);
          else if (r < 400)
            SpecialStrike(i);
          break;
        case Role::Caster:
          if (r < 120)
            Nuke(i, rng_.Pick(kCasterNukes));
          else if (r < 150)
            MeleeRound(i, false, 1);
          break;
        case Role::Healer:
          if (r < 110)
            Heal(i);
          else if (r < 180)
            MeleeRound(i, false, 1);
          break;
        case Role::PetOwner:
          if (r < 150)
            MeleeRound(i, false, 1);
          else if (r < 170)
            CastDot(i);
          break;
        default:
          if (r < 300)
            MeleeRound(i, false, static_cast<int>(rng_.Range(1, 2)));
          else if (r < 312)
            SpecialStrike(i);
          break;
      }
      if (!a.pet.empty() && !mobs_.empty() && rng_.Chance(3, 10))
        MeleeRound(i, true, static_cast<int>(rng_.Range(1, 2)));
    }
    for (size_t m = 0; m < mobs_.size() && !done_; ++m)
      if (rng_.Chance(9, 20)) MobRound(mobs_[m]);

    // Damage over time ticks every six seconds.
    if (sec % 6 == 0) {
      for (size_t d = 0; d < dots_.size();) {
        Dot& dot = dots_[d];
        ActiveMob* m = FindMob(dot.mob_id);
        if (!m || dot.ticks-- <= 0) {
          dots_.erase(dots_.begin() + static_cast<std::ptrdiff_t>(d));
          continue;
        }
        const int64_t dmg = rng_.Range(dot.lo, dot.hi);
        Open();
        Put(m->cap);
        Put(" has taken ");
        PutNum(dmg);
        if (dot.caster == 0) {
          Put(" damage from your ");
          Put(dot.spell);
          Put('.');
        } else if (NewerTicks()) {
          Put(" damage from ");
          Put(dot.spell);
          Put(" by ");
          Put(party_[static_cast<size_t>(dot.caster)].name);
          Put('.');
        } else {
          Put(" damage from ");
          Put(party_[static_cast<size_t>(dot.caster)].name);
          Put(" by ");
          Put(dot.spell);
          Put('.');
        }
        MaybeTag();
        Close(Kind::Combat);
        Damage(*m, dmg, static_cast<size_t>(dot.caster));
        ++d;
      }
      if (owner_dot_.ticks > 0) {
        --owner_dot_.ticks;
        Open();
        Put("You have taken ");
        PutNum(rng_.Range(8, 30));
        Put(" damage from ");
        Put(owner_dot_.spell);
        if (!owner_dot_.by.empty()) {
          Put(" by ");
          Put(owner_dot_.by);
        }
        Put('.');
        MaybeTag();
        Close(Kind::Other);
      }
    }

    // Talk and spell effects during the fight.
    if (rng_.Chance(4, 5)) FightChatter();
    if (rng_.Chance(1, 2)) FightChatter();

    // Deaths.
    for (const auto& k : last_killer_) {
      for (size_t m = 0; m < mobs_.size(); ++m) {
        if (mobs_[m].id != k.first) continue;
        Open();
        if (k.second == 0) {
          Put("You have slain ");
          Put(mobs_[m].kind->name);
          Put('!');
        } else {
          Put(mobs_[m].kind->name);
          Put(" has been slain by ");
          Put(party_[k.second].name);
          Put('!');
        }
        Close(Kind::Other);
        Line(rng_.Chance(1, 2) ? "Your group grows wiser now." : "You feel more adept!!",
             Kind::Other);
        ++st_.mobs_slain;
        mobs_.erase(mobs_.begin() + static_cast<std::ptrdiff_t>(m));
        break;
      }
    }
    last_killer_.clear();
  }

  void FightChatter() {
    const int64_t r = rng_.Range(0, 9);
    if (r < 3) {
      Open();
      Put(RandomOther().name);
      Put(" tells the group, '");
      Put(rng_.Pick(kPhrases));
      Put("'");
      Close(Kind::Chat);
    } else if (r < 5) {
      Open();
      Put(RandomOther().name);
      Put(" feels much better.");
      Close(Kind::Other);
    } else if (r < 6) {
      Open();
      Put(RandomOther().name);
      Put(" tells you, '");
      Put(rng_.Pick(kCombatPhrases));
      Put("'");
      Close(Kind::Chat);
    } else if (r < 7) {
      Line("Your foe stands beyond reach; step near!", Kind::Other);
    } else {
      ChannelChatter();
    }
  }

  // Channel chatter heard everywhere.
  void ChannelChatter() {
    const int64_t r = rng_.Range(0, 99);
    Open();
    if (r < 22) {
      Put(rng_.Pick(kStrangers));
      Put(" auctions, 'WTS ");
      Put(rng_.Pick(kLoot));
      Put(", ");
      PutNum(rng_.Range(2, 90));
      Put("g'");
    } else if (r < 34) {
      Put(rng_.Pick(kStrangers));
      Put(" shouts, '");
      Put(rng_.Pick(kPhrases));
      Put("'");
    } else if (r < 50) {
      Put(RandomOther().name);
      Put(" tells the guild, '");
      Put(rng_.Pick(kPhrases));
      Put("'");
    } else if (r < 58) {
      Put("You say to your guild, '");
      Put(rng_.Pick(kPhrases));
      Put("'");
    } else if (r < 66) {
      Put(rng_.Pick(kStrangers));
      Put(" -> ");
      Put(opt_.character);
      Put(": ");
      Put(rng_.Pick(kPhrases));
    } else if (r < 72) {
      Put(opt_.character);
      Put(" <- ");
      Put(rng_.Pick(kStrangers));
      Put(": ");
      Put(rng_.Pick(kPhrases));
    } else if (r < 80) {
      Put(RandomOther().name);
      Put(" tells you, '");
      Put(rng_.Pick(kCombatPhrases));
      Put("'");
    } else if (r < 88) {
      Put("You tell the group, '");
      Put(rng_.Chance(1, 3) ? rng_.Pick(kCombatPhrases) : rng_.Pick(kPhrases));
      Put("'");
    } else if (r < 91) {
      // Chat that the cast rule still sees (it ignores the chatter test).
      Put(RandomOther().name);
      Put(" tells the group, 'I begin casting ");
      Put(rng_.Pick(kHeals).name);
      Put(" on you now'");
    } else {
      Put(RandomOther().name);
      Put(" tells the group, '");
      Put(rng_.Pick(kPhrases));
      Put("'");
    }
    Close(Kind::Chat);
  }

  // ---- idle stretches ---------------------------------------------------
  void Idle() {
    if (opt_.clock_goes_back && st_.clock_back_line < 0 && st_.bytes >= opt_.target_bytes / 2) {
      clock_.Advance(-3600);
      st_.clock_back_line = static_cast<int64_t>(st_.lines);
    }
    // Gap until the next pull: some shorter than the smallest event gap, most longer.
    const int64_t r = rng_.Range(0, 99);
    const int64_t gap = r < 30   ? rng_.Range(2, 17)
                        : r < 70 ? rng_.Range(19, 90)
                        : r < 93 ? rng_.Range(90, 600)
                                 : rng_.Range(600, 2400);
    const int64_t end = clock_.Now() + gap;
    if (gap >= 600 && rng_.Chance(1, 3)) {
      // Move on to another zone.
      zone_ = (zone_ + 1 + rng_.Below(kZones.size() - 1)) % kZones.size();
      clock_.Advance(rng_.Range(5, 60));
      Line("The road unfolds ahead.", Kind::Other);
      clock_.Advance(rng_.Range(3, 15));
      Open();
      Put("You have entered ");
      Put(kZones[zone_].name);
      Put('.');
      Close(Kind::Other);
    }
    while (!done_) {
      clock_.Advance(rng_.Range(0, 1));
      if (gap > 300) clock_.Advance(rng_.Range(0, 2));
      if (clock_.Now() >= end) break;
      IdleLine();
    }
    if (clock_.Now() < end) clock_.Advance(end - clock_.Now());
  }

  void IdleLine() {
    const int64_t r = rng_.Range(0, 99);
    if (r < 55) {
      ChannelChatter();
    } else if (r < 63) {
      const Actor& a = RandomOther();
      const int64_t q = rng_.Range(0, 2);
      Open();
      Put(a.name);
      if (q == 0) {
        Put(" tells the group, '");
        Put(rng_.Pick(kPhrases));
        Put("'");
        Close(Kind::Chat);
      } else if (q == 1) {
        Put(" says, '");
        Put(rng_.Pick(kPhrases));
        Put("'");
        Close(Kind::Chat);
      } else {
        Put(" says out of character, '");
        Put(rng_.Pick(kPhrases));
        Put("'");
        Close(Kind::Chat);
      }
    } else if (r < 80) {
      Line(rng_.Pick(kNoise), Kind::Other);
    } else if (r < 86) {
      // Buffs between pulls.
      const char* b = rng_.Pick(kBuffs);
      if (rng_.Chance(1, 2)) {
        OwnCast(b);
        Line("You feel the magic take hold.", Kind::Other);
      } else {
        OtherCast(RandomOther().name, b);
      }
    } else if (r < 94) {
      // Heals after the fight.
      size_t h = 0;
      for (size_t i = 1; i < party_.size(); ++i)
        if (party_[i].role == Role::Healer && rng_.Chance(2, 3)) h = i;
      Heal(h);
    } else {
      Open();
      Put("Your ");
      Put(rng_.Pick(kBuffs));
      Put(" spell has worn off.");
      Close(Kind::Other);
    }
  }

  // ---- broken lines -------------------------------------------------------
  // A plausible combat message body (no stamp, no line end).
  void CombatBody(bool amount_text) {
    const MobKind& k = ZoneTrash();
    const Actor& a = RandomOther();
    Put(a.name);
    Put(' ');
    Put(kVerbs[static_cast<size_t>(rng_.Pick(a.verbs))][0]);
    Put(' ');
    Put(k.name);
    if (amount_text) PutAmount(rng_.Range(5, 60), false);
  }

  void Malformed() {
    struct W {
      uint32_t kind;
      int weight;
    };
    static constexpr std::array<W, 7> weights = {{{kMalformedTruncated, 20},
                                                  {kMalformedBadMonth, 15},
                                                  {kMalformedBadAmount, 15},
                                                  {kMalformedHugeAmount, 15},
                                                  {kMalformedLoneBreak, 15},
                                                  {kMalformedHighByte, 17},
                                                  {kMalformedNul, 3}}};
    int total = 0;
    for (const W& w : weights)
      if (opt_.malformed_kinds & w.kind) total += w.weight;
    if (total == 0) return;
    int pick = static_cast<int>(rng_.Range(0, total - 1));
    uint32_t kind = 0;
    for (const W& w : weights) {
      if (!(opt_.malformed_kinds & w.kind)) continue;
      if (pick < w.weight) {
        kind = w.kind;
        break;
      }
      pick -= w.weight;
    }
    uint64_t* counter = &st_.nul_byte;
    RawOpen();
    switch (kind) {
      case kMalformedTruncated: {
        CombatBody(true);
        buf_.resize(line_start_ + static_cast<size_t>(rng_.Range(1, 27)));
        counter = &st_.truncated;
        break;
      }
      case kMalformedBadMonth: {
        static constexpr std::array<const char*, 5> bad = {"Jnu", "jan", "DEC", "Xyz", "   "};
        std::memcpy(&buf_[line_start_ + 5], rng_.Pick(bad), 3);
        CombatBody(true);
        counter = &st_.bad_month;
        break;
      }
      case kMalformedBadAmount: {
        static constexpr std::array<const char*, 4> bad = {"lots", "", "12a", "many"};
        CombatBody(false);
        Put(" for ");
        Put(rng_.Pick(bad));
        Put(" points of damage.");
        counter = &st_.bad_amount;
        break;
      }
      case kMalformedHugeAmount: {
        static constexpr std::array<const char*, 4> huge = {"2147483648", "4294967296",
                                                            "99999999999", "-2147483649"};
        CombatBody(false);
        Put(" for ");
        Put(rng_.Pick(huge));
        Put(rng_.Chance(1, 2) ? " points of damage." : " points of non-melee damage.");
        counter = &st_.huge_amount;
        break;
      }
      case kMalformedLoneBreak: {
        if (rng_.Chance(1, 2)) {
          CombatBody(false);
          Put(rng_.Chance(1, 2) ? " for 15\rpoints of damage." : " for 15\npoints of damage.");
        } else {
          Put(RandomOther().name);
          Put(" tells the group, 'first line\nsecond line'");
        }
        counter = &st_.lone_break;
        break;
      }
      case kMalformedHighByte: {
        const int64_t q = rng_.Range(0, 2);
        if (q == 0) {
          Put("Zo\xEB ");
          Put(kVerbs[kSlash][0]);
          Put(' ');
          Put(ZoneTrash().name);
          PutAmount(rng_.Range(5, 40), false);
        } else if (q == 1) {
          Put("Zo\xEB tells the group, 'caf\xE9 au lait \x80 ");
          PutNum(rng_.Range(1, 9));
          Put("g'");
        } else {
          Put("You have entered Th\xFBle M\xF6re.");
        }
        counter = &st_.high_byte;
        break;
      }
      default: {
        Put(RandomOther().name);
        Put(" tells the group, 'oops");
        Put(string_view("\0", 1));
        Put("'");
        break;
      }
    }
    const size_t before = st_.lines;
    Close(Kind::Other);
    if (st_.lines != before) {
      ++*counter;
      ++st_.malformed_lines;
      --st_.other_lines;
    }
  }

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

}  // namespace

Stats Generate(const Options& options, std::ostream& out) {
  Generator g(options, out);
  return g.Run();
}

bool ParseSize(const std::string& text, uint64_t& bytes) {
  if (text.empty()) return false;
  uint64_t v = 0;
  size_t i = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (v > (UINT64_MAX - 9) / 10) return false;
    v = v * 10 + static_cast<uint64_t>(text[i] - '0');
  }
  if (i == 0) return false;
  uint64_t mul = 1;
  if (i < text.size()) {
    switch (text[i]) {
      case 'k':
      case 'K':
        mul = uint64_t{1} << 10;
        break;
      case 'm':
      case 'M':
        mul = uint64_t{1} << 20;
        break;
      case 'g':
      case 'G':
        mul = uint64_t{1} << 30;
        break;
      default:
        return false;
    }
    ++i;
    if (i < text.size() && (text[i] == 'B' || text[i] == 'b')) ++i;
    if (i != text.size()) return false;
  }
  if (v > UINT64_MAX / mul) return false;
  bytes = v * mul;
  return true;
}

}  // namespace ombrel::loggen
