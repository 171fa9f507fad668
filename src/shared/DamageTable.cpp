#include "shared/DamageTable.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace ombrel {
namespace {

// Asks for huge pages on the 2 MB pages that lie wholly inside the range.
void AdviseHugePages(const void* begin, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
  const uintptr_t address = reinterpret_cast<uintptr_t>(begin);
  const uintptr_t start = (address + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (address + bytes) & ~(kHugePage - 1);
  if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#else
  (void)begin;
  (void)bytes;
#endif
}

// Names are short: eight bytes at a time, the last eight (or the last four,
// or the bytes one by one) overlapping the ones before.
uint64_t HashText(std::string_view text) {
  constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
  const char* p = text.data();
  const size_t n = text.size();
  uint64_t hash = n * kMultiplier;
  auto mix = [&hash](uint64_t word) {
    hash = (hash ^ word) * kMultiplier;
    hash ^= hash >> 29;
  };
  if (n >= 8) {
    uint64_t word = 0;
    for (size_t at = 0; at + 8 < n; at += 8) {
      std::memcpy(&word, p + at, 8);
      mix(word);
    }
    std::memcpy(&word, p + n - 8, 8);
    mix(word);
  } else if (n >= 4) {
    uint32_t low = 0;
    uint32_t high = 0;
    std::memcpy(&low, p, 4);
    std::memcpy(&high, p + n - 4, 4);
    mix(uint64_t{high} << 32 | low);
  } else {
    uint64_t word = 0;
    for (size_t at = 0; at < n; ++at) word = word << 8 | static_cast<unsigned char>(p[at]);
    mix(word);
  }
  hash *= kMultiplier;
  return hash ^ (hash >> 32);
}

}  // namespace

// Distinct texts, each stored once in blocks that never move, found through
// an open-addressing hash of their ids. Id 0 is the empty text.
class DamageTable::TextTable {
 public:
  TextTable() : slots_(kFirstSlots, kNoId) { texts_.push_back({}); }

  uint32_t Id(std::string_view text) {
    if (text.empty()) return 0;
    size_t slot = static_cast<size_t>(HashText(text)) & (slots_.size() - 1);
    for (;; slot = (slot + 1) & (slots_.size() - 1)) {
      const uint32_t id = slots_[slot];
      if (id == kNoId) break;
      if (texts_[id] == text) return id;
    }
    const auto id = static_cast<uint32_t>(texts_.size());
    texts_.push_back(Store(text));
    slots_[slot] = id;
    if (2 * texts_.size() > slots_.size()) Grow();
    return id;
  }

  std::string_view Text(uint32_t id) const { return texts_[id]; }

  // True when `text` is one of the stored texts itself (not merely equal).
  bool Holds(std::string_view text) const {
    const uint32_t id = Find(text);
    return id != kNoId && (text.empty() || texts_[id].data() == text.data());
  }

  // The id of a text equal to `text`, or kNoId.
  uint32_t Find(std::string_view text) const {
    if (text.empty()) return 0;
    size_t slot = static_cast<size_t>(HashText(text)) & (slots_.size() - 1);
    for (;; slot = (slot + 1) & (slots_.size() - 1)) {
      const uint32_t id = slots_[slot];
      if (id == kNoId || texts_[id] == text) return id;
    }
  }
  size_t size() const { return texts_.size(); }

 private:
  static constexpr uint32_t kNoId = UINT32_MAX;
  static constexpr size_t kFirstSlots = 1024;
  static constexpr size_t kBlockSize = size_t{64} << 10;

  std::string_view Store(std::string_view text) {
    if (text.size() > block_room_) {
      // A text larger than a block gets a block of its own.
      const size_t size = std::max(kBlockSize, text.size());
      blocks_.push_back(std::make_unique<char[]>(size));
      block_end_ = blocks_.back().get();
      block_room_ = size;
    }
    std::memcpy(block_end_, text.data(), text.size());
    const std::string_view stored(block_end_, text.size());
    block_end_ += text.size();
    block_room_ -= text.size();
    return stored;
  }

  void Grow() {
    std::vector<uint32_t> slots(2 * slots_.size(), kNoId);
    for (uint32_t id = 1; id < texts_.size(); ++id) {
      size_t slot = static_cast<size_t>(HashText(texts_[id])) & (slots.size() - 1);
      while (slots[slot] != kNoId) slot = (slot + 1) & (slots.size() - 1);
      slots[slot] = id;
    }
    slots_ = std::move(slots);
  }

