#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <variant>

#include "parse/FileTail.h"
#include "support/TestFiles.h"

namespace ombrel {
namespace {

namespace fs = std::filesystem;

void Append(const fs::path& path, const std::string& bytes) {
  testing::WriteFile(path, bytes, std::ios::app);
}

// Reads everything the file gained; `read` gets the last read's flags.
std::string ReadAll(FileTail& tail, FileTail::Read& read) {
  std::string all;
  std::string bytes;
  bool first = true;
  for (;;) {
    auto result = tail.ReadMore(bytes, 5);
    EXPECT_TRUE(std::holds_alternative<FileTail::Read>(result));
    if (!std::holds_alternative<FileTail::Read>(result)) return all;
    const FileTail::Read now = std::get<FileTail::Read>(result);
    if (first) read = now;
    first = false;
    if (bytes.empty()) return all;
    all += bytes;
  }
}

TEST(FileTail, ReadsWhatIsAppendedAndStartsOverOnAShrunkOrReplacedFile) {
  const testing::TempDir dir("ombrel-file-tail");
  const fs::path log = dir / "log.txt";
  FileTail tail(log);
  FileTail::Read read;

  // Not there yet: waited for.
  EXPECT_EQ(ReadAll(tail, read), "");
  EXPECT_TRUE(read.waiting);

  Append(log, "first line\r\nsecond");
  EXPECT_EQ(ReadAll(tail, read), "first line\r\nsecond");
  EXPECT_FALSE(read.waiting);
  EXPECT_FALSE(read.started_over);
  Append(log, " half\r\n");
  EXPECT_EQ(ReadAll(tail, read), " half\r\n");
  EXPECT_EQ(ReadAll(tail, read), "");
  EXPECT_EQ(tail.offset(), 25u);

  // Cut shorter: read again from the start.
  fs::resize_file(log, 4);
  EXPECT_EQ(ReadAll(tail, read), "firs");
  EXPECT_TRUE(read.started_over);

  // Removed: what was read stays; another file in its place starts over.
  fs::remove(log);
  EXPECT_EQ(ReadAll(tail, read), "");
  EXPECT_FALSE(read.started_over);
  const fs::path other = dir / "new.txt";
  Append(other, "a whole new log\r\n");
  fs::rename(other, log);
  EXPECT_EQ(ReadAll(tail, read), "a whole new log\r\n");
  EXPECT_TRUE(read.started_over);

  // A folder is no log.
  FileTail folder(dir);
  std::string bytes;
  EXPECT_TRUE(std::holds_alternative<Failure>(folder.ReadMore(bytes, 5)));
}

}  // namespace
}  // namespace ombrel
