#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "batch/Batch.h"
#include "support/GeneratedLog.h"
#include "support/TestFiles.h"

namespace ombrel {
namespace {

namespace fs = std::filesystem;

using testing::ReadFile;

// A report's creation stamp differs between two runs; nothing else may.
std::string WithoutCreationStamp(std::string text) {
  static const std::regex stamp("report, created on [^<]*<");
  return std::regex_replace(text, stamp, "report, created on <");
}

TEST(FollowBatch, AnInterruptWritesWhatAOneShotRunOnTheSameBytesWrites) {
  const testing::TempDir dir("ombrel-follow-batch");
  const fs::path log = dir / "log.txt";
  // The log ends in an unended line, which counts when following ends.
  const std::string text =
      testing::GeneratedLog(11, 256 << 10, [](auto& o) { o.clock_goes_back = true; }) +
      "[Sat Dec 31 23:59:59 2005] You hit a last rat for 3 points of damage.";

  const std::vector<std::string> settings = {"--name", "Tarlen", "--event", "2", "--timeline"};
  auto args_for = [&](const fs::path& out, bool follow) {
    std::vector<std::string> args = {"--out", out.string()};
    if (follow) args.push_back("--follow");
    args.insert(args.end(), settings.begin(), settings.end());
    args.push_back(log.string());
    return args;
  };

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::ofstream out(dir / "stdout.txt", std::ios::binary);
    std::ostringstream err;
    _exit(RunBatch(args_for(dir / "live", true), out, err));
  }
  // A writer appends the log in random pieces, some ending inside a line or
  // between CR and LF, while the follower polls.
  std::mt19937_64 random(3);
  size_t written = 0;
  while (written < text.size()) {
    const size_t size = std::min<size_t>(text.size() - written, 1 + random() % 40000);
    testing::WriteFile(log, std::string_view(text).substr(written, size), std::ios::app);
    written += size;
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 120));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  ASSERT_EQ(kill(child, SIGINT), 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  std::ostringstream out, err;
  ASSERT_EQ(RunBatch(args_for(dir / "once", false), out, err), 0) << err.str();
  for (const char* file : {"Data.csv", "Events.csv", "events.htm", "textpclist.csv",
                           "event-detail.htm", "timeline.csv", "timeline.svg"}) {
    EXPECT_EQ(WithoutCreationStamp(ReadFile(dir / "live" / file)),
              WithoutCreationStamp(ReadFile(dir / "once" / file)))
        << file;
  }
  // The fights that were over while following were printed as they closed,
  // one TAB-separated row each; then the one-shot run's report.
  const std::string printed = ReadFile(dir / "stdout.txt");
  EXPECT_EQ(printed.rfind("Following " + log.string() + "\nMob\tDmgTaken\t", 0), 0u) << printed;
  const size_t report = printed.find("\nParsed ");
  ASSERT_NE(report, std::string::npos);
  std::string final_report = printed.substr(report + 1);
  const std::string live_dir = (dir / "live").string();
  for (size_t at = final_report.find(live_dir); at != std::string::npos;
       at = final_report.find(live_dir, at))
    final_report.replace(at, live_dir.size(), (dir / "once").string());
  EXPECT_EQ(final_report, out.str());
  const std::string rows = printed.substr(0, report);
  EXPECT_GE(std::count(rows.begin(), rows.end(), '\n'), 4) << rows;
}

// Waits up to five seconds for `path` to hold `text`.
bool Shows(const fs::path& path, const std::string& text) {
  for (int k = 0; k < 100; ++k) {
    if (ReadFile(path).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

TEST(FollowBatch, AReplacedLogPrintsItsOwnFightsThoughTheyStartAtTheSameRecords) {
  const testing::TempDir dir("ombrel-follow-batch");
  const fs::path log = dir / "log.txt";
  // A fight against `mob`, over once the next line lies past the gap.
  auto log_against = [](const std::string& mob) {
    return "[Sat Dec 31 22:30:00 2005] You slash " + mob + " for 10 points of damage.\r\n" +
           "[Sat Dec 31 22:31:00 2005] You slash a bat for 12 points of damage.\r\n";
  };
  testing::WriteFile(log, log_against("a rat"));

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::ofstream out(dir / "stdout.txt", std::ios::binary);
    std::ostringstream err;
    _exit(RunBatch({"--out", (dir / "out").string(), "--name", "Tarlen", "--follow", log.string()},
                   out, err));
  }
  const bool rat = Shows(dir / "stdout.txt", "\na rat\t");
  // Rotated: a new file whose first fight starts at record 0 as the old one did.
  testing::WriteFile(dir / "new.txt", log_against("a cat"));
  fs::rename(dir / "new.txt", log);
  const bool cat = rat && Shows(dir / "stdout.txt", "\na cat\t");
  ASSERT_EQ(kill(child, SIGINT), 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(rat);
  EXPECT_TRUE(cat) << ReadFile(dir / "stdout.txt");
}

}  // namespace
}  // namespace ombrel