  std::vector<std::unique_ptr<char[]>> blocks_;
  char* block_end_ = nullptr;
  size_t block_room_ = 0;
  std::vector<std::string_view> texts_;
  std::vector<uint32_t> slots_;
};

DamageTable::DamageTable() : texts_(std::make_unique<TextTable>()) {}
DamageTable::DamageTable(DamageTable&&) noexcept = default;
DamageTable& DamageTable::operator=(DamageTable&&) noexcept = default;
DamageTable::~DamageTable() = default;

void DamageTable::Reserve(size_t records) {
  records_.reserve(records);
  AdviseHugePages(records_.data(), records_.capacity() * sizeof(Packed));
}

void DamageTable::Clear() {
  records_.clear();
  heals_.clear();
  deaths_.clear();
  texts_ = std::make_unique<TextTable>();
}

DamageTable DamageTable::FromRecords(std::span<const DamageRecord> records) {
  DamageTable table;
  table.Reserve(records.size());
  for (const DamageRecord& r : records) {
    if (!table.Append(r))
      throw std::invalid_argument("a record's type, counter or text does not fit a damage table");
  }
  return table;
}

std::string_view DamageTable::Intern(std::string_view text) {
  if (text.size() > kMaxTextLength) return {};
  return texts_->Text(texts_->Id(text));
}

bool DamageTable::Holds(std::string_view text) const {
  return texts_->Holds(text);
}

uint32_t DamageTable::FindId(std::string_view text) const {
  static_assert(kNoText == UINT32_MAX);
  return texts_->Find(text);
}

size_t DamageTable::DistinctTexts() const {
  return texts_->size();
}

DamageRecord DamageTable::operator[](size_t index) const {
  const Packed& p = records_[index];
  DamageRecord r;
  const int64_t date_and_type = p.DateAndType();
  r.Date = DateTime{date_and_type >> kDateShift};
  r.Type = static_cast<int32_t>(static_cast<int8_t>(date_and_type & 0xff));
  r.Crit = static_cast<int32_t>((date_and_type >> 8) & 1);
  r.Dealer = texts_->Text(p.dealer);
  r.Taker = texts_->Text(p.taker);
  r.Name = texts_->Text(p.name);
  r.Damage = p.damage;
  r.Counter = p.counter;
  return r;
}

bool DamageTable::Pack(const DamageRecord& r, Packed& out) {
  if (r.Type < -128 || r.Type > 127 || r.Counter < 0 || r.Counter > UINT32_MAX) return false;
  if (r.Dealer.size() > kMaxTextLength || r.Taker.size() > kMaxTextLength ||
      r.Name.size() > kMaxTextLength)
    return false;
  out.SetDateAndType(static_cast<int64_t>(static_cast<uint64_t>(r.Date.seconds) << kDateShift) |
                     (r.Crit != 0 ? int64_t{1} << 8 : 0) |
                     static_cast<uint8_t>(static_cast<int8_t>(r.Type)));
  out.damage = r.Damage;
  out.counter = static_cast<uint32_t>(r.Counter);
  out.dealer = texts_->Id(r.Dealer);
  out.taker = texts_->Id(r.Taker);
  out.name = texts_->Id(r.Name);
  return true;
}

bool DamageTable::Append(const DamageRecord& record, DamageRecord* stored) {
  Packed p;
  if (!Pack(record, p)) return false;
  records_.push_back(p);
  Store(record, p, stored);
  return true;
}

void DamageTable::Store(const DamageRecord& record, const Packed& packed,
                        DamageRecord* stored) const {
  if (stored == nullptr) return;
  // As operator[] would read it back.
  *stored = record;
  stored->Crit = record.Crit != 0 ? 1 : 0;
  stored->Dealer = texts_->Text(packed.dealer);
  stored->Taker = texts_->Text(packed.taker);
  stored->Name = texts_->Text(packed.name);
}

bool DamageTable::AppendTable(const DamageTable& other, uint64_t line_offset) {
  std::vector<uint32_t> ids(other.texts_->size());
  for (uint32_t id = 0; id < ids.size(); ++id) ids[id] = texts_->Id(other.texts_->Text(id));
  const size_t first = records_.size();
  if (records_.capacity() < first + other.records_.size())
    records_.reserve(std::max(first + other.records_.size(), 2 * records_.capacity()));
  for (const Packed& p : other.records_) {
    const uint64_t counter = p.counter + line_offset;
    if (counter > UINT32_MAX) {
      records_.resize(first);
      return false;
    }
    records_.push_back({p.date_and_type_low, p.date_and_type_high, ids[p.dealer], ids[p.taker],
                        ids[p.name], p.damage, static_cast<uint32_t>(counter)});
  }
  // The heals and deaths end before the last record's line or near it: a
  // line number that fits a record fits them, but is checked all the same.
  const size_t first_heal = heals_.size();
  const size_t first_death = deaths_.size();
  auto undo = [&] {
    records_.resize(first);
    heals_.resize(first_heal);
    deaths_.resize(first_death);
    return false;
  };
  for (PackedHeal h : other.heals_) {
    if (h.counter + line_offset > UINT32_MAX) return undo();
    h.counter = static_cast<uint32_t>(h.counter + line_offset);
    h.healer = ids[h.healer];
    h.target = ids[h.target];
    h.spell = ids[h.spell];
    heals_.push_back(h);
  }
  for (PackedDeath d : other.deaths_) {
    if (d.counter + line_offset > UINT32_MAX) return undo();
    d.counter = static_cast<uint32_t>(d.counter + line_offset);
    d.victim = ids[d.victim];
    d.killer = ids[d.killer];
    deaths_.push_back(d);
  }
  return true;
}

HealRecord DamageTable::Heal(size_t index) const {
  const PackedHeal& p = heals_[index];
  return {DateTime{p.date}, texts_->Text(p.healer), texts_->Text(p.target), p.amount,
          p.full_amount,    texts_->Text(p.spell),  p.crit ? 1 : 0,         p.counter};
}

bool DamageTable::ReplaceHeal(size_t index, const HealRecord& h) {
  if (index > heals_.size() || h.Counter < 0 || h.Counter > UINT32_MAX ||
      h.Healer.size() > kMaxTextLength || h.Target.size() > kMaxTextLength ||
      h.Spell.size() > kMaxTextLength)
    return false;
  const PackedHeal packed{h.Date.seconds,
                          texts_->Id(h.Healer),
                          texts_->Id(h.Target),
                          texts_->Id(h.Spell),
                          h.Amount,
                          h.FullAmount,
                          static_cast<uint32_t>(h.Counter),
                          h.Crit != 0};
  if (index == heals_.size())
    heals_.push_back(packed);
  else
    heals_[index] = packed;
  return true;
}

bool DamageTable::AppendHeal(const HealRecord& heal) {
  return ReplaceHeal(heals_.size(), heal);
}

DeathRecord DamageTable::Death(size_t index) const {
  const PackedDeath& p = deaths_[index];
  return {DateTime{p.date}, texts_->Text(p.victim), texts_->Text(p.killer), p.counter};
}

bool DamageTable::ReplaceDeath(size_t index, const DeathRecord& d) {
  if (index > deaths_.size() || d.Counter < 0 || d.Counter > UINT32_MAX ||
      d.Victim.size() > kMaxTextLength || d.Killer.size() > kMaxTextLength)
    return false;
  const PackedDeath packed{d.Date.seconds, texts_->Id(d.Victim), texts_->Id(d.Killer),
                           static_cast<uint32_t>(d.Counter)};
  if (index == deaths_.size())
    deaths_.push_back(packed);
  else
    deaths_[index] = packed;
  return true;
}

bool DamageTable::AppendDeath(const DeathRecord& death) {
  return ReplaceDeath(deaths_.size(), death);
}

bool DamageTable::ReplaceLast(const DamageRecord& record, DamageRecord* stored) {
  if (records_.empty() || !Replace(records_.size() - 1, record)) return false;
  Store(record, records_.back(), stored);
  return true;
}

bool DamageTable::Replace(size_t index, const DamageRecord& record) {
  Packed p;
  if (index >= records_.size() || !Pack(record, p)) return false;
  records_[index] = p;
  return true;
}

}  // namespace ombrel
