#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <future>
#include <thread>

#include "parse/LineClassifier.h"
#include "parse/LogParser.h"
#include "parse/LogText.h"
#include "support/TestFiles.h"

namespace ombrel::testing {
namespace {

namespace fs = std::filesystem;

const std::string kHit = "You hit a gnoll for 20 points of damage.";

TEST(BadLines, ALineOverAMegabyteIsUnreadableAndNoMoreThanAFewMegabytesAreHeld) {
  // A hit whose taker fills its line up to the longest line read, then the
  // same a byte longer; megabytes without any line end, then CR LF or LF
  // lines, or nothing more. Fed whole, or in pieces of which the parser holds
  // no more than a few megabytes between two, whatever the bytes.
  const std::string hit_on = "You hit ";
  const std::string rest = " for 5 points of damage.";
  const std::string longest = Line(
      hit_on + std::string(kLongestLine - kStamp.size() - hit_on.size() - rest.size(), 'x') + rest);
  const std::string zeros(size_t{6} << 20, '\0');
  struct Case {
    std::string log;
    int64_t lines;
    int64_t unreadable;
    std::vector<int64_t> record_lines;
  };
  const Case cases[] = {
      {Log({longest, Line(kHit)}), 2, 0, {0, 1}},
      {Log({longest + "x", Line(kHit)}), 2, 1, {1}},
      {zeros + "\r\n" + Line(kHit), 2, 1, {1}},
      {zeros + "\n" + Line(kHit) + "\n", 3, 1, {1}},
      {zeros, 1, 1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("case " + std::to_string(&c - cases));
    const ParseResult whole = Parse(c.log);
    for (const size_t piece : {size_t{65536}, (size_t{1} << 20) + 3}) {
      LogParser parser(kName, kAttackVerbs);
      size_t most_held = 0;
      for (size_t at = 0; at < c.log.size(); at += piece) {
        parser.Feed(std::string_view(c.log).substr(at, piece));
        most_held = std::max(most_held, parser.HeldBytes());
      }
      EXPECT_LE(most_held, size_t{4} << 20);
      const ParseResult fed = parser.Finish();
      for (const ParseResult* r : {&whole, &fed}) {
        EXPECT_EQ(r->lines, c.lines);
        EXPECT_EQ(r->unreadable_lines, c.unreadable);
        std::vector<int64_t> record_lines;
        for (size_t k = 0; k < r->DamageTable.size(); ++k)
          record_lines.push_back(r->DamageTable[k].Counter);
        EXPECT_EQ(record_lines, c.record_lines);
      }
    }
  }
}

class LogFiles : public ::testing::Test {
 protected:
  fs::path Write(const std::string& name, const std::string& bytes) {
    WriteFile(dir_ / name, bytes);
    return dir_ / name;
  }

  const TempDir dir_{"ombrel-parse"};
};

TEST_F(LogFiles, FilesThatClaimNoSizeAreReadToTheirEnd) {
  // Size 0, content follows: read until the end all the same.
  const auto proc = ParseLog("/proc/self/status", kName, kAttackVerbs);
  ASSERT_TRUE(std::holds_alternative<ParseResult>(proc));
  EXPECT_GT(std::get<ParseResult>(proc).lines, 1);

  // A FIFO (more than one buffer's worth, written piece by piece) waits for
  // its writer as any reader would. The writer opens it only once the reader
  // waits in open, so the reader always starts without a writer; a reader that
  // leaves early fails the writes instead of killing the test with SIGPIPE.
  const fs::path fifo = dir_ / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string log;
  while (log.size() < (size_t{3} << 20)) log += Line(kHit) + "\n";
  std::thread writer([&] {
    sigset_t pipe_signal;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_signal, nullptr);
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int fd = -1;
    while ((fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0 && errno == ENXIO &&
           std::chrono::steady_clock::now() < give_up) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (fd < 0) {
      ADD_FAILURE() << "no reader waited for the FIFO's writer";
      return;
    }
    ::fcntl(fd, F_SETFL, 0);  // blocking writes from here on
    for (size_t at = 0; at < log.size();) {
      const ssize_t n = ::write(fd, log.data() + at, std::min<size_t>(4000, log.size() - at));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        ADD_FAILURE() << "the reader left after " << at << " bytes";
        break;
      }
      at += static_cast<size_t>(n);
    }
    ::close(fd);
  });
  const auto piped = ParseLog(fifo, kName, kAttackVerbs);
  writer.join();
  ASSERT_TRUE(std::holds_alternative<ParseResult>(piped));
  const ParseResult& r = std::get<ParseResult>(piped);
  EXPECT_EQ(r.DamageTable.size(), static_cast<size_t>(r.lines) - 1);  // one hit a line
  EXPECT_EQ(static_cast<size_t>(r.lines), log.size() / (Line(kHit).size() + 1) + 1);

  // A FIFO nobody writes to: a cancel ends the wait. A parse still waiting
  // after ten seconds is set free by a writer, so that the test fails
  // instead of hanging.
  std::atomic<bool> cancel{false};
  Progress cancelling;
  cancelling.cancel = &cancel;
  auto waiting = std::async(std::launch::async,
                            [&] { return ParseLog(fifo, kName, kAttackVerbs, cancelling); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  cancel = true;
  const bool ended = waiting.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
  if (!ended) ::close(::open(fifo.c_str(), O_WRONLY));
  const auto cancelled = waiting.get();
  EXPECT_TRUE(ended);
  ASSERT_TRUE(std::holds_alternative<ParseResult>(cancelled));
  EXPECT_TRUE(std::get<ParseResult>(cancelled).cancelled);
}

TEST_F(LogFiles, AFileWithoutCrLfIsReadAsItsLinesComeAndOneCrLfKeepsTheCrLfRule) {
  // Larger than a read piece, so that its lines are classified piece by
  // piece; the CR LF of the other files is their last two bytes, or split
  // between the first read of the look for it and the next.
  std::string lf_log;
  for (int k = 0; lf_log.size() < (size_t{9} << 19); ++k)
    lf_log += Line("You hit a gnoll for " + std::to_string(k) + " points of damage.") + "\n";
  for (const std::string& log :
       {lf_log, lf_log + "\r\n", lf_log.substr(0, 65535) + "\r\n" + lf_log.substr(0, 65535)}) {
    const auto parsed = ParseLog(Write("log.txt", log), kName, kAttackVerbs);
    ASSERT_TRUE(std::holds_alternative<ParseResult>(parsed));
    const ParseResult& r = std::get<ParseResult>(parsed);
    const ParseResult whole = Parse(log);
    EXPECT_EQ(r.lines, whole.lines);
    EXPECT_EQ(r.unreadable_lines, whole.unreadable_lines);
    ASSERT_EQ(r.DamageTable.size(), whole.DamageTable.size());
    if (r.DamageTable.empty()) continue;  // one overlong line before the CR LF
    const size_t last = r.DamageTable.size() - 1;
    EXPECT_EQ(r.DamageTable[last].Damage, whole.DamageTable[last].Damage);
    EXPECT_EQ(r.DamageTable[last].Counter, whole.DamageTable[last].Counter);
  }
  EXPECT_GT(Parse(lf_log).lines, 50000);
  EXPECT_EQ(Parse(lf_log + "\r\n").lines, 2);
}

TEST_F(LogFiles, ReadsTheWholeFileOrNamesThePathAndReason) {
  const std::string log = Log({Line(kHit), "no line end at the end"});
  const auto parsed = ParseLog(Write("log.txt", log), kName, kAttackVerbs);
  ASSERT_TRUE(std::holds_alternative<ParseResult>(parsed));
  const ParseResult& r = std::get<ParseResult>(parsed);
  EXPECT_EQ(r.lines, 2);
  ASSERT_EQ(r.DamageTable.size(), 1u);
  EXPECT_TRUE(r.DamageTable[0].Taker == "a gnoll" && r.DamageTable[0].Damage == 20);
  const auto empty = ParseLog(Write("empty.txt", ""), kName, kAttackVerbs);
  ASSERT_TRUE(std::holds_alternative<ParseResult>(empty));
  EXPECT_EQ(std::get<ParseResult>(empty).MobList, (std::vector<std::string_view>{""}));

  std::vector<std::pair<fs::path, std::string>> failing = {
      {dir_ / "missing.txt", "No such file or directory"}, {dir_.path(), "Is a directory"}};
  if (::geteuid() != 0) {  // root reads anything
    failing.emplace_back(Write("locked.txt", Line(kHit)), "Permission denied");
    fs::permissions(failing.back().first, fs::perms::none);
  }
  for (const auto& [path, reason] : failing) {
    const auto failed = ParseLog(path, kName, kAttackVerbs);
    ASSERT_TRUE(std::holds_alternative<Failure>(failed)) << path;
    EXPECT_EQ(std::get<Failure>(failed).path, path.string());
    EXPECT_EQ(std::get<Failure>(failed).reason, reason);
  }
}

}  // namespace
}  // namespace ombrel::testing
