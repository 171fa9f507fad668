#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "shared/Csv.h"
#include "shared/DamageTable.h"
#include "shared/FileOutput.h"
#include "shared/Interrupt.h"
#include "shared/ParsedLog.h"
#include "support/TestFiles.h"

namespace ombrel {
namespace {

namespace fs = std::filesystem;

TEST(CsvWriterTest, QuotesOnlyFieldsThatNeedIt) {
  std::ostringstream out;
  CsvWriter csv(out);
  csv.Header("A,B,C");
  csv.Field("plain").Field("a, gnoll").Field(int64_t{-5}).EndLine();
  csv.Field("say \"hi\"").Field("").Field("line\nbreak").EndLine();
  csv.Field("\xEB\x80 bytes").Field("cr\r").EndLine();
  csv.Flush();
  EXPECT_EQ(out.str(),
            "A,B,C\r\n"
            "plain,\"a, gnoll\",-5\r\n"
            "\"say \"\"hi\"\"\",,\"line\nbreak\"\r\n"
            "\xEB\x80 bytes,\"cr\r\"\r\n");

  // Lines across the writer's blocks and fields larger than a block come out
  // whole and in order once the writer is gone.
  std::ostringstream big;
  std::string expected;
  {
    CsvWriter writer(big);
    const std::string plain(size_t{3} << 20, 'p');
    for (int64_t i = 0; i < 100000; ++i) {
      writer.Field("a, b").Field(i % 25000 == 0 ? plain : "").Field(INT64_MIN + i).EndLine();
      expected += "\"a, b\"," + (i % 25000 == 0 ? plain : "") + "," +
                  std::to_string(INT64_MIN + i) + "\r\n";
    }
    writer.Field(std::string(size_t{1} << 20, 'q') + "\"").EndLine();
    expected += "\"" + std::string(size_t{1} << 20, 'q') + "\"\"\"\r\n";
  }
  EXPECT_TRUE(big.str() == expected);
}

TEST(CsvWriterTest, FormulaCellsBecomeTextAndNumbersStay) {
  std::ostringstream out;
  CsvWriter csv(out);
  // Cells a spreadsheet would run, the apostrophe going inside the quotes.
  for (const char* cell : {"=HYPERLINK(\"x\")", "+cmd", "-", "-a gnoll", "@SUM(A1)", "\tx", "\rx",
                           "=1+2", "-1-2", "+1,23", "--5", "-1.", "-.", "=5"}) {
    csv.Field(cell);
  }
  csv.EndLine();
  // Plain numbers, negative ones and percentages included, and texts that do
  // not begin like a formula.
  for (const char* cell : {"-5", "+5", "-1,234,567.89", "+123,456", "-.41", "-12.50%", "-0.00",
                           "+7%", "a=b", " =x", "1e5"}) {
    csv.Field(cell);
  }
  csv.Field(int64_t{-42}).EndLine();
  csv.Flush();
  EXPECT_EQ(out.str(),
            "\"'=HYPERLINK(\"\"x\"\")\",'+cmd,'-,'-a gnoll,'@SUM(A1),'\tx,\"'\rx\",'=1+2,'-1-2,"
            "\"'+1,23\",'--5,'-1.,'-.,'=5\r\n"
            "-5,+5,\"-1,234,567.89\",\"+123,456\",-.41,-12.50%,-0.00,+7%,a=b, =x,1e5,-42\r\n");
}

using testing::ReadFile;

class FileOutputTest : public ::testing::Test {
 protected:
  const testing::TempDir dir_{"ombrel-files"};
};

TEST_F(FileOutputTest, APlantedLinkAtTheTemporaryNameOverwritesNothing) {
  const fs::path victim = dir_ / "victim.txt";
  { std::ofstream(victim) << "precious"; }
  const fs::path path = dir_ / "Data.csv";
  // The first name tried is taken by a link to the victim, the second by a
  // dangling link, the third is free.
  const fs::path planted = dir_ / "Data.csv.planted";
  const fs::path dangling = dir_ / "Data.csv.dangling";
  fs::create_symlink(victim, planted);
  fs::create_symlink(dir_ / "nowhere", dangling);
  int calls = 0;
  OutputSet set([&](const fs::path& p) {
    ++calls;
    if (calls == 1) return planted;
    if (calls == 2) return dangling;
    return fs::path(p.string() + ".free");
  });
  EXPECT_FALSE(set.Add(path, [](std::ostream& out) { out << "new"; }));
  EXPECT_FALSE(set.Commit());
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(ReadFile(victim), "precious");
  EXPECT_FALSE(fs::exists(dir_ / "nowhere"));
  EXPECT_EQ(ReadFile(path), "new");
}

TEST_F(FileOutputTest, ASetIsRenamedWholeOrNotAtAll) {
  const fs::path a = dir_ / "a.csv", b = dir_ / "b.csv";
  { std::ofstream(a) << "old a"; }
  { std::ofstream(b) << "old b"; }
  auto count_files = [this] {
    return std::distance(fs::directory_iterator(dir_), fs::directory_iterator());
  };
  {
    // The second file fails (its writer breaks the stream): neither is replaced.
    OutputSet set;
    EXPECT_FALSE(set.Add(a, [](std::ostream& out) { out << "new a"; }));
    EXPECT_EQ(count_files(), 3);  // the temporary file of a
    const auto failure = set.Add(b, [](std::ostream& out) {
      out << "half";
      out.setstate(std::ios::badbit);
    });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->path, b.string());
    // A later failure too: the set reports the first.
    EXPECT_TRUE(set.Add(dir_, [](std::ostream& out) { out << "x"; }));
    const auto commit = set.Commit();
    ASSERT_TRUE(commit);
    EXPECT_EQ(commit->path, b.string());
  }
  EXPECT_EQ(ReadFile(a), "old a");
  EXPECT_EQ(ReadFile(b), "old b");
  EXPECT_EQ(count_files(), 2);
  {
    // Dropped before its commit (an error elsewhere): nothing replaced either.
    OutputSet set;
    EXPECT_FALSE(set.Add(a, [](std::ostream& out) { out << "new a"; }));
  }
  EXPECT_EQ(ReadFile(a), "old a");
  EXPECT_EQ(count_files(), 2);
  OutputSet set;
  EXPECT_FALSE(set.Add(a, [](std::ostream& out) { out << "new a"; }));
  EXPECT_FALSE(set.Add(b, [](std::ostream& out) { out << "new b"; }));
  EXPECT_FALSE(set.Commit());
  EXPECT_EQ(ReadFile(a) + ReadFile(b), "new anew b");
  EXPECT_EQ(count_files(), 2);
}

TEST_F(FileOutputTest, AnInterruptRemovesTheTemporaryFilesAndEndsWith128PlusTheSignal) {
  const fs::path path = dir_ / "Data.csv";
  { std::ofstream(path) << "old"; }
  for (int signal_number : {SIGINT, SIGTERM}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      RemoveTemporariesOnInterrupt();
      OutputSet set;
      (void)set.Add(dir_ / "Events.csv", [](std::ostream& out) { out << "done"; });
      (void)set.Add(path, [signal_number](std::ostream& out) {
        out << std::string(1 << 20, 'x') << std::flush;
        raise(signal_number);
      });
      _exit(0);  // not reached
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + signal_number);
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
  }
}

