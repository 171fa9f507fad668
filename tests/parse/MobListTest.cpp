#include <gtest/gtest.h>

#include "parse/LogText.h"
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

TEST(MobList, ParseNamesWhatTheCharacterDamaged) {
  const auto r = Parse(
      Log({Line("A gnoll hits YOU for 15 points of damage."),
           Line("Soandso hits a bat for 15 points of damage."),
           Line("You hit a gnoll for 20 points of damage."),
           Line("You hit a gnoll for 20 points of damage."),
           Line("YOU tries to hit a bat, but a bat dodges!"),
           Line("A bat has taken 3 damage from your Poison."),
           Line("You hit a gnoll for 20 points of damage."),
           Line("Tarlen slashes a rat for 2 points of damage."),
           Line("tarlen slashes a snake for 2 points of damage."), Line("You begin casting Bolt."),
           Line("You hit a wolf for 9 points of non-melee damage."),
           Line("You hit you for 1 point of damage.")}));
  // Exact name as dealer counts as the character; the lower-case form does not;
  // a merged cast still names its taker; "you" as taker is the character.
  EXPECT_EQ(r.MobList, (Names{"a gnoll", "A bat", "a rat", "a wolf", "Tarlen"}));
  EXPECT_EQ(Parse("").MobList, (Names{""}));
  EXPECT_EQ(Parse(Line("A gnoll hits YOU for 15 points of damage.")).MobList, (Names{""}));
}

}  // namespace
}  // namespace ombrel::testing
