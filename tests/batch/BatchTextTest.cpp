#include <gtest/gtest.h>

#include <sstream>

#include "batch/AlignedTable.h"

namespace ombrel {
namespace {

TEST(AlignedTable, WritesUtf8PaddedByCharacters) {
  const ListColumn columns[3] = {
      {0, "Mob", 0, Align::kLeft}, {1, "DmgTaken", 0, Align::kLeft}, {2, "End", 0, Align::kLeft}};
  TextTable list(3);
  list.AddRow({"Zo\xEB the gnoll", "12", "x"});
  list.AddRow({"", "1234567890", ""});
  list.AddRow({"\x80\x92\x9F", "", "y"});
  std::ostringstream out;
  WriteAlignedTable(out, columns, list);
  // ë, €, ’ and Ÿ take one column each, however many bytes UTF-8 gives them.
  EXPECT_EQ(out.str(),
            "Mob            DmgTaken    End\n"
            "Zo\xC3\xAB the gnoll  12          x\n"
            "               1234567890  \n"
            "\xE2\x82\xAC\xE2\x80\x99\xC5\xB8                        y\n");
}

TEST(AlignedTable, ControlCharactersAndLongCellsCannotTakeOverTheTerminal) {
  const ListColumn columns[2] = {{0, "Mob", 0, Align::kLeft}, {1, "End", 0, Align::kLeft}};
  TextTable list(2);
  // An escape sequence that would clear the screen, a bell, DEL and the
  // unassigned bytes that reach a terminal as C1 controls (0x9D begins an
  // operating-system command).
  list.AddRow(
      {"\x1B[2Ja\x07"
       "b\x7F\x81\x8D\x8F\x90\x9D",
       "x"});
  list.AddRow({std::string(1000000, 'n'), "y"});
  list.AddRow({std::string(60, 'm'), "z"});
  std::ostringstream out;
  WriteAlignedTable(out, columns, list);
  const std::string cut = std::string(59, 'n') + "\xE2\x80\xA6";  // 60 characters with …
  EXPECT_EQ(out.str(), "Mob" + std::string(57, ' ') + "  End\n" + "?[2Ja?b??????" +
                           std::string(47, ' ') + "  x\n" + cut + "  y\n" + std::string(60, 'm') +
                           "  z\n");
}

}  // namespace
}  // namespace ombrel