// A name found taken is registered while it is tried: a signal then must not
// remove the file that took it. The child spends most of its time in open(),
// where a signal sent to it lands.
TEST_F(FileOutputTest, ASignalWhileANameIsTriedLeavesTheFileThatTookIt) {
  const fs::path taken = dir_ / "taken.txt";
  { std::ofstream(taken) << "someone's"; }
  for (int round = 0; round < 5; ++round) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      RemoveTemporariesOnInterrupt();
      OutputSet set([&](const fs::path&) { return taken; });
      (void)set.Add(dir_ / "x.csv", [](std::ostream&) {});
      (void)!write(ready[1], "r", 1);  // the handler is in place
      for (;;) (void)set.Add(dir_ / "x.csv", [](std::ostream&) {});
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    close(ready[1]);
    usleep(20000);
    kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM);
    ASSERT_EQ(ReadFile(taken), "someone's") << "round " << round;
  }
}

TEST(DamageTableTest, RecordsKeepEveryFieldThroughPackingAndMoves) {
  const DamageRecord records[] = {
      {DateTime{3300000000}, "Tarlen", "a gnoll", 20, 1, 1, "hit", 0},
      {DateTime{-5}, "", "", -7, 0, 9, "", 4294967295LL},
      {DateTime{12}, "Ann`s pet", "YOU", 0, 0, 5, "bites", 3},
  };
  DamageTable table = DamageTable::FromRecords(records);
  DamageTable moved = std::move(table);
  ASSERT_EQ(moved.size(), 3u);
  auto fields = [](const DamageRecord& r) {
    return std::tuple(r.Date, r.Dealer, r.Taker, r.Damage, r.Crit, r.Type, r.Name, r.Counter);
  };
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(fields(moved[i]), fields(records[i])) << i;

  // Each distinct text is held once, whatever memory the appended record viewed.
  const std::string dealer = "Tarlen";
  DamageRecord again = records[0];
  again.Dealer = dealer;
  again.Taker = "a new name";
  ASSERT_TRUE(moved.Append(again));
  EXPECT_EQ(moved[3].Dealer.data(), moved[0].Dealer.data());
  EXPECT_EQ(moved[3].Taker, "a new name");
  EXPECT_EQ(moved.DistinctTexts(), 8u);
  DamageRecord too_long = records[0];
  const std::string long_name(DamageTable::kMaxTextLength + 1, 'x');
  too_long.Name = long_name;
  EXPECT_FALSE(moved.Append(too_long));
  EXPECT_EQ(moved.size(), 4u);

  // Many names: each keeps its one view while the table grows and moves.
  std::vector<std::string_view> views;
  for (size_t i = 0; i < 5000; ++i) views.push_back(moved.Intern("mob " + std::to_string(i)));
  DamageTable grown = std::move(moved);
  for (size_t i = 0; i < 5000; ++i)
    ASSERT_EQ(grown.Intern("mob " + std::to_string(i)).data(), views[i].data()) << i;
  EXPECT_EQ(grown[1].Dealer, "");
}

