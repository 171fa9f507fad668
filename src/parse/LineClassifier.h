#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "parse/CritNotes.h"
#include "parse/LineSigns.h"
#include "parse/MobList.h"
#include "parse/StampLayout.h"
#include "parse/TickOrder.h"
#include "parse/VerbScan.h"
#include "shared/DamageRecord.h"
#include "shared/DamageTable.h"
#include "shared/LineRules.h"

namespace ombrel {

// The texts a record may hold that are not in the log, held by the damage
// table (DamageTable::Intern) so that they outlive the parse.
struct ClassifierTexts {
  std::string_view character_name;
  std::string_view mana_resurgence;  // "Mana Resurgence Strike"
  std::string_view storm_blade;      // "Storm Blade Strike"
  std::string_view damage_shield;    // "damage shield" (extended rules)
};

inline constexpr std::string_view kManaResurgenceStrike = "Mana Resurgence Strike";
inline constexpr std::string_view kStormBladeStrike = "Storm Blade Strike";
inline constexpr std::string_view kDamageShield = "damage shield";

// The longest line read, without its line end. The game's lines stay under
// 4 kB: a longer line did not come from it, counts as unreadable and is
// skipped without being held.
inline constexpr size_t kLongestLine = size_t{1} << 20;

// The texts above and the character's name, as `table` holds them.
inline ClassifierTexts InternClassifierTexts(DamageTable& table, std::string_view character_name) {
  return {table.Intern(character_name), table.Intern(kManaResurgenceStrike),
          table.Intern(kStormBladeStrike), table.Intern(kDamageShield)};
}

// What a stretch of the log classified apart from the lines before it asked
// of the record before its own first record, in order. A cast merge question
// (`cast_merge`): is that record a spell cast by `dealer`? The stretch took it
// that it is not, and kept its hit as a record of its own. A special name
// question: is it a non-melee hit dated `date`? Then it is renamed `name`;
// the stretch left that to whoever joins it to the lines before.
struct StartQuestion {
  bool cast_merge = false;
  std::string dealer;
  DateTime date;
  std::string_view name;
};

// Puts the lines of a log, one after the other, through the combat rules:
// appends damage records to the table (or amends the last one) and registers
// the names the character damages as mobs.
class LineClassifier {
 public:
  // The table's last record, if any, is taken as the last kept one.
  LineClassifier(DamageTable& table, MobSink& mobs, const ClassifierTexts& texts,
                 const VerbScanner& verbs, LineRules rules = LineRules::kDefault);

  // `line` without its line end; `index` is its 0-based line number. A line
  // longer than kLongestLine is unreadable.
  void Classify(std::string_view line, int64_t index);

  // Lines a rule matched but whose time, amount or layout could not be read.
  int64_t unreadable_lines() const { return unreadable_lines_; }
  // The stamped lines and the signs for the extended rules among the lines
  // so far (no case pairs: those are counted over the whole table).
  const LineSigns& signs() const { return signs_; }

  // The lines start a stretch classified apart from the lines before it:
  // until the stretch keeps a record, the questions the rules ask of the
  // record before go to `questions` (which must outlive the classifier). Under
  // the extended rules its damage over time by others is kept in the older
  // order and left to the join, with what it needs, in `ticks`.
  void DetachStart(std::vector<StartQuestion>* questions, StretchTicks* ticks = nullptr) {
    questions_ = questions;
    stretch_ticks_ = ticks;
  }

  // The log so far as the order of damage over time by others is decided
  // from (extended rules), for the join of a stretch classified apart.
  TickOrderLog& tick_order() { return tick_order_; }
  // The announced critical hits still waiting for their hit (extended rules).
  CritNotes& crit_notes() { return crit_notes_; }

  // Records were appended to or amended in the table by others: takes its
  // last record as the last kept one again.
  void FollowTable();

 private:
  struct Line;
  struct Tick;

  // One function per line shape, in rule order; the ones in plural find out
  // which shapes of their kind a line holds.
  void SpellCasts(Line& line);
  void CastByOther(Line& line);  // "Soandso begins to cast a spell. <Fire Shard>"
  void OwnCast(Line& line);      // "You begin casting Fire Shard."
  void Avoidances(Line& line);   // "A gnoll tries to hit YOU, but misses!" and the others
  void Damage(Line& line);
  Tick ReadTick(Line& line);
  void OwnTick(Line& line, const Tick& tick);     // "A gnoll has taken 12 damage from your Bolt."
  void OthersTick(Line& line, const Tick& tick);  // "... damage from Soandso by Bolt."
  void DirectHit(Line& line, int amount_phrase);  // "You hit a gnoll for 20 points of damage."
  void SpecialNames(Line& line);
  // Extended rules: heals, deaths and critical-hit announcements; true when
  // the line is a heal, which no damage rule may read.
  bool LifeLines(Line& line, std::string_view tags);
  // `record` as kept: a damage record of the extended rules is a critical
  // hit when its line's tag or an announcement says so.
  DamageRecord Marked(const DamageRecord& record);

  // The shapes only the extended rules read.
  void OwnTry(Line& line);          // "You try to slash a gnoll, but miss!" and the avoidances
  void CharacterTick(Line& line);   // "You have taken 20 damage from Sting by a gnoll."
  bool ExtendedDamage(Line& line);  // true when one of the three below took the line
  bool HitByNonMelee(Line& line);   // "a gnoll was hit by non-melee for 12 points of damage."
  bool SchoolHit(Line& line);       // "Ann hit a gnoll for 310 points of fire damage by Dart."
  bool DamageShield(Line& line);    // "A gnoll is burned by YOUR flames for 5 points of ..."
  // Under the extended rules an avoidance aimed at "you" names the character.
  std::string_view AvoidanceTaker(std::string_view taker) const;
  // The character: its name as typed; under the extended rules also the name
  // in the other spelling of its first letter, "you" in any case and "yourself".
  bool IsCharacter(std::string_view name) const;
  // `name`, or under the extended rules the character's name for "you" in any
  // case and "yourself".
  std::string_view Party(std::string_view name) const;
  // A name the character damaged becomes a mob; under the extended rules the
  // character never does.
  void RegisterMob(std::string_view name);

  // The pieces several rules read, each read once per line.
  std::optional<DateTime> Date(Line& line);
  bool Chatter(Line& line);
  static uint32_t ChatMarkers(Line& line);
  const VerbMatch& Verb(Line& line);

  bool Keep(const DamageRecord& record);
  bool KeepOrMerge(const DamageRecord& record);
  // Extended rules: the parties of the record just kept or merged, when it is
  // no damage over time, are names the order of such lines is decided by.
  void MeetParties();

  DamageTable& table_;
  MobSink& mobs_;
  ClassifierTexts texts_;
  const VerbScanner& verbs_;
  bool extended_ = false;

  // The last kept record as the table holds it, read by the cast merge and
  // the special names.
  bool has_last_ = false;
  DamageRecord last_;
  std::vector<StartQuestion>* questions_ = nullptr;

  TickOrderLog tick_order_;
  StretchTicks* stretch_ticks_ = nullptr;
  std::string spelled_;  // a spell name a newer-order line does not write as it is
  CritNotes crit_notes_;
  bool critical_tag_ = false;  // the line's tags name a critical hit

  // The last time stamp read: neighbouring lines mostly share it.
  char stamp_[kStampTimeLength] = {};
  bool has_stamp_ = false;
  std::optional<DateTime> stamp_date_;

  int64_t unreadable_lines_ = 0;
  LineSigns signs_;
};

}  // namespace ombrel
