#pragma once

#include <string_view>
#include <unordered_set>
#include <vector>

namespace ombrel {

// Adds `name` to the mob list unless it is already there (exact comparison).
// An empty list is one empty entry: the first name replaces that entry, later
// names are appended in order of first appearance.
void AddMob(std::vector<std::string_view>& mob_list, std::string_view name);

// The parse's mob registration. It keeps the list exactly as calling AddMob
// for every registered name would, but a name equal to the one registered last
// costs nothing, and other names are looked up in a hash set instead of being
// compared with the whole list (a long log meets thousands of mobs).
class MobRegistry {
 public:
  explicit MobRegistry(std::vector<std::string_view>& mob_list);

  void Register(std::string_view name);

 private:
  std::vector<std::string_view>& list_;
  std::unordered_set<std::string_view> known_;
  std::string_view last_name_;
};

}  // namespace ombrel
