#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "shared/Cp1252.h"

namespace ombrel {
namespace {

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
}  // namespace ombrel
