#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shared/DamageRecord.h"

namespace ombrel {

// The damage records of one parsed log, in log order. It owns one text buffer
// (the log's bytes plus a small tail for texts that are not in the log, such
// as the character name) and keeps each record packed, its texts as offsets
// into that buffer, so that a large log costs little more than its own size.
// Moving the table keeps every view into its buffer valid.
class DamageTable {
 public:
  DamageTable() = default;
  // Takes ownership of `buffer` of `size` bytes; records appended later must
  // view texts inside it.
  DamageTable(std::unique_ptr<char[]> buffer, size_t size);

  // Builds a table from records whose texts live anywhere: they are copied
  // into a buffer of the table's own. For tests and small tables. Throws
  // std::invalid_argument for a record that does not pack (a type or counter
  // out of range, a text too long).
  static DamageTable FromRecords(std::span<const DamageRecord> records);

  // An uninitialised buffer for a table's texts. Large ones are set up for
  // huge pages where the system offers them, since a log's buffer and its
  // records are touched page by page as they fill.
  static std::unique_ptr<char[]> AllocateBuffer(size_t bytes);

  size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  DamageRecord operator[](size_t index) const;

  std::string_view Buffer() const { return {buffer_.get(), size_}; }

  // Appends a record whose texts all lie inside Buffer(). Returns false (and
  // appends nothing) when a text lies outside it or is too long to pack.
  bool Append(const DamageRecord& record);
  // Replaces the last record (the cast merge amends it in place).
  bool ReplaceLast(const DamageRecord& record);
  // Replaces record `index`; false (and no change) as for Append, or when
  // there is no such record.
  bool Replace(size_t index, const DamageRecord& record);
  void Reserve(size_t records);
  void ShrinkToFit() { records_.shrink_to_fit(); }

  // Longest text a record can hold.
  static constexpr size_t kMaxTextLength = (size_t{1} << 24) - 1;

 private:
  struct Packed {
    int64_t date_and_type;  // seconds << 8 | type
    uint64_t dealer;        // offset << 24 | length
    uint64_t taker;
    uint64_t name;
    int32_t damage;
    uint32_t counter;
  };
  static_assert(sizeof(Packed) == 40, "a damage record packs into 40 bytes");

  bool Pack(const DamageRecord& record, Packed& out) const;
  bool PackText(std::string_view text, uint64_t& out) const;
  std::string_view UnpackText(uint64_t ref) const {
    return {buffer_.get() + (ref >> 24), static_cast<size_t>(ref & kMaxTextLength)};
  }

  std::unique_ptr<char[]> buffer_;
  size_t size_ = 0;
  std::vector<Packed> records_;
};

}  // namespace ombrel
