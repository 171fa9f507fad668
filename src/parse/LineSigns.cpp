#include "parse/LineSigns.h"

#include <string>
#include <vector>

namespace ombrel {

int64_t CountCasePairs(const DamageTable& table) {
  // Each party once, by the id of its text.
  std::vector<bool> seen(table.DistinctTexts() + 1);
  std::vector<std::string_view> parties;
  auto note = [&](uint32_t id, std::string_view name) {
    if (id >= seen.size() || seen[id]) return;
    seen[id] = true;
    parties.push_back(name);
  };
  for (size_t i = 0; i < table.size(); ++i) {
    const uint32_t dealer = table.DealerId(i);
    const uint32_t taker = table.TakerId(i);
    if ((dealer < seen.size() && !seen[dealer]) || (taker < seen.size() && !seen[taker])) {
      const DamageRecord record = table[i];
      note(dealer, record.Dealer);
      note(taker, record.Taker);
    }
  }
  int64_t pairs = 0;
  std::string other;
  for (const std::string_view name : parties) {
    // Counted from the lower-case spelling, so each pair once.
    if (name.empty() || name[0] < 'a' || name[0] > 'z') continue;
    other.assign(name);
    other[0] = static_cast<char>(other[0] - 'a' + 'A');
    const uint32_t id = table.FindId(other);
    if (id < seen.size() && seen[id]) ++pairs;
  }
  return pairs;
}

}  // namespace ombrel
