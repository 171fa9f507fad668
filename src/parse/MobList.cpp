#include "parse/MobList.h"

#include <algorithm>

namespace ombrel {

void AddMob(std::vector<std::string_view>& mob_list, std::string_view name) {
  if (std::find(mob_list.begin(), mob_list.end(), name) != mob_list.end()) return;
  if (!mob_list.empty() && mob_list.front().empty()) {
    mob_list.front() = name;
  } else {
    mob_list.push_back(name);
  }
}

MobRegistry::MobRegistry(std::vector<std::string_view>& mob_list) : list_(mob_list) {
  known_.insert(list_.begin(), list_.end());
}

void MobRegistry::Register(std::string_view name) {
  if (name == last_name_) return;
  last_name_ = name;
  if (known_.contains(name)) return;
  // What AddMob would do, with the set kept in step: a name that takes the
  // place of the empty first entry removes the empty name from the list.
  if (!list_.empty() && list_.front().empty()) {
    known_.erase(std::string_view{});
    list_.front() = name;
  } else {
    list_.push_back(name);
  }
  known_.insert(name);
}

void ChunkMobs::Register(std::string_view name) {
  if (name.empty()) {
    bool& met = named_ ? empty_after_ : empty_before_;
    if (!met) names_.push_back(name);
    met = true;
    return;
  }
  if (named_ && name == last_name_) return;
  named_ = true;
  last_name_ = name;
  if (known_.insert(name).second) names_.push_back(name);
}

}  // namespace ombrel
