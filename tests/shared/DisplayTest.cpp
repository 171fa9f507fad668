#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "shared/Cp1252.h"
#include "shared/DateTime.h"
#include "shared/Display.h"
#include "shared/DisplayInto.h"

namespace ombrel::display {
namespace {

DateTime At(int y, int mo, int d, int h, int mi, int s) {
  return *DateTime::FromCivil({y, mo, d, h, mi, s});
}

// Each case: a number and its expected text under `format`.
template <class Number, class Format>
void ExpectTexts(Format format, std::initializer_list<std::pair<Number, const char*>> cases) {
  for (const auto& [number, text] : cases) EXPECT_EQ(format(number), text) << number;
}

TEST(DisplayTest, DateTimeTextsArePaddedAndReadBack) {
  EXPECT_EQ(DateTimeText(DateTime{}), "12/30/1899 00:00:00");
  const DateTime t = At(2006, 1, 2, 15, 4, 5);
  EXPECT_EQ(DateTimeText(t), "01/02/2006 15:04:05");
  EXPECT_EQ(TimeText(At(2006, 12, 31, 21, 5, 7)), "21:05:07");
  EXPECT_EQ(DateText(t), "01/02/2006");
  EXPECT_EQ(ReadDateTime("01/02/2006 15:04:05"), t);
  EXPECT_EQ(ReadDateTime(" 12/30/1899 00:00:00 "), DateTime{});
  for (const char* bad : {"02/30/2006 00:00:00", "01/02/2006", "01/02/2006 15:04:05x", ""}) {
    EXPECT_FALSE(ReadDateTime(bad)) << bad;
  }
}

TEST(DisplayTest, NumberPatterns) {
  // clang-format off
  // Grouped: empty for zero; Plain: no grouping at all.
  ExpectTexts<int64_t>(Grouped, {{0, ""}, {7, "7"}, {999, "999"}, {1000, "1,000"}, {30, "30"},
                                 {12345, "12,345"}, {1234567, "1,234,567"}, {-1234, "-1,234"}});
  EXPECT_EQ(Plain(-1234), "-1234");
  // Two decimals round half away from zero; only 15 significant digits take part.
  ExpectTexts<double>(Fixed2, {{0, "0.00"}, {0.5, "0.50"}, {2.675, "2.68"}, {0.125, "0.13"},
                               {0.005, "0.01"}, {0.0049, "0.00"}, {999.995, "1,000.00"},
                               {1234.5, "1,234.50"}, {10.0 / 3.0, "3.33"}, {-1234.5, "-1,234.50"},
                               {-0.001, "0.00"}, {1e15 / 7, "142,857,142,857,143.00"}});
  ExpectTexts<double>(Fixed2NoLeadingZero, {{0.5, ".50"}, {0, ".00"}, {0.999, "1.00"},
                                            {1234.5, "1,234.50"}, {-0.5, "-.50"}});
  ExpectTexts<double>(Percent, {{0, "0.00%"}, {0.8543, "85.43%"}, {0.6, "60.00%"}, {1, "100.00%"},
                                {12.5, "1250.00%"}, {2.0 / 3.0, "66.67%"}, {0.00005, "0.01%"}});
  ExpectTexts<double>(PlainDecimal, {{0, "0"}, {10.4, "10.4"}, {0.5, "0.5"}, {3, "3"},
                                     {1234567, "1234567"}, {-2.25, "-2.25"}});
  // clang-format on
  EXPECT_EQ(ReadDecimal(PlainDecimal(1.0 / 3.0)), 1.0 / 3.0);
}

// The texts written into a buffer are the texts: at and beside every half
// hundredth (which Fixed2 decides), on both sides of 1e11, far past it, and
// dates of many days and of years outside 0-9999.
TEST(DisplayTest, TextsIntoABufferAreTheTexts) {
  char room[kTextIntoRoom];
  const auto fixed2 = [&](double v) { return std::string(room, Fixed2Into(room, v)); };
  std::mt19937_64 random(7);
  std::vector<double> values = {0,      -0.0,      0.005,           0.0049999999999999,
                                2.675,  1e11,      99999999999.995, 1e11 - 0.005,
                                9.2e18, -1234.565, 1e-300,          1e39};
  for (int k = 0; k < 20000; ++k) {
    const double scale = std::pow(10.0, static_cast<double>(random() % 15) - 2);
    const double half = (std::floor(static_cast<double>(random() % 100000) * scale) + 0.5) / 100;
    values.push_back(std::nextafter(half, random() % 2 == 0 ? 0.0 : 1e300));
    values.push_back(half);
    values.push_back(static_cast<double>(random() % 100000000000) / (1 + random() % 100000));
  }
  for (const double v : values) ASSERT_EQ(fixed2(v), Fixed2(v)) << v;
  for (const int64_t v : {INT64_MIN, int64_t{-1}, int64_t{0}, INT64_MAX})
    EXPECT_EQ(std::string(room, PlainInto(room, v)), Plain(v));
  DateTexts dates;
  DateTime t;
  for (int k = 0; k < 20000; ++k) {
    // Now and then another day, often another year; else a little later.
    const auto far = static_cast<int64_t>(random() % 400000000000) - 100000000000;
    t.seconds = k % 4 == 0 ? far : t.seconds + static_cast<int64_t>(random() % 30000);
    ASSERT_EQ(dates.Text(t), DateTimeText(t)) << t.seconds;
  }
}

TEST(DisplayTest, NumbersAreReadBackWithGroupSeparators) {
  for (const auto& [text, value] : {std::pair{"1,234", 1234}, {"-17", -17}, {"0", 0}})
    EXPECT_EQ(ReadWholeNumber(text), value) << text;
  for (const auto& [text, value] :
       {std::pair{"1,234.50", 1234.5}, {".50", 0.5}, {"10.40", 10.4}, {"-.5", -0.5}})
    EXPECT_EQ(ReadDecimal(text), value) << text;
  for (const char* bad : {"", "12a", ",", "99999999999999999999"})
    EXPECT_FALSE(ReadWholeNumber(bad));
  for (const char* bad : {"85.43%", ".", "1.2.3"}) EXPECT_FALSE(ReadDecimal(bad)) << bad;
}

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
  EXPECT_TRUE(DateTime::FromCivil({2004, 2, 29, 0, 0, 0}) &&
              DateTime::FromCivil({2000, 2, 29, 0, 0, 0}));
  for (const CivilTime& bad : {CivilTime{2006, 2, 29, 0, 0, 0},
                               {1900, 2, 29, 0, 0, 0},
                               {2006, 2, 30, 0, 0, 0},
                               {2006, 13, 1, 0, 0, 0},
                               {2006, 1, 1, 24, 0, 0}})
    EXPECT_FALSE(DateTime::FromCivil(bad)) << bad.year << "-" << bad.month << "-" << bad.day;
  EXPECT_EQ(DateTime{-1}.ToCivil().day, 29);  // a second before the zero date
}

TEST(Cp1252, EveryByteHasACharacterAndBack) {
  for (int b = 0; b < 256; ++b) {
    const char16_t character = Cp1252ToUnicode(static_cast<unsigned char>(b));
    EXPECT_EQ(UnicodeToCp1252(character), static_cast<char>(b)) << b;
  }
  // The euro sign, a quotation mark, Y with diaeresis, an unassigned byte.
  EXPECT_EQ(std::u16string({Cp1252ToUnicode(0x80), Cp1252ToUnicode(0x92), Cp1252ToUnicode(0x9F),
                            Cp1252ToUnicode(0x81)}),
            u"\u20AC\u2019\u0178\u0081");
  // Characters the code page cannot hold: a control it gave a character to,
  // a Latin letter past it, a surrogate, an emoji.
  for (const char32_t outside : {U'\u0080', U'\u0100', char32_t{0xD800}, U'\U0001F600'})
    EXPECT_EQ(UnicodeToCp1252(outside), std::nullopt) << static_cast<uint32_t>(outside);
}

TEST(Utf8ToCp1252, ConvertsWhatALogCanHold) {
  EXPECT_EQ(Utf8ToCp1252("Tarlen"), "Tarlen");
  EXPECT_EQ(Utf8ToCp1252(""), "");
  EXPECT_EQ(Utf8ToCp1252("Zo\xC3\xAB"), "Zo\xEB");            // ë
  EXPECT_EQ(Utf8ToCp1252("\xC2\xA0\xC3\xBF"), "\xA0\xFF");    // no-break space, ÿ
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC"), "\x80");            // €
  EXPECT_EQ(Utf8ToCp1252("\xC5\xB8"), "\x9F");                // Ÿ
  EXPECT_EQ(Utf8ToCp1252("\xE2\x80\x99s"), "\x92s");          // ’
  EXPECT_EQ(Utf8ToCp1252("\xC2\x81\xC2\x9D"), "\x81\x9D");    // unassigned bytes
  EXPECT_EQ(Utf8ToCp1252("\xC2\x80"), std::nullopt);          // a control with no byte
  EXPECT_EQ(Utf8ToCp1252("\xC4\x80"), std::nullopt);          // Ā
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80"), std::nullopt);  // emoji
  EXPECT_EQ(Utf8ToCp1252("\xEB"), std::nullopt);              // Latin-1, not UTF-8
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAB"), std::nullopt);          // overlong
  EXPECT_EQ(Utf8ToCp1252("\xE0\x83\xAB"), std::nullopt);      // overlong, 3 bytes
  EXPECT_EQ(Utf8ToCp1252("\xF0\x80\x83\xAB"), std::nullopt);  // overlong, 4 bytes
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82"), std::nullopt);          // cut short
  EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), std::nullopt);      // surrogate
  EXPECT_EQ(Utf8ToCp1252("\xC3\xAB\x80"), std::nullopt);      // stray continuation
}

}  // namespace
}  // namespace ombrel::display
