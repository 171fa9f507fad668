#include "shared/DamageTable.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>

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

}  // namespace

std::unique_ptr<char[]> DamageTable::AllocateBuffer(size_t bytes) {
  std::unique_ptr<char[]> buffer(new char[bytes]);
  AdviseHugePages(buffer.get(), bytes);
  return buffer;
}

void DamageTable::Reserve(size_t records) {
  records_.reserve(records);
  AdviseHugePages(records_.data(), records_.capacity() * sizeof(Packed));
}

DamageTable::DamageTable(std::unique_ptr<char[]> buffer, size_t size)
    : buffer_(std::move(buffer)), size_(size) {}

DamageTable DamageTable::FromRecords(std::span<const DamageRecord> records) {
  size_t total = 0;
  for (const DamageRecord& r : records) total += r.Dealer.size() + r.Taker.size() + r.Name.size();
  auto buffer = std::make_unique<char[]>(total + 1);
  size_t used = 0;
  auto copy = [&](std::string_view text) {
    if (!text.empty()) std::memcpy(buffer.get() + used, text.data(), text.size());
    std::string_view placed(buffer.get() + used, text.size());
    used += text.size();
    return placed;
  };
  std::vector<DamageRecord> placed_records;
  placed_records.reserve(records.size());
  for (const DamageRecord& r : records) {
    DamageRecord p = r;
    p.Dealer = copy(r.Dealer);
    p.Taker = copy(r.Taker);
    p.Name = copy(r.Name);
    placed_records.push_back(p);
  }
  DamageTable table(std::move(buffer), total);
  table.Reserve(placed_records.size());
  for (const DamageRecord& r : placed_records) {
    if (!table.Append(r))
      throw std::invalid_argument("a record's type, counter or text does not fit a damage table");
  }
  return table;
}

DamageRecord DamageTable::operator[](size_t index) const {
  const Packed& p = records_[index];
  DamageRecord r;
  r.Date = DateTime{p.date_and_type >> 8};
  r.Type = static_cast<int32_t>(static_cast<int8_t>(p.date_and_type & 0xff));
  r.Dealer = UnpackText(p.dealer);
  r.Taker = UnpackText(p.taker);
  r.Name = UnpackText(p.name);
  r.Damage = p.damage;
  r.Counter = p.counter;
  return r;
}

bool DamageTable::PackText(std::string_view text, uint64_t& out) const {
  if (text.empty()) {
    out = 0;
    return true;
  }
  const char* begin = buffer_.get();
  if (begin == nullptr || text.data() < begin || text.data() + text.size() > begin + size_ ||
      text.size() > kMaxTextLength)
    return false;
  const uint64_t offset = static_cast<uint64_t>(text.data() - begin);
  if (offset >= (uint64_t{1} << 40)) return false;
  out = offset << 24 | text.size();
  return true;
}

bool DamageTable::Pack(const DamageRecord& r, Packed& out) const {
  if (r.Type < -128 || r.Type > 127 || r.Counter < 0 || r.Counter > UINT32_MAX) return false;
  out.date_and_type = static_cast<int64_t>(static_cast<uint64_t>(r.Date.seconds) << 8) |
                      static_cast<uint8_t>(static_cast<int8_t>(r.Type));
  out.damage = r.Damage;
  out.counter = static_cast<uint32_t>(r.Counter);
  return PackText(r.Dealer, out.dealer) && PackText(r.Taker, out.taker) &&
         PackText(r.Name, out.name);
}

bool DamageTable::Append(const DamageRecord& record) {
  Packed p;
  if (!Pack(record, p)) return false;
  records_.push_back(p);
  return true;
}

bool DamageTable::ReplaceLast(const DamageRecord& record) {
  return !records_.empty() && Replace(records_.size() - 1, record);
}

bool DamageTable::Replace(size_t index, const DamageRecord& record) {
  Packed p;
  if (index >= records_.size() || !Pack(record, p)) return false;
  records_[index] = p;
  return true;
}

}  // namespace ombrel
