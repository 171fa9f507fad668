#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "shared/DamageTable.h"

namespace ombrel {

// The dealer and taker of one record as its line wrote them, kept where the
// record shows its parties under other spellings.
struct WrittenNames {
  size_t index = 0;  // of the record in the damage table
  std::string_view Dealer;
  std::string_view Taker;
};

// The game capitalises a name that starts a sentence ("You slash a gnoll",
// "A gnoll bites YOU"). Under the extended rules two names that differ only in
// the case of their first letter are one party, shown with the spelling under
// which it was first seen (in table order, a record's dealer before its
// taker); the character's name always keeps the spelling typed, and the
// typed name and its other spelling are one party whichever the log holds. So
// that every
// later stage can keep comparing names exactly, this rewrites the records'
// dealers and takers to those spellings, folds mob-list entries that became
// equal into the first, and returns the names as written for every record it
// changed (in table order), for Data.csv.
//
// A pet or warder ("a gnoll`s pet") takes its owner's shown first letter,
// whether or not the log ever spells it so, so that it still joins its
// owner's row.
std::vector<WrittenNames> JoinSentenceCapitals(DamageTable& table,
                                               std::vector<std::string_view>& mob_list,
                                               std::string_view character_name);

// The owner of "Owner`s pet" or "Owner`s warder"; empty for any other name.
std::string_view OwnerOf(std::string_view name);

// True when two names differ at most in the case of their first letter.
bool SameParty(std::string_view a, std::string_view b);

// Hashing and comparing names with their first letters folded: "A gnoll" and
// "a gnoll" are one key.
struct FoldedHash {
  size_t operator()(std::string_view name) const;
};
struct FoldedEqual {
  bool operator()(std::string_view a, std::string_view b) const { return SameParty(a, b); }
};

// The first byte of a Windows-1252 text in lower case (letters with and
// without accents); any other byte unchanged.
unsigned char FoldFirstLetter(unsigned char byte);

}  // namespace ombrel
