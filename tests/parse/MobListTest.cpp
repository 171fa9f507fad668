#include <gtest/gtest.h>

#include "parse/MobList.h"

namespace ombrel::testing {
namespace {

using Names = std::vector<std::string_view>;

TEST(MobList, AddMobAndTheRegistryKeepFirstAppearanceOrderWithoutRepeats) {
  Names list{std::string_view{}};
  AddMob(list, "a gnoll");
  EXPECT_EQ(list, (Names{"a gnoll"}));  // the empty entry is replaced
  AddMob(list, "a bat");
  AddMob(list, "a gnoll");
  AddMob(list, "A gnoll");  // exact comparison: another name
  EXPECT_EQ(list, (Names{"a gnoll", "a bat", "A gnoll"}));
  Names empty_start{std::string_view{}};
  AddMob(empty_start, "");
  EXPECT_EQ(empty_start, (Names{""}));
  AddMob(list, "");  // no empty first entry any more: an empty name is appended
  EXPECT_EQ(list, (Names{"a gnoll", "a bat", "A gnoll", ""}));

  // The registry agrees with AddMob after every name.
  const Names names = {"", "a", "b", "a", "", "c", "", "b", "d", "a"};
  Names by_add{std::string_view{}};
  Names by_registry{std::string_view{}};
  MobRegistry registry(by_registry);
  for (const std::string_view name : names) {
    AddMob(by_add, name);
    registry.Register(name);
    EXPECT_EQ(by_registry, by_add);
  }
}

}  // namespace
}  // namespace ombrel::testing
