#include <gtest/gtest.h>

#include <sstream>

#include "batch/AlignedTable.h"

namespace ombrel {
namespace {

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
