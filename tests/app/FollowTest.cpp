#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <variant>

#include "app/App.h"
#include "shared/ListColumns.h"
#include "support/GeneratedLog.h"
#include "support/TestFiles.h"

namespace ombrel {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;

class FollowTest : public ::testing::Test {
 protected:
  FollowTest() {
    fs::create_directories(dir_ / "live");
    fs::create_directories(dir_ / "once");
  }

  static void Settle(App& app, const fs::path& out) {
    app.SetOutputDir(out);
    app.options().PrintData = true;
    app.options().PrintEvents = true;
    app.TakeSettingsSeconds("Tarlen", 18, false);
  }

  // The events list a one-shot parse of `bytes` gives.
  TextTable OneShotList(std::string_view bytes) {
    const fs::path path = dir_ / "once.txt";
    testing::WriteFile(path, bytes);
    App once(dir_ / "once");
    Settle(once, dir_ / "once");
    EXPECT_TRUE(std::holds_alternative<ParsedRun*>(once.Parse(path)));
    return once.EventsList();
  }

  void Write(std::string_view bytes, std::ios::openmode mode = std::ios::app) {
    testing::WriteFile(log_path(), bytes, mode);
  }
  fs::path log_path() const { return dir_ / "log.txt"; }

  // The bytes up to the last CR LF of the first `size` bytes of the log.
  std::string_view Prefix(size_t size) const {
    const std::string_view head = std::string_view(log_text_).substr(0, size);
    const size_t end = head.rfind("\r\n");
    return end == std::string_view::npos ? std::string_view() : head.substr(0, end + 2);
  }

  testing::TempDir dir_{"ombrel-follow"};
  const std::string log_text_ =
      testing::GeneratedLog(7, 512 << 10, [](auto& o) { o.clock_goes_back = true; });
};

TEST_F(FollowTest, RefreshesInPlaceKeepingTheSelectedFightAndEndsAsAOneShotParse) {
  App app(dir_ / "live");
  Settle(app, dir_ / "live");
  // The log does not exist yet: waited for.
  ASSERT_FALSE(app.StartFollowing(log_path()));
  EXPECT_TRUE(app.Following());
  EXPECT_EQ(app.WindowCaption(), "Ombrel Raid - " + log_path().string() + " (following)");
  EXPECT_TRUE(std::get<App::FollowStep>(app.RefreshFollow()).waiting);

  const size_t third = log_text_.size() / 3;
  Write(std::string_view(log_text_).substr(0, third));
  auto step = std::get<App::FollowStep>(app.RefreshFollow());
  EXPECT_TRUE(step.changed);
  ASSERT_EQ(app.EventsList(), OneShotList(Prefix(third)));
  ASSERT_GE(app.EventsList().Rows(), 3u);
  // No file is written while following.
  EXPECT_FALSE(fs::exists(dir_ / "live" / "Data.csv"));

  // The second-to-last fight selected and shown on the Event Detail page.
  const size_t row = app.EventsList().Rows() - 2;
  app.SelectEvent(row);
  app.ChooseTab(3);
  const std::string selected = CellAt(app.EventsList(), row, EventsColumn::kStart) +
                               CellAt(app.EventsList(), row, EventsColumn::kMob);

  // Nothing new: nothing changes.
  EXPECT_FALSE(std::get<App::FollowStep>(app.RefreshFollow()).changed);

  // Half a line more changes nothing; the rest of it and more lines do.
  const size_t two_thirds = 2 * log_text_.size() / 3;
  Write(std::string_view(log_text_).substr(third, two_thirds - third));
  step = std::get<App::FollowStep>(app.RefreshFollow());
  ASSERT_EQ(app.EventsList(), OneShotList(Prefix(two_thirds)));
  const size_t now = app.SelectedEvent();
  EXPECT_EQ(CellAt(app.EventsList(), now, EventsColumn::kStart) +
                CellAt(app.EventsList(), now, EventsColumn::kMob),
            selected);
  EXPECT_EQ(app.ShownPage(), 2);

  // Stopping reads the rest and writes what a one-shot parse writes.
  Write(std::string_view(log_text_).substr(two_thirds));
  Write("[Sat Dec 31 23:59:59 2005] You hit a last rat for 1 points of damage.");  // no CR LF
  const auto stopped = app.StopFollowing();
  ASSERT_TRUE(std::holds_alternative<ParsedRun*>(stopped));
  EXPECT_FALSE(app.Following());
  EXPECT_FALSE(app.EventIsOpen(0));
  const std::string whole = ReadFile(log_path());
  EXPECT_EQ(app.EventsList(), OneShotList(whole));
  EXPECT_EQ(CellAt(app.EventsList(), app.EventsList().Rows() - 1, EventsColumn::kMob),
            "a last rat");
  for (const char* file : {"Data.csv", "Events.csv"})
    EXPECT_EQ(ReadFile(dir_ / "live" / file), ReadFile(dir_ / "once" / file)) << file;
}

TEST_F(FollowTest, AShrunkOrReplacedLogIsReadAgainFromItsStart) {
  App app(dir_ / "live");
  Settle(app, dir_ / "live");
  Write(log_text_, std::ios::trunc);
  ASSERT_FALSE(app.StartFollowing(log_path()));
  ASSERT_EQ(app.EventsList(), OneShotList(Prefix(log_text_.size())));
  app.SelectEvent(2);

  // Cut to a quarter: the start of the log again, the first row selected.
  const size_t quarter = log_text_.size() / 4;
  fs::resize_file(log_path(), quarter);
  auto step = std::get<App::FollowStep>(app.RefreshFollow());
  EXPECT_TRUE(step.started_over);
  EXPECT_EQ(app.SelectedEvent(), 0u);
  ASSERT_EQ(app.EventsList(), OneShotList(Prefix(quarter)));

  // Another file moved into its place.
  const std::string other = log_text_.substr(0, log_text_.size() / 2);
  testing::WriteFile(dir_ / "new.txt", other);
  fs::rename(dir_ / "new.txt", log_path());
  step = std::get<App::FollowStep>(app.RefreshFollow());
  EXPECT_TRUE(step.started_over);
  ASSERT_EQ(app.EventsList(), OneShotList(Prefix(other.size())));

  // A parse of its own ends following.
  ASSERT_TRUE(std::holds_alternative<ParsedRun*>(app.Parse(log_path())));
  EXPECT_FALSE(app.Following());
}

TEST_F(FollowTest, TheOpenFightIsMarkedUntilTheLogPassesItsGap) {
  App app(dir_ / "live");
  Settle(app, dir_ / "live");
  Write("[Sat Dec 31 22:30:08 2005] You hit a gnoll for 20 points of damage.\r\n", std::ios::trunc);
  ASSERT_FALSE(app.StartFollowing(log_path()));
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
  ASSERT_TRUE(std::holds_alternative<ParsedRun*>(app.StopFollowing()));
  EXPECT_FALSE(app.EventIsOpen(2));
}

}  // namespace
}  // namespace ombrel
