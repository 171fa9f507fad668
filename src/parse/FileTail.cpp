#include "parse/FileTail.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>

#include "parse/ParseLog.h"

namespace ombrel {
namespace {

// Nothing to read at the path for now, and why when it is not just missing.
FileTail::Read Waiting(int error) {
  FileTail::Read read;
  read.waiting = true;
  if (error != ENOENT) read.unreadable = std::generic_category().message(error);
  return read;
}

}  // namespace

FileTail::FileTail(std::filesystem::path path)
    : path_(std::move(path)),
      // Opened anew, standard input reads from its start (a file) or on (a pipe).
      source_(path_ == kStandardInputPath ? std::filesystem::path("/dev/stdin") : path_) {}

FileTail::~FileTail() {
  Close();
}

void FileTail::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

FileTail::Read FileTail::ReadMore(std::string& bytes, size_t limit) {
  bytes.clear();
  Read read;
  struct stat named {};
  int path_error = 0;
  if (::stat(source_.c_str(), &named) != 0) {
    // Gone or out of reach: the file already open may still be read to its end.
    path_error = errno;
    if (fd_ < 0) return Waiting(path_error);
  } else if (fd_ >= 0 && (named.st_dev != device_ || named.st_ino != inode_)) {
    Close();  // another file took the path
  }
  if (fd_ < 0) {
    // Without waiting: a FIFO opens at once without a writer, and a read
    // hands over what its writer wrote so far.
    fd_ = ::open(source_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) return Waiting(errno);
    struct stat status {};
    const int error = ::fstat(fd_, &status) != 0 ? errno : S_ISDIR(status.st_mode) ? EISDIR : 0;
    if (error != 0) {
      Close();
      return Waiting(error);
    }
    device_ = status.st_dev;
    inode_ = status.st_ino;
    regular_ = S_ISREG(status.st_mode);
    read.started_over = opened_once_;
    opened_once_ = true;
    offset_ = 0;
  }
  // An open file that fails a read is tried again at the next.
  if (regular_) {
    struct stat status {};
    if (::fstat(fd_, &status) != 0) return Waiting(errno);
    if (static_cast<uint64_t>(status.st_size) < offset_) {
      read.started_over = true;
      offset_ = 0;
    }
    if (::lseek(fd_, static_cast<off_t>(offset_), SEEK_SET) < 0) return Waiting(errno);
  }
  bytes.resize(limit);
  size_t got = 0;
  while (got < limit) {
    const ssize_t n = ::read(fd_, bytes.data() + got, limit - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;  // a FIFO with nothing more yet
    if (n < 0) {
      const Read failed = Waiting(errno);
      read.waiting = true;
      read.unreadable = failed.unreadable;
      break;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  bytes.resize(got);
  offset_ += got;
  if (got == 0 && path_error != 0) return Waiting(path_error);
  return read;
}

}  // namespace ombrel
