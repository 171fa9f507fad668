#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "parse/PartyNames.h"
#include "shared/DamageTable.h"
#include "shared/DateTime.h"

namespace ombrel {

// Damage over time by others, "<taker> has taken N damage from A by B.":
// older logs write the caster as A and the spell as B, newer ones the spell
// as A and the caster as B. Which side names the caster is decided line by
// line (extended rules only).
enum class TickOrder : uint8_t { kCasterFirst, kCasterLast };

// The two sides of such a line: A, and B as the default rules read it (the
// rest of the line, full stop and all), blanks trimmed.
struct TickSides {
  std::string_view first;
  std::string_view rest;
  DateTime date;

  // B without the final full stop.
  std::string_view Second() const;
  // A side, or the owner of B's corpse, is missing: the line gives no record.
  bool Missing() const;
};

// What a line in `order` gives: the caster deals, and the spell names the
// record as the default rules write an older-order line (with the line's final
// full stop). `you_name` stands for "you" in any case; `spelled` holds a name
// the line does not write as it is.
struct TickReading {
  std::string_view dealer;
  std::string_view name;
};
TickReading ReadTickSides(const TickSides& sides, TickOrder order, std::string_view you_name,
                          std::string& spelled);

// The log so far, as the order of a line is decided from.
class TickOrderLog {
 public:
  explicit TickOrderLog(std::string_view character_name) : character_(character_name) {}

  // A party of a record of another kind than damage over time; `name` must
  // live as long as this log (the damage table's own text).
  void Meet(std::string_view name) {
    if (!name.empty()) known_.insert(name);
  }

  // In this order: B ending in "'s corpse" is the caster; a side that is the
  // character, "you" or a party met before is the caster, the other the
  // spell; a side shaped like a spell (a rank, a Roman numeral as its last
  // word) is the spell; otherwise the order of the last line decided by the
  // above, and before any the newer order from 2018 on, the older before.
  TickOrder Decide(const TickSides& sides);

  const std::string& character_name() const { return character_; }

 private:
  bool Caster(std::string_view side) const;

  std::string character_;
  std::unordered_set<std::string_view, FoldedHash, FoldedEqual> known_;
  std::optional<TickOrder> last_;
};

// A stretch of the log classified apart from the lines before it keeps its
// lines of damage over time by others in the older order, and leaves their
// order to the in-order join, which knows the log before the stretch.
class StretchTicks {
 public:
  void Clear();

  // As TickOrderLog::Meet; `name` lives as long as the stretch's table.
  void Meet(std::string_view name);
  // The stretch's record `record` was read from a line with `sides` (views
  // into the stretch's text, which must outlive the join) in the older order;
  // kNoRecord when the table could not keep it.
  void Open(size_t record, const TickSides& sides);
  static constexpr size_t kNoRecord = SIZE_MAX;

  // False when a record of the stretch could not hold what the join might
  // write: the stretch must then be classified after the lines before it.
  bool Fits() const;

  // At the join: decides every open line with `log` in order, the stretch's
  // names met as they came, and rewrites those in the newer order; the
  // stretch's records start at `first_record` of `table`.
  void Settle(TickOrderLog& log, DamageTable& table, size_t first_record) const;

 private:
  struct OpenLine {
    size_t record;
    size_t names_before;  // of the stretch's names, those met before the line
    TickSides sides;
  };
  std::vector<std::string_view> names_;
  std::unordered_set<std::string_view, FoldedHash, FoldedEqual> met_;
  std::vector<OpenLine> open_;
};

}  // namespace ombrel
