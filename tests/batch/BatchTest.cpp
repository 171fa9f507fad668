#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "batch/AlignedTable.h"
#include "batch/Batch.h"
#include "support/TestFiles.h"

namespace ombrel {
namespace {

namespace fs = std::filesystem;

using testing::ReadFile;

class BatchTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::WriteFile(log_, kLog); }

  int Run(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = RunBatch(args, out, err);
    out_ = out.str();
    err_ = err.str();
    return code;
  }
  bool Exists(std::string_view name) const { return fs::exists(fs::path(out_dir_) / name); }

  // Tarlen and Annabelle against a gnoll, then Tarlen against an orc much later.
  static constexpr std::string_view kLog =
      "[Sat Dec 31 22:30:00 2005] You have entered Kelvast Hollow.\r\n"
      "[Sat Dec 31 22:30:08 2005] You hit a gnoll for 20 points of damage.\r\n"
      "[Sat Dec 31 22:30:09 2005] Annabelle slashes a gnoll for 17 points of damage.\r\n"
      "[Sat Dec 31 22:30:10 2005] You hit a gnoll for 31 points of damage.\r\n"
      "[Sat Dec 31 22:35:10 2005] You hit an orc for 5 points of damage.\r\n";

  const testing::TempDir dir_{"ombrel-batch"};
  const std::string log_ = (dir_ / "log.txt").string();
  const std::string out_dir_ = (dir_ / "out" / "nested").string();
  std::string out_;
  std::string err_;
};

TEST_F(BatchTest, UsageErrors) {
  const std::string n = "--name", t = "Tarlen";
  // clang-format off
  const std::vector<std::vector<std::string>> wrong = {
      {}, {log_}, {n, t}, {n}, {n, t, "--bogus", log_}, {n, t, log_, log_}, {n, t, n, "Ann", log_},
      {n, t, "--pets=yes", log_}, {n, "Zo\xEB", log_}, {n, t, "--gap", "17", log_},
      {n, t, "--gap", "901", log_}, {n, t, "--gap", "-20", log_}, {n, t, "--gap", "30s", log_},
      {n, t, "--gap=", log_}, {n, t, "--event", "0", log_}, {n, t, "--event", "1", "--sort", "0", log_},
      {n, t, "--event", "1", "--sort", "6", log_}, {n, t, "--sort", "1", log_},
      {n, t, "--combatant", "Ann", log_}, {n, t, "--timeline", log_},
      {n, t, "--format", "xml", log_}, {n, t, "--format", "json", "--follow", log_},
      {n, t, "--event", "2-1", log_}, {n, t, "--event", "1,", log_}, {n, t, "--event", "1,0", log_},
      {n, t, "--event", "1--2", log_}, {n, t, "--event", "1", "--encounter", "1", log_},
      {n, t, "--encounter", "0", log_}};
  // clang-format on
  for (const auto& args : wrong) {
    EXPECT_EQ(Run(args), 2) << ::testing::PrintToString(args);
    EXPECT_NE(err_.find("usage: ombrel-batch [--out DIR] --name NAME"), std::string::npos);
    EXPECT_EQ(out_, "");
  }
  for (const std::string name : {"", "Type your name here"}) {
    EXPECT_EQ(Run({"--name", name, log_}), 2);
    EXPECT_EQ(err_.substr(0, 25), "Hey, use a real name eh?\n");
  }
  EXPECT_FALSE(fs::exists(dir_ / "out"));
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_NE(out_.find("--combatant TEXT"), std::string::npos);
  EXPECT_EQ(Run({"--name", t, "--version", log_}), 0);
  EXPECT_EQ(out_, "ombrel-batch " OMBREL_VERSION "\n");
}

