#include "shared/Display.h"

#include <gtest/gtest.h>

namespace ombrel::display {
namespace {

DateTime At(int y, int mo, int d, int h, int mi, int s) {
  return *DateTime::FromCivil({y, mo, d, h, mi, s});
}

TEST(DisplayTest, DateTimeTextsArePaddedAndReadBack) {
  EXPECT_EQ(DateTimeText(DateTime{}), "12/30/1899 00:00:00");
  const DateTime t = At(2006, 1, 2, 15, 4, 5);
  EXPECT_EQ(DateTimeText(t), "01/02/2006 15:04:05");
  EXPECT_EQ(TimeText(At(2006, 12, 31, 21, 5, 7)), "21:05:07");
  EXPECT_EQ(DateText(t), "01/02/2006");
  EXPECT_EQ(ReadDateTime("01/02/2006 15:04:05"), t);
  EXPECT_EQ(ReadDateTime(" 12/30/1899 00:00:00 "), DateTime{});
  EXPECT_FALSE(ReadDateTime("02/30/2006 00:00:00"));
  EXPECT_FALSE(ReadDateTime("01/02/2006"));
  EXPECT_FALSE(ReadDateTime("01/02/2006 15:04:05x"));
  EXPECT_FALSE(ReadDateTime(""));
}

TEST(DisplayTest, GroupedIntegerIsEmptyForZero) {
  EXPECT_EQ(Grouped(0), "");
  EXPECT_EQ(Grouped(7), "7");
  EXPECT_EQ(Grouped(999), "999");
  EXPECT_EQ(Grouped(1000), "1,000");
  EXPECT_EQ(Grouped(1234567), "1,234,567");
  EXPECT_EQ(Grouped(30), "30");  // two leading digits before the first group
  EXPECT_EQ(Grouped(12345), "12,345");
  EXPECT_EQ(Grouped(-1234), "-1,234");
  EXPECT_EQ(Plain(-1234), "-1234");
}

TEST(DisplayTest, TwoDecimalPatternsRoundHalfAwayFromZero) {
  EXPECT_EQ(Fixed2(0), "0.00");
  EXPECT_EQ(Fixed2(0.5), "0.50");
  EXPECT_EQ(Fixed2(2.675), "2.68");  // 2.67499999... as a double
  EXPECT_EQ(Fixed2(0.125), "0.13");
  EXPECT_EQ(Fixed2(0.005), "0.01");
  EXPECT_EQ(Fixed2(0.0049), "0.00");
  EXPECT_EQ(Fixed2(999.995), "1,000.00");
  EXPECT_EQ(Fixed2(1234.5), "1,234.50");
  EXPECT_EQ(Fixed2(10.0 / 3.0), "3.33");
  EXPECT_EQ(Fixed2(-1234.5), "-1,234.50");
  EXPECT_EQ(Fixed2(-0.001), "0.00");
  // Only 15 significant digits take part, as the double is read.
  EXPECT_EQ(Fixed2(1e15 / 7), "142,857,142,857,143.00");

  EXPECT_EQ(Fixed2NoLeadingZero(0.5), ".50");
  EXPECT_EQ(Fixed2NoLeadingZero(0), ".00");
  EXPECT_EQ(Fixed2NoLeadingZero(0.999), "1.00");
  EXPECT_EQ(Fixed2NoLeadingZero(1234.5), "1,234.50");
  EXPECT_EQ(Fixed2NoLeadingZero(-0.5), "-.50");
}

TEST(DisplayTest, PercentHasNoGrouping) {
  EXPECT_EQ(Percent(0), "0.00%");
  EXPECT_EQ(Percent(0.8543), "85.43%");
  EXPECT_EQ(Percent(0.6), "60.00%");
  EXPECT_EQ(Percent(1), "100.00%");
  EXPECT_EQ(Percent(12.5), "1250.00%");
  EXPECT_EQ(Percent(2.0 / 3.0), "66.67%");
  EXPECT_EQ(Percent(0.00005), "0.01%");
}

TEST(DisplayTest, PlainDecimalIsShortestRoundTrip) {
  EXPECT_EQ(PlainDecimal(0), "0");
  EXPECT_EQ(PlainDecimal(10.4), "10.4");
  EXPECT_EQ(PlainDecimal(0.5), "0.5");
  EXPECT_EQ(PlainDecimal(3), "3");
  EXPECT_EQ(PlainDecimal(1234567), "1234567");
  EXPECT_EQ(PlainDecimal(-2.25), "-2.25");
  EXPECT_EQ(ReadDecimal(PlainDecimal(1.0 / 3.0)), 1.0 / 3.0);
}

TEST(DisplayTest, NumbersAreReadBackWithGroupSeparators) {
  EXPECT_EQ(ReadWholeNumber("1,234"), 1234);
  EXPECT_EQ(ReadWholeNumber("-17"), -17);
  EXPECT_EQ(ReadWholeNumber("0"), 0);
  EXPECT_FALSE(ReadWholeNumber(""));
  EXPECT_FALSE(ReadWholeNumber("12a"));
  EXPECT_FALSE(ReadWholeNumber(","));
  EXPECT_FALSE(ReadWholeNumber("99999999999999999999"));
  EXPECT_EQ(ReadDecimal("1,234.50"), 1234.5);
  EXPECT_EQ(ReadDecimal(".50"), 0.5);
  EXPECT_EQ(ReadDecimal("10.40"), 10.4);
  EXPECT_EQ(ReadDecimal("-.5"), -0.5);
  EXPECT_FALSE(ReadDecimal("85.43%"));
  EXPECT_FALSE(ReadDecimal("."));
  EXPECT_FALSE(ReadDecimal("1.2.3"));
}

}  // namespace
}  // namespace ombrel::display
