#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <utility>
#include <vector>

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
    const FileTail::Read now = tail.ReadMore(bytes, 5);
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

  // A folder or a link that leads back to itself taking its path: waited
  // for, with the reason, until a file can be read there again.
  for (const auto& [put, reason] : std::vector<std::pair<std::function<void()>, std::string>>{
           {[&] { fs::create_directory(log); }, "Is a directory"},
           {[&] { fs::create_symlink(log, log); }, "Too many levels of symbolic links"}}) {
    fs::remove(log);
    put();
    EXPECT_EQ(ReadAll(tail, read), "");
    EXPECT_TRUE(read.waiting);
    EXPECT_EQ(read.unreadable, reason);
    fs::remove(log);
    Append(log, "back\r\n");
    EXPECT_EQ(ReadAll(tail, read), "back\r\n");
    EXPECT_TRUE(read.started_over);
    EXPECT_EQ(read.unreadable, "");
  }
}

TEST(FileTail, AFifoOrStandardInputHandsOverWhatItsWriterWroteWithoutWaitingForMore) {
  const testing::TempDir dir("ombrel-file-tail-fifo");
  const fs::path fifo = dir / "log.fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Reads in the background; a read still waiting after two seconds is set
  // free by `release`, so that the test fails instead of hanging.
  auto read_soon = [](FileTail& tail, const std::function<void()>& release) {
    std::string bytes;
    auto read = std::async(std::launch::async, [&] { return tail.ReadMore(bytes, 1000); });
    const bool in_time = read.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    if (!in_time) release();
    read.get();
    return in_time ? bytes : std::string("(waited)");
  };

  // No writer yet.
  FileTail tail(fifo);
  EXPECT_EQ(read_soon(tail, [&] { ::close(::open(fifo.c_str(), O_RDWR)); }), "");
  // A writer that keeps the FIFO open: what it wrote so far.
  int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(::write(writer, "line\r\n", 6), 6);
  auto close_writer = [&writer] {
    ::close(writer);
    writer = -1;
  };
  EXPECT_EQ(read_soon(tail, close_writer), "line\r\n");
  if (writer >= 0) close_writer();

  // "-" is standard input, here the FIFO's other end.
  const int kept_input = ::dup(STDIN_FILENO);
  writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_EQ(::dup2(reader, STDIN_FILENO), STDIN_FILENO);
  ::close(reader);
  ASSERT_EQ(::write(writer, "piped\r\n", 7), 7);
  FileTail input("-");
  std::string bytes;
  const FileTail::Read read = input.ReadMore(bytes, 1000);
  ::dup2(kept_input, STDIN_FILENO);
  ::close(kept_input);
  close_writer();
  EXPECT_FALSE(read.waiting);
  EXPECT_EQ(bytes, "piped\r\n");
}

}  // namespace
}  // namespace ombrel
