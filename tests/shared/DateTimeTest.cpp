#include "shared/DateTime.h"

#include <gtest/gtest.h>

#include <tuple>

namespace ombrel {
namespace {

TEST(DateTimeTest, MatchesTheDayCountOfTheClassicDateValue) {
  // 2 January 2006 is day 38719 after 1899-12-30.
  const DateTime t = *DateTime::FromCivil({2006, 1, 2, 15, 4, 5});
  EXPECT_EQ(t.seconds, 38719LL * 86400 + 54245);
  EXPECT_DOUBLE_EQ(t.Days(), 38719 + 54245.0 / 86400);
  EXPECT_EQ(DateTime::FromDays(t.Days()), t);
  EXPECT_EQ(DateTime{}.Days(), 0.0);

  const DateTime before_new_year = *DateTime::FromCivil({2006, 12, 31, 23, 59, 59});
  const DateTime new_year = *DateTime::FromCivil({2007, 1, 1, 0, 0, 0});
  EXPECT_EQ(SecondsBetween(before_new_year, new_year), 1);
  EXPECT_EQ(new_year.seconds % 86400, 0);
}

TEST(DateTimeTest, CivilRoundTripAndValidation) {
  for (int year : {1899, 1900, 1995, 2000, 2004, 2100, 9999}) {
    for (int month = 1; month <= 12; ++month) {
      const CivilTime c{year, month, DaysInMonth(year, month), 23, 59, 58};
      const auto t = DateTime::FromCivil(c);
      ASSERT_TRUE(t) << year << "-" << month;
      const CivilTime back = t->ToCivil();
      EXPECT_EQ(std::tuple(back.year, back.month, back.day, back.second),
                std::tuple(c.year, c.month, c.day, 58));
    }
  }
  EXPECT_TRUE(DateTime::FromCivil({2004, 2, 29, 0, 0, 0}));
  for (const CivilTime& bad : {CivilTime{2006, 2, 29, 0, 0, 0},
                               {1900, 2, 29, 0, 0, 0},
                               {2006, 2, 30, 0, 0, 0},
                               {2006, 13, 1, 0, 0, 0},
                               {2006, 1, 1, 24, 0, 0}})
    EXPECT_FALSE(DateTime::FromCivil(bad)) << bad.year << "-" << bad.month << "-" << bad.day;
  EXPECT_EQ(DateTime{-1}.ToCivil().day, 29);  // a second before the zero date
}

}  // namespace
}  // namespace ombrel
