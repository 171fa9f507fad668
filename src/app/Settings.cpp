#include "app/Settings.h"

#include <cstdint>
#include <cstdio>

namespace ombrel {

std::vector<std::string> GapItems() {
  std::vector<std::string> items;
  for (int s = 18; s <= 900; s += 6) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    items.emplace_back(buf);
  }
  return items;
}

int32_t EventGapFromItem(int item_index) {
  const int64_t gap = (static_cast<int64_t>(item_index) + 3) * 6;
  return gap >= 18 && gap <= INT32_MAX ? static_cast<int32_t>(gap) : 18;
}

bool IsValidCharacterName(std::string_view name) {
  return !name.empty() && name != kInitialNameText;
}

}  // namespace ombrel
