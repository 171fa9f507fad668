#include "parse/ParseLog.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <future>
#include <memory>
#include <new>
#include <system_error>

#include "parse/LineEnds.h"
#include "parse/LogParser.h"
#include "shared/ReturnFreedMemory.h"

namespace ombrel {
namespace {

std::string ErrorText(int error, const char* fallback) {
  return error != 0 ? std::generic_category().message(error) : fallback;
}

// What one read gave: the bytes, 0 at the end, or -1 and the error.
struct ReadResult {
  ssize_t bytes = 0;
  int error = 0;
  bool cancelled = false;
};

// How long a wait for a pipe's writer lasts before the cancel is looked at.
constexpr int kPipeWaitMilliseconds = 100;

// Reads the next bytes of `fd`. A pipe, FIFO or device (`wait`) is first
// waited for in short waits, so that a cancel ends a wait for a writer that
// never writes.
ReadResult ReadPiece(int fd, char* into, size_t size, bool wait, const Progress& progress) {
  while (wait) {
    if (progress.Cancelled()) return {0, 0, true};
    pollfd ready{fd, POLLIN, 0};
    const int n = ::poll(&ready, 1, kPipeWaitMilliseconds);
    if (n > 0 || (n < 0 && errno != EINTR)) break;  // bytes, the end or an error: read says which
  }
  for (;;) {
    const ssize_t n = ::read(fd, into, size);
    if (n < 0 && errno == EINTR) continue;
    return {n, n < 0 ? errno : 0};
  }
}

// True when the file holds no CR LF at all, read through with pread from its
// start (its read position stays). A CR LF log shows one in its first line,
// so only a log whose CRs were dropped is read through twice. A read error
// counts as a CR LF: the parse then reads as it would without knowing.
bool HoldsNoCrLf(int fd) {
  size_t block = size_t{64} << 10;  // the first line is short
  const std::unique_ptr<char[]> bytes(new char[kLogReadPiece]);
  off_t at = 0;
  char before = 0;
  for (;;) {
    const ssize_t n = ::pread(fd, bytes.get(), block, at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    const std::string_view text(bytes.get(), static_cast<size_t>(n));
    if (HoldsCrLf(before, text)) return false;
    before = text.back();
    at += n;
    block = kLogReadPiece;
  }
}

}  // namespace

std::variant<ParseResult, Failure> ParseLog(const std::filesystem::path& path,
                                            std::string_view character_name, AttackVerbList verbs,
                                            const Progress& progress, LineRules rules) {
  const bool standard_input = path == kStandardInputPath;
  const std::string shown = path.string();
  // A FIFO opens at once, writer or not; its reads then wait for one (see
  // ReadPiece), as any reader would, but only until a cancel.
  const int fd =
      standard_input ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return Failure{shown, ErrorText(errno, "cannot open the file")};
  if (!standard_input) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  struct Closer {
    int fd;
    bool owned;
    ~Closer() {
      if (owned) ::close(fd);
    }
  } closer{fd, !standard_input};

  struct stat status {};
  if (::fstat(fd, &status) != 0) return Failure{shown, ErrorText(errno, "cannot read the file")};
  if (S_ISDIR(status.st_mode)) return Failure{shown, ErrorText(EISDIR, "Is a directory")};
  // The size of a regular file sizes the record table and the progress; pipes
  // and files such as those of /proc tell nothing (or 0) and are read until
  // their end all the same.
  const uintmax_t expected = S_ISREG(status.st_mode) ? static_cast<uintmax_t>(status.st_size) : 0;
  if (expected > SIZE_MAX / 2) return Failure{shown, ErrorText(EFBIG, "File too large")};
  const auto size = static_cast<size_t>(expected);
  try {
    LogParser parser(character_name, verbs, rules, size);
    // A file whose CRs were dropped need not be held whole to find out.
    if (S_ISREG(status.st_mode) && HoldsNoCrLf(fd)) parser.LinesEndAtLf();
    // The next piece of a file is read on a thread of its own while the one
    // before is classified. A pipe is read in turn: a read there may wait for
    // a writer, and a cancel must not wait with it.
    std::unique_ptr<char[]> pieces[2] = {std::unique_ptr<char[]>(new char[kLogReadPiece]),
                                         std::unique_ptr<char[]>(new char[kLogReadPiece])};
    const bool ahead = S_ISREG(status.st_mode);
    auto read_into = [fd, ahead, &progress](char* into) {
      return std::async(ahead ? std::launch::async : std::launch::deferred, ReadPiece, fd, into,
                        kLogReadPiece, !ahead, std::cref(progress));
    };
    std::future<ReadResult> next = read_into(pieces[0].get());
    for (int current = 0;; current ^= 1) {
      const ReadResult read = next.get();
      if (read.cancelled) {
        ParseResult cancelled = parser.Stop();
        cancelled.cancelled = true;
        return cancelled;
      }
      if (read.bytes < 0) return Failure{shown, ErrorText(read.error, "cannot read the file")};
      if (read.bytes == 0) break;
      next = read_into(pieces[current ^ 1].get());
      parser.Feed({pieces[current].get(), static_cast<size_t>(read.bytes)});
      if (size != 0)
        progress.Report(
            std::min(1.0, static_cast<double>(parser.bytes()) / static_cast<double>(size)));
      if (progress.Cancelled()) {
        ParseResult cancelled = parser.Stop();
        cancelled.cancelled = true;
        return cancelled;
      }
    }
    ParseResult result = parser.Finish();
    // What the reading and the stretches held goes back to the system at
    // once (the allocator would keep it), before what comes after the parse
    // (the events) takes its own.
    for (auto& piece : pieces) piece.reset();
    ReturnFreedMemory();
    progress.Report(1.0);
    return result;
  } catch (const std::bad_alloc&) {
    return Failure{shown, ErrorText(ENOMEM, "not enough memory")};
  }
}

ParseResult ParseLogText(std::string_view text, std::string_view character_name,
                         AttackVerbList verbs, LineRules rules) {
  LogParser parser(character_name, verbs, rules, text.size());
  parser.Feed(text);
  return parser.Finish();
}

}  // namespace ombrel