TEST_F(BatchTest, FindsLinesAndWritesAFightsLines) {
  EXPECT_EQ(Run({"--find", "GNOLL", log_}), 0);
  EXPECT_EQ(out_,
            "2:[Sat Dec 31 22:30:08 2005] You hit a gnoll for 20 points of damage.\n"
            "3:[Sat Dec 31 22:30:09 2005] Annabelle slashes a gnoll for 17 points of damage.\n"
            "4:[Sat Dec 31 22:30:10 2005] You hit a gnoll for 31 points of damage.\n");
  EXPECT_EQ(Run({"--find", "You hit", "--name", "Tarlen", "--event", "2", log_}), 0);
  EXPECT_EQ(out_, "5:[Sat Dec 31 22:35:10 2005] You hit an orc for 5 points of damage.\n");
  EXPECT_EQ(Run({"--find", "GNOLL", "--case", log_}), 1);
  EXPECT_EQ(out_, "");
  EXPECT_EQ(Run({"--find", "(a+", "--regex", log_}), 2);
  EXPECT_EQ(err_, "ombrel-batch: not a valid regular expression: missing ): (a+\n");
  // Control characters show as "?", Windows-1252 as UTF-8.
  testing::WriteFile(log_, "Zo\xEB\x1B[2J\r\n");
  EXPECT_EQ(Run({"--find", "zo", log_}), 0);
  EXPECT_EQ(out_, "1:Zo\xC3\xAB?[2J\n");

  testing::WriteFile(log_, kLog);
  const std::string saved = (dir_ / "fight.txt").string();
  EXPECT_EQ(Run({"--lines", "1", "--name", "Tarlen", "--out", saved, log_}), 0);
  EXPECT_EQ(ReadFile(saved),
            kLog.substr(kLog.find("[Sat Dec 31 22:30:08"),
                        kLog.find("[Sat Dec 31 22:35") - kLog.find("[Sat Dec 31 22:30:08")));
  EXPECT_EQ(Run({"--lines", "3", "--name", "Tarlen", log_}), 1);
  EXPECT_EQ(Run({"--lines", "1", "--find", "x", "--name", "Tarlen", log_}), 2);
}

// The printed table and every file, byte for byte, are checked on the bundled
// sample (SampleOutputs.cmake); here which files a run writes.
TEST_F(BatchTest, WritesTheFilesAndPrintsTheEventsTable) {
  ASSERT_EQ(Run({"--out", out_dir_, "--name", "Tarlen", "--gap=900", "--pets", log_}), 0) << err_;
  for (std::string_view name : {"Data.csv", "Events.csv", "events.htm"}) EXPECT_TRUE(Exists(name));
  for (std::string_view name : {"textpclist.csv", "event-detail.htm", "timeline.csv"})
    EXPECT_FALSE(Exists(name));
  EXPECT_NE(out_.find("Wrote " + out_dir_ + "/Events.csv\n"), std::string::npos);
  // With a gap of 15 minutes the orc still opens a fight of its own.
  EXPECT_NE(out_.find("\na gnoll  68 "), std::string::npos) << out_;
  EXPECT_NE(out_.find("\nan orc   5  "), std::string::npos) << out_;
}

TEST_F(BatchTest, EventDetailSortAndCombatant) {
  ASSERT_EQ(Run({"--out", out_dir_, "--name", "Tarlen", "--event", "1", "--sort", "2",
                 "--combatant", " [ Total ] ", "--timeline", log_}),
            0)
      << err_;
  for (std::string_view name : {"Data.csv", "Events.csv", "events.htm", "textpclist.csv",
                                "event-detail.htm", "PCdetail.csv", "timeline.svg"}) {
    EXPECT_TRUE(Exists(name)) << name;
  }
  EXPECT_NE(out_.find("Wrote " + out_dir_ + "/PCdetail.csv\n"), std::string::npos);
  EXPECT_NE(out_.find("Wrote " + out_dir_ + "/timeline.svg\n"), std::string::npos);
  EXPECT_EQ(ReadFile(fs::path(out_dir_) / "timeline.csv"),
            "Second,Combatant,Damage Dealt,Damage Taken\r\n"
            "0,Tarlen,20,0\r\n1,Annabelle,17,0\r\n2,Tarlen,31,0\r\n");
  fs::remove_all(out_dir_);

  // An event or encounter that is not listed: named, the other files still written.
  EXPECT_EQ(Run({"--out", out_dir_, "--name", "Tarlen", "--encounter", "9", log_}), 1);
  EXPECT_NE(err_.find("encounter 9 is not in the log (2 encounters)"), std::string::npos);
  EXPECT_EQ(Run({"--out", out_dir_, "--name", "Tarlen", "--event", "1,3", log_}), 1);
  EXPECT_NE(err_.find("event 3 "), std::string::npos);
  EXPECT_TRUE(Exists("Events.csv"));
  EXPECT_TRUE(Exists("events.htm"));
  EXPECT_FALSE(Exists("textpclist.csv"));
  EXPECT_NE(out_.find("\nMob  "), std::string::npos);
  fs::remove_all(out_dir_);

  // A combatant that is not listed (the text is compared exactly).
  EXPECT_EQ(Run({"--out", out_dir_, "--name", "Tarlen", "--event", "1", "--combatant", "annabelle",
                 log_}),
            1);
  EXPECT_NE(err_.find("\"annabelle\""), std::string::npos);
  EXPECT_TRUE(Exists("textpclist.csv"));
  EXPECT_TRUE(Exists("event-detail.htm"));
  EXPECT_FALSE(Exists("PCdetail.csv"));

  // Named in the message as typed (UTF-8), not in the log's Windows-1252 bytes.
  EXPECT_EQ(Run({"--out", out_dir_, "--name", "Tarlen", "--event", "1", "--combatant", "Zo\xC3\xAB",
                 log_}),
            1);
  EXPECT_NE(err_.find("\"Zo\xC3\xAB\""), std::string::npos) << err_;
}

