// Following a log through the app: which fights are still open. That every
// refresh equals a one-shot parse of the bytes so far is the live log's test;
// the selection kept over refreshes and a log cut short, the window's; the
// files written when following stops, the batch's.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <variant>

#include "app/App.h"
#include "support/TestFiles.h"

namespace ombrel {
namespace {

namespace fs = std::filesystem;

TEST(FollowTest, TheOpenFightIsMarkedUntilTheLogPassesItsGap) {
  const testing::TempDir dir("ombrel-follow");
  const fs::path log = dir / "log.txt";
  auto Write = [&log](std::string_view bytes) { testing::WriteFile(log, bytes, std::ios::app); };
  App app(dir.path());
  app.SetOutputDir(dir.path());
  app.options().PrintData = true;
  app.TakeSettingsSeconds("Tarlen", 18, false);
  // Not there yet: waited for.
  ASSERT_FALSE(app.StartFollowing(log));
  EXPECT_TRUE(std::get<App::FollowStep>(app.RefreshFollow()).waiting);
  Write("[Sat Dec 31 22:30:08 2005] You hit a gnoll for 20 points of damage.\r\n");
  EXPECT_TRUE(std::get<App::FollowStep>(app.RefreshFollow()).changed);
  EXPECT_TRUE(app.EventIsOpen(0));
  // 18 seconds later the gnoll's fight may still go on; 19, it is over.
  Write("[Sat Dec 31 22:30:26 2005] You hit an orc for 5 points of damage.\r\n");
  app.RefreshFollow();
  EXPECT_TRUE(app.EventIsOpen(0));
  EXPECT_TRUE(app.EventIsOpen(1));
  Write("[Sat Dec 31 22:30:40 2005] You hit an orc for 5 points of damage.\r\n");
  app.RefreshFollow();
  EXPECT_FALSE(app.EventIsOpen(0));
  EXPECT_TRUE(app.EventIsOpen(1));
  // A new fight against the gnoll: its first one is over whatever the time.
  Write("[Sat Dec 31 22:30:46 2005] You hit a gnoll for 5 points of damage.\r\n");
  app.RefreshFollow();
  ASSERT_EQ(app.EventsList().Rows(), 3u);
  EXPECT_FALSE(app.EventIsOpen(0));
  EXPECT_TRUE(app.EventIsOpen(2));
  // Data.csv is written when following stops, not before.
  EXPECT_FALSE(fs::exists(dir / "Data.csv"));
  ASSERT_TRUE(std::holds_alternative<ParsedRun*>(app.StopFollowing()));
  EXPECT_FALSE(app.EventIsOpen(2));
  EXPECT_TRUE(fs::exists(dir / "Data.csv"));
}

}  // namespace
}  // namespace ombrel
