#include <gtest/gtest.h>

#include <sstream>

#include "batch/AlignedTable.h"
#include "batch/Cp1252.h"

namespace ombrel {
namespace {

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
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82"), std::nullopt);          // cut short
  EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), std::nullopt);      // surrogate
  EXPECT_EQ(Utf8ToCp1252("\xC3\xAB\x80"), std::nullopt);      // stray continuation
}

TEST(AlignedTable, PadsColumnsByBytes) {
  const ListColumn columns[3] = {
      {0, "Mob", 0, Align::kLeft}, {1, "DmgTaken", 0, Align::kLeft}, {2, "End", 0, Align::kLeft}};
  TextTable list(3);
  list.AddRow({"Zo\xEB the gnoll", "12", "x"});
  list.AddRow({"", "1234567890", ""});
  std::ostringstream out;
  WriteAlignedTable(out, columns, list);
  EXPECT_EQ(out.str(),
            "Mob            DmgTaken    End\n"
            "Zo\xEB the gnoll  12          x\n"
            "               1234567890  \n");
}

}  // namespace
}  // namespace ombrel
