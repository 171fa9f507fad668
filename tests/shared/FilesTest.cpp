#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "shared/Csv.h"
#include "shared/DamageTable.h"
#include "shared/FileOutput.h"

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
    for (int64_t i = 0; i < 100000; ++i) {
      writer.Field("a, gnoll " + std::to_string(i)).Field(INT64_MIN).Field(i).EndLine();
      expected += "\"a, gnoll " + std::to_string(i) + "\"," + std::to_string(INT64_MIN) + "," +
                  std::to_string(i) + "\r\n";
    }
    const std::string plain(size_t{3} << 20, 'p');
    const std::string quoted = std::string(size_t{1} << 20, 'q') + "\"";
    writer.Field(plain).Field(quoted).EndLine();
    expected += plain + ",\"" + std::string(size_t{1} << 20, 'q') + "\"\"\"\r\n";
    writer.Field(INT64_MAX).EndLine();
    expected += std::to_string(INT64_MAX) + "\r\n";
  }
  EXPECT_TRUE(big.str() == expected);
}

class FileOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("ombrel_files_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }
  fs::path dir_;
};

TEST_F(FileOutputTest, ReplacesTheFileWholeAndLeavesNoTemporaryFile) {
  const fs::path path = dir_ / "out.csv";
  { std::ofstream(path) << "old contents that are longer"; }
  EXPECT_FALSE(WriteFileAtomically(path, [](std::ostream& out) { out << "new\r\n"; }));
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "new\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(FileOutputTest, FailuresNameThePathAndTheReason) {
  const fs::path missing = dir_ / "no" / "such" / "folder" / "x.htm";
  const auto failure = WriteFileAtomically(missing, [](std::ostream& out) { out << "x"; });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->path, missing.string());
  EXPECT_FALSE(failure->reason.empty());
  EXPECT_NE(failure->Message().find(missing.string()), std::string::npos);

  const auto on_dir = WriteFileAtomically(dir_, [](std::ostream& out) { out << "x"; });
  ASSERT_TRUE(on_dir);
  EXPECT_EQ(on_dir->reason, "Is a directory");
}

TEST(DamageTableTest, RecordsKeepEveryFieldThroughPackingAndMoves) {
  const DamageRecord records[] = {
      {DateTime{3300000000}, "Tarlen", "a gnoll", 20, 0, 1, "hit", 0},
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
  for (size_t i = 0; i < 5000; ++i) {
    const std::string name = "mob " + std::to_string(i);
    ASSERT_EQ(views[i], name);
    ASSERT_EQ(grown.Intern(name).data(), views[i].data()) << name;
  }
  EXPECT_EQ(grown[1].Dealer, "");
}

}  // namespace
}  // namespace ombrel
