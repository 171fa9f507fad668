#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "parse/PartyNames.h"
#include "shared/DamageTable.h"

namespace ombrel {

// The join of the parties' spellings (JoinSentenceCapitals) kept up with a
// damage table that grows at its end, at the cost of the records each update
// adds: after every update the table's parties and the mob list are exactly
// what JoinSentenceCapitals makes of the table and mob list as the lines
// wrote them.
//
// - A name met for the first time starts its party, shown under that
//   spelling (the character's under the name typed); a later spelling joins
//   it and is shown under the party's.
// - A pet or warder shows its owner's first letter. Met before its owner, it
//   is shown as written until the owner shows up; its records are kept in a
//   list meanwhile, and the owner's arrival renames the pet in those records
//   only. Every rename is handed back, for the events that show the name.
// - The last record may still be amended by the next line: before the parser
//   reads on, PutBackLast gives it the names its line wrote; the next update
//   keeps what meeting it did when its names stayed, and otherwise takes that
//   back and meets it again.
// - Heals and deaths name their parties as the records show them; a name no
//   record has shown yet waits, as written, for the record that starts its
//   party (it names nothing the events show before that).
class LivePartyNames {
 public:
  explicit LivePartyNames(std::string_view character_name);

  struct Renamed {
    std::string_view from;
    std::string_view to;
  };

  // Joins the records added to `table` since the last update (the last one
  // possibly amended), and reads the entries added to `written_mobs`, the
  // parser's mob list (its one empty entry possibly replaced by the first
  // mob). Renames of names shown before are appended to `renamed`, in order.
  // False, with the table as the lines wrote it again, when what the last
  // record did cannot be taken back at the cost of that record (a mob it
  // named is gone with its amendment): the caller starts a new join.
  bool Update(DamageTable& table, std::span<const std::string_view> written_mobs,
              std::vector<Renamed>& renamed);

  // Gives the last record joined the names its line wrote, as the parser
  // reads it back.
  void PutBackLast(DamageTable& table);
  // Gives every record the names its line wrote.
  void PutBackAll(DamageTable& table);

  // The joined mob list as of the last update.
  const std::vector<std::string_view>& MobList() const { return mobs_; }
  // The parties of records as their lines wrote them, where the table shows
  // other spellings, in table order (as JoinSentenceCapitals returns them).
  std::vector<WrittenNames> Written(const DamageTable& table) const;

 private:
  // A name in a heal (healer, target) or death (victim, killer).
  struct LifeName {
    bool death = false;
    bool second = false;  // the target or killer
    uint32_t index = 0;
  };
  struct LifeWritten {
    LifeName at;
    std::string_view written;
  };

  struct Party {
    std::string_view base;   // the first spelling met, or the name typed
    std::string_view shown;  // base, or a pet's base with its owner's first letter
    // A pet whose owner, or its owner's owner, has not shown up: its shown
    // name may still change, so its records are listed.
    bool unsettled = false;
    std::vector<uint32_t> records;
    std::vector<LifeName> life;
  };
  using PartyMap = std::unordered_map<std::string_view, Party, FoldedHash, FoldedEqual>;

  // What meeting the last record did, to take it back.
  struct Provisional {
    bool applied = false;
    bool put_back = false;
    size_t index = 0;
    std::string_view dealer;  // as written
    std::string_view taker;
    std::string_view created[2];  // keys of the parties it started
    Party* listed_in[2] = {};     // unsettled parties whose lists it joined
    bool written_entry = false;
    bool life_named = false;  // a heal or death shows a party it started
  };

  void Meet(DamageTable& table, size_t index, bool provisional, std::vector<Renamed>& renamed);
  // False when taking it back would change a listed mob.
  bool TakeBack(DamageTable& table, std::vector<Renamed>& renamed);
  Party& Start(DamageTable& table, std::string_view name, bool provisional,
               std::vector<Renamed>& renamed);
  // Works out `key`'s shown name and settledness again after its owner
  // changed, renaming it (and its pets after it) where that changes.
  void Settle(DamageTable& table, std::string_view key, bool provisional,
              std::vector<Renamed>& renamed);
  void Rename(DamageTable& table, Party& party, std::string_view to, std::vector<Renamed>& renamed);
  // The pets of `owner` looked at again.
  void SettlePetsOf(DamageTable& table, std::string_view owner, bool provisional,
                    std::vector<Renamed>& renamed);
  std::string_view ShownOf(std::string_view name) const;
  // The heals and deaths added since the last update.
  void MeetLife(DamageTable& table);
  void NameLife(DamageTable& table, LifeName at, std::string_view name);
  // Shows `at` as `party` shows its name.
  void ShowLife(DamageTable& table, LifeName at, Party& party);
  static std::string_view LifeField(const DamageTable& table, LifeName at);
  static void SetLifeField(DamageTable& table, LifeName at, std::string_view name);
  void ReadMobs(std::span<const std::string_view> written_mobs);

  std::string character_name_;
  const DamageTable* table_ = nullptr;  // the table joined; another one starts over
  std::string_view typed_;              // the character's name as that table holds it
  PartyMap parties_;
  // Unsettled pets by their owner's name.
  std::unordered_map<std::string_view, std::vector<std::string_view>, FoldedHash, FoldedEqual>
      pets_of_;
  // The names as written of every record whose parties were shown otherwise,
  // or that names an unsettled pet, in table order; each holds what its line
  // wrote (a later rename may make it equal to what the table shows).
  std::vector<WrittenNames> written_;
  // The same for heals and deaths, one name each.
  std::vector<LifeWritten> life_written_;
  // Names in heals and deaths that no record has shown yet.
  std::unordered_map<std::string_view, std::vector<LifeName>, FoldedHash, FoldedEqual> unmet_;
  size_t heals_met_ = 0;
  size_t deaths_met_ = 0;
  size_t met_ = 0;  // records met for good
  Provisional last_;
  std::vector<std::string_view> mobs_{std::string_view{}};
  std::unordered_map<std::string_view, size_t> mob_at_;  // shown name: place in mobs_
  size_t mobs_read_ = 0;                                 // entries of the parser's list read
  std::string_view first_read_;                          // its first entry as read
  std::string respelled_;
};

}  // namespace ombrel