TEST_F(BatchTest, JsonPrintsTheMainTableAndTheSameFilesAreWritten) {
  // A name in the log's Windows-1252 bytes comes out in UTF-8.
  testing::WriteFile(log_,
                     std::string(kLog) +
                         "[Sat Dec 31 22:35:11 2005] Zo\xEBlle slashes an orc for 4 points of "
                         "damage.\r\n"
                         "[Sat Dec 31 22:35:12 2005] You hit an orc for 6 points of damage.\r\n");
  ASSERT_EQ(Run({"--out", out_dir_, "--name", "Tarlen", "--event", "2", log_}), 0) << err_;
  const std::string events_csv = ReadFile(fs::path(out_dir_) / "Events.csv");
  const std::string detail_csv = ReadFile(fs::path(out_dir_) / "textpclist.csv");

  ASSERT_EQ(Run({"--out", out_dir_, "--name", "Tarlen", "--format=json", log_}), 0) << err_;
  auto document = nlohmann::ordered_json::parse(out_);  // all of standard output
  EXPECT_EQ(document["log"], log_);
  EXPECT_EQ(document["table"], "events");
  EXPECT_EQ(document["files"].size(), 3u);
  ASSERT_EQ(document["rows"].size(), 2u);
  EXPECT_EQ(document["rows"][0].dump(),
            R"({"mob":"a gnoll","dmg_taken":68,"dmg_dealt":0,"duration":2,"dps_taken":34.0,)"
            R"("dps_dealt":0.0,"start":"2005-12-31T22:30:08","end":"2005-12-31T22:30:10",)"
            R"("max_hit_taken":31,"min_hit_taken":17,"hits_taken":3,"ave_hit_taken":22.67,)"
            R"("max_hit_dealt":0,"min_hit_dealt":0,"hits_dealt":0,"ave_hit_dealt":0.0})");

  ASSERT_EQ(Run({"--out", out_dir_, "--name", "Tarlen", "--event", "2", "--sort", "1", "--format",
                 "json", log_}),
            0)
      << err_;
  document = nlohmann::ordered_json::parse(out_);
  EXPECT_EQ(document["table"], "event_detail");
  EXPECT_EQ(document["event"], 2);
  ASSERT_EQ(document["rows"].size(), 3u);
  EXPECT_EQ(document["rows"][2].dump(),
            "{\"damage_by\":\"Zo\xC3\xABlle\","
            R"("dmg_dealt":4,"duration":1,"dps_dealt":4.0,)"
            R"("adps_dealt":2.0,"start":"2005-12-31T22:35:11","end":"2005-12-31T22:35:11",)"
            R"("max_hit_taken":0,"min_hit_taken":0,"hits_taken":0,"max_hit_dealt":4,)"
            R"("min_hit_dealt":4,"hits_dealt":1,"dmg_taken":0,"dps_taken":0.0,"misses":0,)"
            R"("parries":0,"dodges":0,"ripostes":0,"blocks":0,"swings_taken":0,)"
            R"("swings_dealt":1,"accuracy":100.0,"evasion":0.0,"defense":0.0})");
  EXPECT_EQ(ReadFile(fs::path(out_dir_) / "Events.csv"), events_csv);
  EXPECT_EQ(ReadFile(fs::path(out_dir_) / "textpclist.csv"), detail_csv);
}

