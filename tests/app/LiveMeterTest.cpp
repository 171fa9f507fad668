#include "app/LiveMeter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <variant>

#include "app/App.h"
#include "events/Encounters.h"
#include "shared/Display.h"
#include "shared/ListColumns.h"
#include "support/GeneratedLog.h"
#include "support/TestFiles.h"

namespace ombrel {
namespace {

// The meter's bars are the Event Detail of the last encounter's union, row by
// row; the character's own row is marked; an unchanged log changes nothing.
TEST(LiveMeterTest, TheBarsAreTheEventDetailOfTheLastEncounter) {
  testing::TempDir dir;
  testing::WriteFile(dir.path() / "log.txt", testing::GeneratedLog(7, 400 << 10));
  App app(dir.path());
  for (const int32_t gap : {18, 240}) {
    app.TakeSettingsSeconds("Tarlen", gap, /*include_pets=*/gap > 18);
    ASSERT_TRUE(std::holds_alternative<ParsedRun*>(app.Parse(dir.path() / "log.txt")));
    LiveMeter meter;
    EXPECT_TRUE(meter.Update(app.Log(), app.settings()));
    EXPECT_FALSE(meter.Update(app.Log(), app.settings()));

    const Encounters encounters = app.GroupedEncounters();
    const auto last = encounters.FightsOf(encounters.size() - 1);
    ASSERT_EQ(meter.Fights(), std::vector<int32_t>(last.begin(), last.end()));
    EXPECT_TRUE(gap == 18 || last.size() > 1);  // a union of several fights
    std::vector<size_t> rows;
    for (const int32_t n : last) rows.push_back(static_cast<size_t>(n) - 1);
    app.SelectEvents(rows);
    app.ChooseTab(3);
    const TextTable& list = app.EventDetailList();
    ASSERT_EQ(meter.Rows().size() + 1, list.Rows()) << gap;
    using Column = EventDetailColumn;
    for (size_t r = 1; r < list.Rows(); ++r) {
      const std::string name = list.Cell(r, static_cast<size_t>(Column::kDamageBy));
      const auto bar = std::find_if(meter.Rows().begin(), meter.Rows().end(),
                                    [&](const MeterRow& row) { return row.Name == name; });
      ASSERT_NE(bar, meter.Rows().end()) << name;
      EXPECT_EQ(display::Grouped(bar->Damage),
                list.Cell(r, static_cast<size_t>(Column::kDmgDealt)));
      EXPECT_EQ(display::Fixed2(bar->Dps), list.Cell(r, static_cast<size_t>(Column::kDPSDealt)));
      EXPECT_EQ(bar->Own, name == "Tarlen" || name == "Tarlen + pet") << name;
    }
    EXPECT_TRUE(std::is_sorted(meter.Rows().begin(), meter.Rows().end(),
                               [](auto& x, auto& y) { return x.Damage > y.Damage; }));
    EXPECT_EQ(std::count_if(meter.Rows().begin(), meter.Rows().end(),
                            [](const MeterRow& row) { return row.Own; }),
              1);
  }
}

}  // namespace
}  // namespace ombrel