DamageTable OneHit() {
  DamageRecord r;
  r.Dealer = "Tarlen";
  r.Taker = "a gnoll";
  r.Type = kMelee;
  r.Name = "hits";
  return DamageTable::FromRecords(std::vector<DamageRecord>{r});
}

TEST(ParsedLog, MobListStaysWithItsTable) {
  DamageTable table = OneHit();
  const std::string_view gnoll = table[0].Taker;
  ParsedLog log(std::move(table), {gnoll}, {});
  // Moved twice, the names still read from the one text table that moved along.
  ParsedLog moved = std::move(log);
  ParsedLog again;
  again = std::move(moved);
  ASSERT_EQ(again.MobList().size(), 1u);
  EXPECT_EQ(again.MobList()[0], "a gnoll");
  EXPECT_EQ(again.MobList()[0].data(), again.DamageTable()[0].Taker.data());
  // An empty event table gets its one empty event.
  ASSERT_EQ(again.EventTable().size(), 1u);
  EXPECT_EQ(again.FindEvent(1), &again.EventTable()[0]);
  EXPECT_TRUE(again.FindEvent(0) == nullptr && again.FindEvent(2) == nullptr);

  // A name that views other memory is refused, whatever its text.
  const std::string elsewhere = "a gnoll";
  EXPECT_THROW(ParsedLog(OneHit(), {elsewhere}, {}), std::invalid_argument);
  EXPECT_THROW(ParsedLog(DamageTable{}, {"a gnoll"}, {}), std::invalid_argument);

  // No log: no records, one empty mob entry, one empty event.
  const ParsedLog none;
  EXPECT_TRUE(none.DamageTable().empty() && none.EventTable().size() == 1u);
  EXPECT_TRUE(none.MobList().size() == 1 && none.MobList()[0].empty());
}

}  // namespace
}  // namespace ombrel
