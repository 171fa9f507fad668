#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "app/App.h"
#include "app/Settings.h"
#include "events/BuildEvents.h"
#include "shared/ListColumns.h"
#include "support/TestFiles.h"

namespace ombrel {
namespace {

namespace fs = std::filesystem;

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// A short log of two fights: Tarlen against a gnoll, and against an orc.
constexpr std::string_view kLog =
    "[Sat Dec 31 22:30:00 2005] You have entered Kelvast Hollow.\r\n"
    "[Sat Dec 31 22:30:08 2005] You hit a gnoll for 20 points of damage.\r\n"
    "[Sat Dec 31 22:30:09 2005] You slash a gnoll for 17 points of damage.\r\n"
    "[Sat Dec 31 22:30:10 2005] You hit an orc for 5 points of damage.\r\n";

DamageRecord Hit(int64_t second, std::string_view dealer, std::string_view taker, int32_t damage) {
  static const DateTime kStart = *DateTime::FromCivil({2005, 12, 31, 22, 30, 0});
  DamageRecord r;
  r.Date = DateTime{kStart.seconds + second};
  r.Dealer = dealer;
  r.Taker = taker;
  r.Damage = damage;
  r.Type = kMelee;
  r.Name = "hit";
  return r;
}

// A finished run of two fights, built without the log parser.
ParsedRun TwoFights() {
  DamageTable table = DamageTable::FromRecords(
      std::vector<DamageRecord>{Hit(0, "Tarlen", "a gnoll", 20), Hit(1, "Tarlen", "an orc", 5),
                                Hit(2, "a gnoll", "Tarlen", 3)});
  std::vector<std::string_view> mobs = {table[0].Taker, table[1].Taker};
  std::vector<EventRecord> events = BuildEvents(table, mobs, 18);
  ParsedRun run;
  run.events_list = EventsListRows(events);
  run.log = ParsedLog(std::move(table), std::move(mobs), std::move(events));
  return run;
}

// The pages, their captions and the Export items are checked through the
// window; here what the window cannot show: a tab chosen before its page can
// be, rows that are no rows, and the detail lists after a new parse.
TEST(AppPages, OddChoicesAndANewParse) {
  App app(fs::temp_directory_path());
  EXPECT_EQ(app.ChooseTab(3).size(), 0u);  // nothing parsed: only the Settings page
  EXPECT_EQ(app.SelectedTab() * 10 + app.ShownPage(), 10);
  app.TakeSettings("Tarlen", 0, false);
  app.AdoptParse(TwoFights(), "/logs/combat.txt");
  app.ChooseTab(4);  // PC Detail before any Event Detail visit
  EXPECT_EQ(app.FrameCaption(3), "PC Details -  on a gnoll");
  app.SelectEvent(1);
  app.SelectEvent(7);  // not a row: ignored
  app.ChooseTab(3);
  EXPECT_EQ(app.FrameCaption(2), "Event Details - an orc");
  app.ChooseTab(5);
  EXPECT_EQ(app.SelectedTab(), 3);
  // A new parse: back on the Events page, first row selected, the detail lists
  // keep their rows until their tabs are chosen again.
  const TextTable detail = app.EventDetailList();
  app.AdoptParse(TwoFights(), "/logs/other.txt");
  EXPECT_EQ(app.SelectedEvent() * 10 + app.ShownPage(), 1u);
  EXPECT_FALSE(app.ExportEventDetailEnabled());
  EXPECT_EQ(app.EventDetailList(), detail);
}

// Which files each mark writes, and write failures, are checked through the
// window and the batch; here what a failed or cancelled parse keeps, and the
// two stages a parse reports.
TEST(AppParse, FailureOrCancelKeepsThePreviousResults) {
  TempDir dir;
  App app(dir.path());
  app.TakeSettings("Tarlen", 0, false);
  app.AdoptParse(TwoFights(), "/logs/combat.txt");
  const TextTable events = app.EventsList();
  EXPECT_TRUE(std::holds_alternative<Failure>(app.Parse(dir.path() / "missing.txt")));
  WriteFile(dir.path() / "log.txt", kLog);
  std::atomic<bool> cancel{true};
  Progress cancelled;
  cancelled.cancel = &cancel;
  EXPECT_TRUE(std::holds_alternative<Failure>(app.Parse(dir.path() / "log.txt", cancelled)));
  EXPECT_EQ(app.EventsList(), events);
  EXPECT_EQ(app.Log().DamageTable().size(), 3u);
  EXPECT_EQ(app.WindowCaption(), "Ombrel Raid - /logs/combat.txt");

  const ParseRequest request{
      .log = dir.path() / "log.txt", .character_name = "Tarlen", .output_dir = dir.path()};
  std::vector<int> stages;
  std::vector<double> fractions;
  Progress progress;
  progress.stage = [&](int s) { stages.push_back(s); };
  progress.report = [&](double f) { fractions.push_back(f); };
  ASSERT_TRUE(std::holds_alternative<ParsedRun>(RunParse(request, progress)));
  EXPECT_EQ(stages, (std::vector<int>{1, 2}));
  ASSERT_FALSE(fractions.empty());
  EXPECT_DOUBLE_EQ(fractions.back(), 1.0);
  EXPECT_FALSE(fs::exists(dir.path() / "Data.csv"));
}

TEST(AppParse, FiguresWrittenFilesAndProgressOverDataCsv) {
  TempDir dir;
  App app(dir.path() / "unused");
  WriteFile(dir.path() / "log.txt", kLog);
  app.SetOutputDir(dir.path());
  app.options().PrintData = true;
  app.options().PrintEvents = true;
  app.TakeSettings("Tarlen", 0, false);
  std::vector<double> fractions;
  Progress progress;
  progress.report = [&](double f) { fractions.push_back(f); };
  ASSERT_TRUE(std::holds_alternative<ParsedRun*>(app.Parse(dir.path() / "log.txt", progress)));
  EXPECT_EQ(app.WrittenFiles(),
            (std::vector<fs::path>{dir.path() / "Data.csv", dir.path() / "Events.csv"}));
  EXPECT_EQ(app.LastRun().records, 3);
  EXPECT_EQ(app.LastRun().fights, 2);
  EXPECT_FALSE(app.LastParseFoundNoFight());
  // The bar never runs back, and the writing of Data.csv has its own stretch
  // between the parse and the events.
  EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
  EXPECT_TRUE(std::any_of(fractions.begin(), fractions.end(),
                          [](double f) { return f > 0.7 && f <= 0.9; }));
  // A detail tab names the file it wrote; the Events tab writes none.
  app.options().PrintDetails = true;
  app.ChooseTab(3);
  EXPECT_EQ(app.WrittenFiles(), (std::vector<fs::path>{dir.path() / "textpclist.csv"}));

  // A log in which the character fought nobody.
  WriteFile(dir.path() / "quiet.txt", kLog.substr(0, kLog.find("\r\n") + 2));
  ASSERT_TRUE(std::holds_alternative<ParsedRun*>(app.Parse(dir.path() / "quiet.txt")));
  EXPECT_TRUE(app.LastParseFoundNoFight());
  EXPECT_EQ(app.LastRun().fights, 0);
  EXPECT_EQ(app.EventsList().Rows(), 1u);  // the empty event's row stays
}

// That Data.csv and Events.csv are replaced together or not at all is the
// batch's test (it runs through the app).
TEST(AppParse, AMissingCsvFolderIsMadeOrNamedWithTheReason) {
  TempDir dir;
  App app(dir.path());
  WriteFile(dir.path() / "log.txt", kLog);
  app.options().PrintData = true;
  app.options().PrintEvents = true;
  app.TakeSettings("Tarlen", 0, false);
  app.SetOutputDir(dir.path() / "new" / "csv");
  ASSERT_TRUE(std::holds_alternative<ParsedRun*>(app.Parse(dir.path() / "log.txt")));
  EXPECT_TRUE(app.LastRun().write_failures.empty());
  EXPECT_TRUE(fs::exists(dir.path() / "new" / "csv" / "Events.csv"));
  // One that cannot be made (a link to a place that is not there) is named with the reason.
  fs::create_symlink(dir.path() / "nowhere" / "csv", dir.path() / "link");
  app.SetOutputDir(dir.path() / "link");
  ASSERT_TRUE(std::holds_alternative<ParsedRun*>(app.Parse(dir.path() / "log.txt")));
  ASSERT_EQ(app.LastRun().write_failures.size(), 1u);
  EXPECT_EQ(
      app.LastRun().write_failures[0].Message(),
      (dir.path() / "link" / "Data.csv").string() + ": its folder cannot be made: File exists");
}

TEST(AppExport, ReportsCarryTheCreationStamp) {
  TempDir dir;
  App app(dir.path());
  app.AdoptParse(TwoFights(), "/logs/combat.txt");
  app.SetClock([] { return *DateTime::FromCivil({2024, 3, 9, 7, 5, 1}); });
  EXPECT_FALSE(app.ExportEvents(dir.path() / "events.htm").has_value());
  EXPECT_NE(ReadFile(dir / "events.htm").find("03/09/2024 07:05:01"), std::string::npos);
}

// Following a log through the app: which fights are still open. That every
// refresh equals a one-shot parse of the bytes so far is the live log's test;
// the selection kept over refreshes and a log cut short, the window's; the
// files written when following stops, the batch's.

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
