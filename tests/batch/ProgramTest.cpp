// The built programs as a shell runs them: standard output on a full device
// or a closed pipe, and SIGINT or SIGTERM while their files are being written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
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

extern char** environ;

namespace ombrel {
namespace {

namespace fs = std::filesystem;

using testing::ReadFile;

// The names in `dir` that are temporary files of an output set.
std::vector<std::string> Temporaries(const fs::path& dir) {
  std::vector<std::string> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".tmp") != std::string::npos) found.push_back(name);
  }
  return found;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(out_dir_); }

  // Starts `program` with `args`, standard output to `stdout_fd` (or
  // /dev/null), standard error to a file, and `env` added to the environment.
  pid_t Start(const std::string& program, const std::vector<std::string>& args, int stdout_fd = -1,
              const std::vector<std::string>& env = {}) {
    std::vector<std::string> argv_text = {program};
    argv_text.insert(argv_text.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argv_text) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env_text = env;
    for (char** e = environ; *e != nullptr; ++e) env_text.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env_text) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (stdout_fd >= 0) {
      posix_spawn_file_actions_adddup2(&actions, stdout_fd, STDOUT_FILENO);
    } else {
      posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, Stderr().c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    const int error =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(error, 0) << program;
    return error == 0 ? pid : -1;
  }

  // The exit status of `pid`, or -1 when a signal ended it.
  static int ExitCode(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -2;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path Stderr() const { return dir_ / "stderr.txt"; }

  // A generated log large enough that writing its files takes a while.
  std::string BigLog() {
    const fs::path path = dir_ / "big.txt";
    testing::WriteFile(path, testing::GeneratedLog(1, uint64_t{16} << 20));
    return path.string();
  }

  // Waits until a temporary file appears in out_dir_, then sends `signal_number`.
  // False when the program ended first or wrote nothing for two minutes (then
  // it is killed).
  bool SignalWhileWriting(pid_t pid, int signal_number) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (std::chrono::steady_clock::now() < give_up) {
      if (!Temporaries(out_dir_).empty()) return kill(pid, signal_number) == 0;
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) return false;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return false;
  }

  const testing::TempDir dir_{"ombrel-program"};
  const fs::path out_dir_ = dir_ / "out";
};

constexpr std::string_view kSmallLog =
    "[Sat Dec 31 22:30:08 2005] You hit a gnoll for 20 points of damage.\r\n"
    "[Sat Dec 31 22:30:09 2005] Annabelle slashes a gnoll for 17 points of damage.\r\n";

TEST_F(ProgramTest, AFullDeviceOrAClosedPipeOnStandardOutputEndsWithExit1) {
  const std::string log = (dir_ / "log.txt").string();
  std::ofstream(log, std::ios::binary) << kSmallLog;
  const std::vector<std::string> args = {"--out", out_dir_.string(), "--name", "Tarlen", log};

  const int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  const pid_t on_full = Start(OMBREL_BATCH_PROGRAM, args, full);
  close(full);
  EXPECT_EQ(ExitCode(on_full), 1);
  EXPECT_NE(ReadFile(Stderr()).find("cannot write to standard output"), std::string::npos)
      << ReadFile(Stderr());

  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  close(ends[0]);  // nobody reads
  const pid_t on_pipe = Start(OMBREL_BATCH_PROGRAM, args, ends[1]);
  close(ends[1]);
  EXPECT_EQ(ExitCode(on_pipe), 1);
  EXPECT_NE(ReadFile(Stderr()).find("cannot write to standard output"), std::string::npos)
      << ReadFile(Stderr());

  // Written all the same: the files are complete, only the table is lost.
  EXPECT_NE(ReadFile(out_dir_ / "Events.csv").find("a gnoll"), std::string::npos);
}

