#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "shared/DamageRecord.h"

namespace ombrel {

// The damage records of one parsed log, in log order. Each record is packed
// small, its texts (names, verbs, spell names) as ids into one table of
// distinct texts that the table owns, so the log's own bytes need not stay in
// memory once its lines are classified. Views handed out (by operator[] and
// Intern) stay valid as long as the table lives, moves included.
class DamageTable {
 public:
  DamageTable();
  DamageTable(DamageTable&&) noexcept;
  DamageTable& operator=(DamageTable&&) noexcept;
  ~DamageTable();

  // Builds a table from records whose texts live anywhere. For tests and
  // small tables. Throws std::invalid_argument for a record that does not
  // pack (a type or counter out of range, a text too long).
  static DamageTable FromRecords(std::span<const DamageRecord> records);

  size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  DamageRecord operator[](size_t index) const;

  // The table's own copy of `text`: equal texts give the same view.
  std::string_view Intern(std::string_view text);

  // Appends a record; its texts are copied into the table unless it holds
  // them already. Returns false (and appends nothing) when a text is too long
  // or the type or line number does not fit.
  // `stored`, when given, receives the record as the table now holds it (its
  // texts the table's own), without reading it back.
  bool Append(const DamageRecord& record, DamageRecord* stored = nullptr);
  // Appends every record of `other`, in order, with `line_offset` added to
  // its line number (Counter), its texts copied into this table. Returns false
  // (and appends nothing) when a line number does not fit.
  bool AppendTable(const DamageTable& other, uint64_t line_offset);
  // Replaces the last record (the cast merge amends it in place).
  bool ReplaceLast(const DamageRecord& record, DamageRecord* stored = nullptr);
  // Replaces record `index`; false (and no change) as for Append, or when
  // there is no such record.
  bool Replace(size_t index, const DamageRecord& record);
  void Reserve(size_t records);
  // Removes every record and text; the room reserved for records stays.
  void Clear();
  void ShrinkToFit() { records_.shrink_to_fit(); }

  // The heals and deaths of the log (extended rules), in log order, their
  // texts held with the records' texts. Append and Replace refuse, as
  // Append does, what does not fit.
  size_t HealCount() const { return heals_.size(); }
  HealRecord Heal(size_t index) const;
  bool AppendHeal(const HealRecord& heal);
  bool ReplaceHeal(size_t index, const HealRecord& heal);
  size_t DeathCount() const { return deaths_.size(); }
  DeathRecord Death(size_t index) const;
  bool AppendDeath(const DeathRecord& death);
  bool ReplaceDeath(size_t index, const DeathRecord& death);

  // True when `text` views one of the table's own texts (as Intern returns them).
  bool Holds(std::string_view text) const;

  // Distinct texts held, the empty text included.
  size_t DistinctTexts() const;

  // Texts by id, below DistinctTexts(), the empty text 0: equal texts have
  // equal ids, so names compare as numbers.
  uint32_t DealerId(size_t index) const { return records_[index].dealer; }
  uint32_t TakerId(size_t index) const { return records_[index].taker; }
  // The parts of record `index` that are no texts, read without its texts.
  int32_t TypeAt(size_t index) const {
    return static_cast<int32_t>(static_cast<int8_t>(records_[index].date_and_type_low & 0xff));
  }
  DateTime DateAt(size_t index) const {
    return DateTime{records_[index].DateAndType() >> kDateShift};
  }
  int32_t DamageAt(size_t index) const { return records_[index].damage; }
  int64_t CounterAt(size_t index) const { return records_[index].counter; }
  // The id of `text`, or kNoText when the table does not hold it.
  uint32_t FindId(std::string_view text) const;
  static constexpr uint32_t kNoText = UINT32_MAX;

  // Longest text a record can hold.
  static constexpr size_t kMaxTextLength = (size_t{1} << 24) - 1;

 private:
  // A packed record's date above its crit bit and type byte.
  static constexpr int kDateShift = 9;

  struct Packed {
    // seconds << 9 | crit << 8 | type, in two halves so that the record
    // packs into 28 bytes (a log holds millions of records)
    uint32_t date_and_type_low;
    uint32_t date_and_type_high;
    uint32_t dealer;  // ids into the text table
    uint32_t taker;
    uint32_t name;
    int32_t damage;
    uint32_t counter;

    int64_t DateAndType() const {
      return static_cast<int64_t>(uint64_t{date_and_type_high} << 32 | date_and_type_low);
    }
    void SetDateAndType(int64_t value) {
      date_and_type_low = static_cast<uint32_t>(static_cast<uint64_t>(value));
      date_and_type_high = static_cast<uint32_t>(static_cast<uint64_t>(value) >> 32);
    }
  };
  static_assert(sizeof(Packed) == 28, "a damage record packs into 28 bytes");
  struct PackedHeal {
    int64_t date;
    uint32_t healer;
    uint32_t target;
    uint32_t spell;
    int32_t amount;
    int32_t full_amount;
    uint32_t counter;
    bool crit;
  };
  struct PackedDeath {
    int64_t date;
    uint32_t victim;
    uint32_t killer;
    uint32_t counter;
  };

  class TextTable;

  bool Pack(const DamageRecord& record, Packed& out);
  // `record` with the texts of `packed`, the table's own.
  void Store(const DamageRecord& record, const Packed& packed, DamageRecord* stored) const;

  std::unique_ptr<TextTable> texts_;
  std::vector<Packed> records_;
  std::vector<PackedHeal> heals_;
  std::vector<PackedDeath> deaths_;
};

}  // namespace ombrel
