#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>

#include "shared/AttackVerbs.h"

namespace ombrel {
namespace {

// The third-person form English makes of a base form: only the first word
// changes; a final "y" becomes "ies", a final "s", "sh", "ch", "x" or "z"
// takes "es", any other ending takes "s".
std::string ThirdPersonOf(std::string_view base) {
  const size_t blank = base.find(' ');
  std::string word(base.substr(0, blank));
  const std::string rest(blank == std::string_view::npos ? "" : base.substr(blank));
  const std::string_view w = word;
  if (w.ends_with('y')) {
    word.back() = 'i';
    word += "es";
  } else if (w.ends_with('s') || w.ends_with("sh") || w.ends_with("ch") || w.ends_with('x') ||
             w.ends_with('z')) {
    word += "es";
  } else {
    word += 's';
  }
  return word + rest;
}

TEST(AttackVerbs, PairsAreAThirdPersonFormThenItsBaseFormAndFoldIntoOneSource) {
  for (const AttackVerbList table :
       {AttackVerbList(kAttackVerbs), AttackVerbList(kExtendedAttackVerbs)}) {
    std::set<std::string_view> names;
    for (size_t k = 0; k + 1 < table.size(); k += 2) {
      const std::string_view third = table[k];
      const std::string_view base = table[k + 1];
      EXPECT_EQ(ThirdPersonOf(base), third) << "entries " << k << " and " << k + 1;
      // Both forms count in the source row named by the third-person form.
      EXPECT_EQ(ThirdPersonForm(table, base), third);
      EXPECT_EQ(ThirdPersonForm(table, third), third);
      EXPECT_TRUE(names.insert(third).second) << third;
      EXPECT_TRUE(names.insert(base).second) << base;
    }
    EXPECT_EQ(ThirdPersonForm(table, "Fire Shard"), "Fire Shard");
  }
  EXPECT_EQ(ThirdPersonForm(kAttackVerbs, "shoot"), "shoot");  // not an attack verb by default
  EXPECT_EQ(ThirdPersonForm(kExtendedAttackVerbs, "shoot"), "shoots");
  // The extended table adds to the default one: every verb found before is found first.
  EXPECT_TRUE(std::equal(kAttackVerbs.begin(), kAttackVerbs.end(), kExtendedAttackVerbs.begin()));
}

}  // namespace
}  // namespace ombrel
