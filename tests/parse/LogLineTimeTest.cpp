#include <gtest/gtest.h>

#include "parse/LogLineTime.h"
#include "parse/LogText.h"

namespace ombrel::testing {
namespace {

TEST(LogLineTime, ReadsEveryFieldOfTheStamp) {
  const auto t = LogLineTime("[Mon Jan 02 15:04:05 2006] You hit a gnoll");
  ASSERT_TRUE(t.has_value());
  EXPECT_EQ(*t, Civil(2006, 1, 2, 15, 4, 5));
  // The whole-day count of the date plus 54245 seconds.
  EXPECT_EQ(t->seconds % DateTime::kSecondsPerDay, 54245);
  EXPECT_EQ(LogLineTime("[Sun Dec 31 23:59:59 2006]"), Civil(2006, 12, 31, 23, 59, 59));
  EXPECT_EQ(LogLineTime("[Mon Jan 01 00:00:00 2007] ")->seconds % DateTime::kSecondsPerDay, 0);
  const char* months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int m = 1; m <= 12; ++m) {
    const std::string stamp = std::string("[Xxx ") + months[m - 1] + " 15 08:00:00 2010] ";
    EXPECT_EQ(LogLineTime(stamp), Civil(2010, m, 15, 8, 0, 0)) << stamp;
  }
  EXPECT_EQ(LogLineTime("[Thu Feb 29 12:00:00 2008] "), Civil(2008, 2, 29, 12, 0, 0));
  // Neither the weekday nor anything after character 25 plays a part.
  EXPECT_EQ(LogLineTime("[Fri Jan 02 15:04:05 2006"), Civil(2006, 1, 2, 15, 4, 5));
  EXPECT_EQ(LogLineTime("?abcdJan?02?15?04?05?2006xyz"), Civil(2006, 1, 2, 15, 4, 5));
  // A blank stands for a leading zero.
  EXPECT_EQ(LogLineTime("[Mon Jan  2  5: 4: 5 2006] "), Civil(2006, 1, 2, 5, 4, 5));
  EXPECT_EQ(LogLineTime("[Mon Jan  2 15:04:05 2006] "), Civil(2006, 1, 2, 15, 4, 5));
}

TEST(LogLineTime, RejectsStampsThatCannotBeRead) {
  // No such month or day (months are case-sensitive; 2006 is no leap year), hours, minutes
  // or seconds out of range, a digit that is not one, a trailing rather than leading blank,
  // a three-digit or zero year, a sign, and lines shorter than the 25 characters needed.
  for (const char* stamp : {"[Mon Foo 02 15:04:05 2006] x", "[Mon jan 02 15:04:05 2006] x",
                            "[Thu Feb 30 15:04:05 2006] x", "[Thu Feb 29 15:04:05 2006] x",
                            "[Mon Jan 00 15:04:05 2006] x", "[Mon Jan 02 24:00:00 2006] x",
                            "[Mon Jan 02 15:60:00 2006] x", "[Mon Jan 02 15:04:61 2006] x",
                            "[Mon Jan 0x 15:04:05 2006] x", "[Mon Jan 2  15:04:05 2006] x",
                            "[Mon Jan 02 15:04:05  206] x", "[Mon Jan 02 15:04:05 0000] x",
                            "[Mon Jan 02 15:-4:05 2006] x", "[Mon Jan 02 15:04:05 200", ""}) {
    EXPECT_FALSE(LogLineTime(stamp)) << stamp;
  }
  EXPECT_TRUE(LogLineTime("[Mon Jan 02 15:04:05 2006"));  // 25 are enough
}

}  // namespace
}  // namespace ombrel::testing