TEST_F(ProgramTest, AnInterruptedBatchRemovesItsTemporariesAndKeepsTheOldFiles) {
  const std::string log = BigLog();
  std::ofstream(out_dir_ / "Data.csv", std::ios::binary) << "old";
  for (int signal_number : {SIGINT, SIGTERM}) {
    const pid_t pid = Start(OMBREL_BATCH_PROGRAM,
                            {"--out", out_dir_.string(), "--name", "Tarlen", "--event", "1", log});
    ASSERT_TRUE(SignalWhileWriting(pid, signal_number)) << "ended before writing; a larger log?";
    EXPECT_EQ(ExitCode(pid), 128 + signal_number);
    EXPECT_EQ(Temporaries(out_dir_), std::vector<std::string>{});
    EXPECT_EQ(ReadFile(out_dir_ / "Data.csv"), "old");
  }
}

TEST_F(ProgramTest, EveryOptionOfTheUsageTextIsInTheManualPageAndTheCompletion) {
  const fs::path source = OMBREL_SOURCE_DIR;
  const std::string completion = ReadFile(source / "dist" / "ombrel.bash-completion");
  std::vector<std::string> programs = {OMBREL_BATCH_PROGRAM};
#ifdef OMBREL_WINDOW_PROGRAM
  programs.push_back(OMBREL_WINDOW_PROGRAM);
#endif
  for (const std::string& program : programs) {
    const std::string name = fs::path(program).filename().string();
    const std::string page = ReadFile(source / "docs" / "man" / (name + ".1.scd"));
    ASSERT_FALSE(page.empty()) << name;
    std::string usage;
    for (const std::string option : {"--help", "--version"}) {
      const fs::path output = dir_ / "stdout.txt";
      const int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ASSERT_EQ(ExitCode(Start(program, {option}, fd)), 0) << name << " " << option;
      close(fd);
      usage += ReadFile(output);
    }
    EXPECT_NE(usage.find(name + " " OMBREL_VERSION "\n"), std::string::npos) << usage;
    const std::regex option_pattern("--[a-z]+");
    size_t options = 0;
    for (std::sregex_iterator it(usage.begin(), usage.end(), option_pattern), end; it != end;
         ++it, ++options) {
      // Each option is a term of the page's OPTIONS list, in bold.
      EXPECT_NE(page.find("\n*" + it->str() + "*"), std::string::npos) << name << " " << it->str();
      const std::regex word(it->str() + "[^a-z-]");
      EXPECT_TRUE(std::regex_search(completion, word)) << name << " " << it->str();
    }
    EXPECT_GE(options, 4u) << usage;
  }
}

#ifdef OMBREL_WINDOW_PROGRAM
TEST_F(ProgramTest, TheWindowKilledWhileWritingRemovesItsTemporaries) {
  // The window remembers where its CSV files go and that it writes them.
  const fs::path config = dir_ / "config";
  fs::create_directories(config / "ombrel-raid");
  std::ofstream(config / "ombrel-raid" / "ombrel-raid.conf")
      << "[folders]\ncsv=" << out_dir_.string()
      << "\n[options]\nprintData=true\nprintEvents=true\n";
  const std::string log = BigLog();
  std::ofstream(out_dir_ / "Data.csv", std::ios::binary) << "old";
  for (int signal_number : {SIGINT, SIGTERM}) {
    const pid_t pid = Start(OMBREL_WINDOW_PROGRAM, {"--name", "Tarlen", log}, -1,
                            {"QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + config.string(),
                             "HOME=" + dir_.path().string()});
    ASSERT_TRUE(SignalWhileWriting(pid, signal_number)) << ReadFile(Stderr());
    EXPECT_EQ(ExitCode(pid), 128 + signal_number);
    EXPECT_EQ(Temporaries(out_dir_), std::vector<std::string>{});
    EXPECT_EQ(ReadFile(out_dir_ / "Data.csv"), "old");
    // Saved as on a close.
    EXPECT_NE(ReadFile(config / "ombrel-raid" / "ombrel-raid.conf").find("geometry="),
              std::string::npos);
  }
}
#endif

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

}  // namespace
}  // namespace ombrel