TEST_F(BatchTest, AFileThatCannotBeWrittenReplacesNoFile) {
  ASSERT_EQ(Run({"--out", out_dir_, "--name", "Tarlen", "--event", "1", log_}), 0) << err_;
  const std::string data = ReadFile(fs::path(out_dir_) / "Data.csv");
  // The last file of the run is blocked by a folder in its place.
  fs::remove(fs::path(out_dir_) / "event-detail.htm");
  fs::create_directory(fs::path(out_dir_) / "event-detail.htm");
  const std::string other = (dir_ / "other.txt").string();
  testing::WriteFile(other, "[Sat Dec 31 22:30:08 2005] You hit a rat for 1 points of damage.\r\n");
  EXPECT_EQ(Run({"--out", out_dir_, "--name", "Tarlen", "--event", "1", other}), 1);
  EXPECT_NE(err_.find("event-detail.htm: Is a directory"), std::string::npos) << err_;
  EXPECT_NE(err_.find("no file was replaced"), std::string::npos) << err_;
  EXPECT_EQ(out_.find("Wrote "), std::string::npos) << out_;
  EXPECT_EQ(ReadFile(fs::path(out_dir_) / "Data.csv"), data);
  size_t files = 0;
  for (const auto& entry : fs::directory_iterator(out_dir_)) {
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
    ++files;
  }
  EXPECT_EQ(files, 5u);
}

// A pipe's log, written in pieces, is the parse's test (a FIFO); here "-".
TEST_F(BatchTest, TheLogCanComeFromStandardInput) {
  const int saved = dup(STDIN_FILENO);
  const int log = open(log_.c_str(), O_RDONLY);
  ASSERT_GE(log, 0);
  dup2(log, STDIN_FILENO);
  close(log);
  const int code = Run({"--out", out_dir_, "--name", "Tarlen", "-"});
  dup2(saved, STDIN_FILENO);
  close(saved);
  EXPECT_EQ(code, 0) << err_;
  EXPECT_NE(out_.find("Parsed -: 6 lines\n"), std::string::npos) << out_;
}

TEST_F(BatchTest, ExtendedRulesJoinATypedNameToTheCharacter) {
  // A warder spelled in lower case is its owner's (the line rules' test); the
  // character typed in lower case still makes what it damages a mob.
  testing::WriteFile(
      log_,
      "[Sat Dec 31 22:30:08 2005] Khalan hit a reef eel for 50 points of fire damage "
      "by Ember Dart.\r\n"
      "[Sat Dec 31 22:30:09 2005] A reef eel hits YOU for 5 points of damage.\r\n");
  ASSERT_EQ(
      Run({"--out", out_dir_, "--name", "khalan", "--rules", "extended", "--event", "1", log_}), 0)
      << err_;
  EXPECT_NE(ReadFile(fs::path(out_dir_) / "Events.csv").find("\na reef eel,50,1,5,"),
            std::string::npos);
  const std::string detail = ReadFile(fs::path(out_dir_) / "textpclist.csv");
  EXPECT_NE(detail.find("\nkhalan,50,5,"), std::string::npos) << detail;
}

TEST(AlignedTable, WritesUtf8PaddedByCharacters) {
  const ListColumn columns[3] = {
      {0, "Mob", 0, Align::kLeft}, {1, "DmgTaken", 0, Align::kLeft}, {2, "End", 0, Align::kLeft}};
  TextTable list(3);
  list.AddRow({"Zo\xEB the gnoll", "12", "x"});
  list.AddRow({"", "1234567890", ""});
  list.AddRow({"\x80\x92\x9F", "", "y"});
  std::ostringstream out;
  WriteAlignedTable(out, columns, list);
  // ë, €, ’ and Ÿ take one column each, however many bytes UTF-8 gives them.
  EXPECT_EQ(out.str(),
            "Mob            DmgTaken    End\n"
            "Zo\xC3\xAB the gnoll  12          x\n"
            "               1234567890  \n"
            "\xE2\x82\xAC\xE2\x80\x99\xC5\xB8                        y\n");
}

TEST(AlignedTable, ControlCharactersAndLongCellsCannotTakeOverTheTerminal) {
  const ListColumn columns[2] = {{0, "Mob", 0, Align::kLeft}, {1, "End", 0, Align::kLeft}};
  TextTable list(2);
  // An escape sequence that would clear the screen, a bell, DEL and the
  // unassigned bytes that reach a terminal as C1 controls (0x9D begins an
  // operating-system command).
  list.AddRow(
      {"\x1B[2Ja\x07"
       "b\x7F\x81\x8D\x8F\x90\x9D",
       "x"});
  list.AddRow({std::string(1000000, 'n'), "y"});
  list.AddRow({std::string(60, 'm'), "z"});
  std::ostringstream out;
  WriteAlignedTable(out, columns, list);
  const std::string cut = std::string(59, 'n') + "\xE2\x80\xA6";  // 60 characters with …
  EXPECT_EQ(out.str(), "Mob" + std::string(57, ' ') + "  End\n" + "?[2Ja?b??????" +
                           std::string(47, ' ') + "  x\n" + cut + "  y\n" + std::string(60, 'm') +
                           "  z\n");
}

