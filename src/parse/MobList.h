#pragma once

#include <string_view>
#include <unordered_set>
#include <vector>

namespace ombrel {

// Adds `name` to the mob list unless it is already there (exact comparison).
// An empty list is one empty entry: the first name replaces that entry, later
// names are appended in order of first appearance.
void AddMob(std::vector<std::string_view>& mob_list, std::string_view name);

// Where the classifier registers the names the character damages.
class MobSink {
 public:
  virtual void Register(std::string_view name) = 0;

 protected:
  ~MobSink() = default;
};

// The parse's mob registration. It keeps the list exactly as calling AddMob
// for every registered name would, but a name equal to the one registered last
// costs nothing, and other names are looked up in a hash set instead of being
// compared with the whole list (a long log meets thousands of mobs).
class MobRegistry final : public MobSink {
 public:
  explicit MobRegistry(std::vector<std::string_view>& mob_list);

  void Register(std::string_view name) override;

 private:
  std::vector<std::string_view>& list_;
  std::unordered_set<std::string_view> known_;
  std::string_view last_name_;
};

// The registrations of a stretch of the log classified apart from the lines
// before it: as few names, in order, as leave a MobRegistry, whatever it held
// before, as registering every name of the stretch would. That is each name
// once, at its first registration, except the empty name: its effect depends
// on whether the list still has its empty first entry, which a first
// non-empty name ends.
class ChunkMobs final : public MobSink {
 public:
  void Register(std::string_view name) override;

  // The names to register, in order.
  const std::vector<std::string_view>& names() const { return names_; }

 private:
  std::vector<std::string_view> names_;
  std::unordered_set<std::string_view> known_;
  std::string_view last_name_;
  bool named_ = false;         // a non-empty name was registered
  bool empty_before_ = false;  // the empty name, before any other
  bool empty_after_ = false;   // the empty name, after another
};

}  // namespace ombrel
