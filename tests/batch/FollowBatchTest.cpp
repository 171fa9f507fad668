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

// `ombrel-batch --follow` run in a child process, its standard output and
// error written to files in `dir`.
class Follower {
 public:
  Follower(const fs::path& dir, const std::vector<std::string>& args) : dir_(dir) {
    pid_ = fork();
    if (pid_ == 0) {
      std::ofstream out(dir / "stdout.txt", std::ios::binary);
      std::ofstream err(dir / "stderr.txt", std::ios::binary);
      _exit(RunBatch(args, out, err));
    }
  }
  ~Follower() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }

  std::string Output(const std::string& name) const { return ReadFile(dir_ / name); }
  // Waits up to ten seconds for `name` (stdout.txt, stderr.txt) to hold `text`.
  bool Shows(const std::string& name, const std::string& text) const {
    return Within([&] { return Output(name).find(text) != std::string::npos; });
  }
  // Waits up to ten seconds for the child to have read `bytes` of `log`.
  bool HasRead(const fs::path& log, uintmax_t bytes) const {
    const fs::path fds = "/proc/" + std::to_string(pid_) + "/fd";
    return Within([&] {
      std::error_code ec;
      for (const auto& fd : fs::directory_iterator(fds, ec)) {
        if (fs::read_symlink(fd.path(), ec) != log) continue;
        const std::string info =
            ReadFile("/proc/" + std::to_string(pid_) + "/fdinfo/" + fd.path().filename().string());
        if (info.find("pos:\t" + std::to_string(bytes) + "\n") != std::string::npos) return true;
      }
      return false;
    });
  }
  // Sends SIGINT; the exit code, or -1 when the child did not end in 30 seconds.
  int Interrupt() {
    if (kill(pid_, SIGINT) != 0) return -1;
    int status = 0;
    const bool ended = Within([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, 600);
    if (!ended) return -1;
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  template <typename Done>
  static bool Within(Done done, int tries = 200) {
    for (int k = 0; k < tries; ++k) {
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  fs::path dir_;
  pid_t pid_ = 0;
};

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

  Follower follower(dir, args_for(dir / "live", true));
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
  // An interrupt ends following with the bytes read by then.
  ASSERT_TRUE(follower.HasRead(log, text.size()));
  ASSERT_EQ(follower.Interrupt(), 0);

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
  const std::string printed = follower.Output("stdout.txt");
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

TEST(FollowBatch, ARowThatChangedAfterItWasPrintedIsPrintedAgainAndAReplacedLogPrintsItsOwn) {
  const testing::TempDir dir("ombrel-follow-batch");
  const fs::path log = dir / "log.txt";
  const std::string stamp = "[Sat Dec 31 22:3";
  // The gnoll's fight holds the orc's hit until the orc becomes a mob; the
  // rat's fight two minutes later closes it.
  testing::WriteFile(log, stamp + "0:00 2005] You slash a gnoll for 10 points of damage.\r\n" +
                              stamp +
                              "0:01 2005] An orc hits a gnoll for 50 points of damage.\r\n" +
                              stamp + "2:00 2005] You slash a rat for 3 points of damage.\r\n");
  Follower follower(
      dir, {"--out", (dir / "out").string(), "--name", "Tarlen", "--follow", log.string()});
  EXPECT_TRUE(follower.Shows("stdout.txt", "\na gnoll\t60\t"));
  testing::WriteFile(log, stamp + "2:01 2005] You slash An orc for 7 points of damage.\r\n",
                     std::ios::app);
  EXPECT_TRUE(follower.Shows("stdout.txt", "\na gnoll\t10\t"));
  // Rotated: a new file whose first fight starts at record 0 as the old one did.
  testing::WriteFile(dir / "new.txt",
                     stamp + "0:00 2005] You slash a cat for 10 points of damage.\r\n" + stamp +
                         "1:00 2005] You slash a bat for 12 points of damage.\r\n");
  fs::rename(dir / "new.txt", log);
  EXPECT_TRUE(follower.Shows("stdout.txt", "\na cat\t"));
  EXPECT_EQ(follower.Interrupt(), 0);
  // Printed again with a last cell saying so, once the fight was over.
  std::vector<std::string> gnoll_lines;
  std::istringstream printed(follower.Output("stdout.txt"));
  for (std::string line; std::getline(printed, line);)
    if (line.starts_with("a gnoll\t")) gnoll_lines.push_back(line);
  ASSERT_EQ(gnoll_lines.size(), 2u);
  EXPECT_EQ(std::count(gnoll_lines[0].begin(), gnoll_lines[0].end(), '\t'), 15);
  EXPECT_TRUE(gnoll_lines[1].starts_with("a gnoll\t10\t")) << gnoll_lines[1];
  EXPECT_TRUE(gnoll_lines[1].ends_with("\tcorrected")) << gnoll_lines[1];
}

TEST(FollowBatch, AnInterruptIsAnsweredThoughTheLogNeverEnds) {
  const testing::TempDir dir("ombrel-follow-batch");
  Follower follower(
      dir, {"--out", (dir / "out").string(), "--name", "Tarlen", "--follow", "/dev/urandom"});
  EXPECT_TRUE(follower.Shows("stdout.txt", "Following /dev/urandom\n"));
  EXPECT_EQ(follower.Interrupt(), 0);
  EXPECT_TRUE(fs::exists(dir / "out" / "Events.csv"));
}

TEST(FollowBatch, ALogThatCannotBeReadIsWaitedForAndAnInterruptWritesWhatWasRead) {
  const testing::TempDir dir("ombrel-follow-batch");
  const fs::path log = dir / "log.txt";
  const std::string text =
      "[Sat Dec 31 22:30:00 2005] You slash a gnoll for 10 points of damage.\r\n";
  testing::WriteFile(log, text);
  Follower follower(
      dir, {"--out", (dir / "out").string(), "--name", "Tarlen", "--follow", log.string()});
  ASSERT_TRUE(follower.HasRead(log, text.size()));
  fs::rename(log, dir / "old.txt");
  fs::create_directory(log);
  EXPECT_TRUE(follower.Shows("stderr.txt", log.string() + ": Is a directory; waiting"));
  EXPECT_EQ(follower.Interrupt(), 0);
  EXPECT_NE(ReadFile(dir / "out" / "Events.csv").find("a gnoll"), std::string::npos);
}

}  // namespace
}  // namespace ombrel