TEST_F(BatchTest, DeathsHealingAndAHandWorkedRecap) {
  testing::WriteFile(
      log_,
      "[Sat Dec 31 22:30:00 2005] You hit a gnoll for 20 points of damage.\r\n"
      "[Sat Dec 31 22:30:02 2005] A gnoll hits YOU for 30 points of damage.\r\n"
      "[Sat Dec 31 22:30:03 2005] A gnoll scores a critical hit! (90)\r\n"
      "[Sat Dec 31 22:30:04 2005] A gnoll hits YOU for 90 points of damage.\r\n"
      "[Sat Dec 31 22:30:05 2005] Annabelle healed you for 50 (80) hit points by Mend.\r\n"
      "[Sat Dec 31 22:30:06 2005] A gnoll tries to hit YOU, but misses!\r\n"
      "[Sat Dec 31 22:30:08 2005] A gnoll bites YOU for 45 points of damage. (Critical)\r\n"
      "[Sat Dec 31 22:30:09 2005] You have been slain by a gnoll!\r\n"
      "[Sat Dec 31 22:30:10 2005] Annabelle slashes a gnoll for 17 points of damage.\r\n"
      "[Sat Dec 31 22:30:11 2005] a gnoll has been slain by Annabelle!\r\n"
      "[Sat Dec 31 22:30:12 2005] Annabelle slashes a gnoll for 5 points of damage.\r\n");
  const std::vector<std::string> args = {"--out",   out_dir_,   "--name",   "Tarlen",
                                         "--rules", "extended", "--deaths", "--healing",
                                         "--recap", "1",        "--window", "5"};
  auto run = [&](std::vector<std::string> extra) {
    std::vector<std::string> all = args;
    all.insert(all.end(), extra.begin(), extra.end());
    return Run(all);
  };
  ASSERT_EQ(run({log_}), 0) << err_;
  // The gnoll's death ends its first fight: Annabelle's last hit opens a second.
  EXPECT_NE(out_.find("\na gnoll  5         0         1 "), std::string::npos) << out_;
  // Tarlen took 30 + 90 + 45 in the 10 seconds before his death; the gnoll 17 in its.
  EXPECT_EQ(ReadFile(fs::path(out_dir_) / "deaths.csv"),
            "Date,Victim,Killer,Damage Taken In Window,Counter\r\n"
            "12/31/2005 22:30:09,Tarlen,a gnoll,165,7\r\n"
            "12/31/2005 22:30:11,a gnoll,Annabelle,17,9\r\n");
  EXPECT_EQ(ReadFile(fs::path(out_dir_) / "healing.csv"),
            "Date,Healer,Target,Amount,Full Amount,Spell,Crit,Counter\r\n"
            "12/31/2005 22:30:05,Annabelle,Tarlen,50,80,Mend,0,4\r\n");
  // Five seconds back from 22:30:09: the announced 90 and the tagged 45 are critical hits,
  // the heal and the miss change nothing taken, the 45 is the killing blow.
  EXPECT_EQ(ReadFile(fs::path(out_dir_) / "recap.csv"),
            "Seconds Before,Source,Attack,Damage,Crit,Avoided,Healed,Damage Taken,Killing Blow,"
            "Counter\r\n"
            "5,a gnoll,hits,90,1,,0,90,0,3\r\n"
            "4,Annabelle,Mend,0,0,,50,90,0,4\r\n"
            "3,a gnoll,hit,0,0,miss,0,90,0,5\r\n"
            "1,a gnoll,bites,45,1,,0,135,1,6\r\n");
  EXPECT_EQ(run({"--event", "1", "--recap", "2", log_}), 2);  // --recap given twice
  EXPECT_EQ(
      Run({"--name", "Tarlen", "--rules", "extended", "--recap", "3", "--out", out_dir_, log_}), 1);
  EXPECT_NE(err_.find("death 3 is not in the deaths list (2 rows)"), std::string::npos) << err_;
  for (const std::string option : {"--deaths", "--healing", "--recap=1"}) {
    EXPECT_EQ(Run({"--name", "Tarlen", option, log_}), 2);
    EXPECT_NE(err_.find(" needs the extended rules (--rules extended)"), std::string::npos);
  }
}

}  // namespace
}  // namespace ombrel
