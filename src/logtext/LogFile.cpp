#include "logtext/LogFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace ombrel {

std::variant<LogFile, Failure> LogFile::Open(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Failure{path.string(), std::strerror(errno)};
  return LogFile(fd, path);
}

LogFile::LogFile(LogFile&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_)) {
  other.fd_ = -1;
}

LogFile& LogFile::operator=(LogFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    path_ = std::move(other.path_);
    other.fd_ = -1;
  }
  return *this;
}

LogFile::~LogFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::variant<size_t, Failure> LogFile::Read(uint64_t offset, std::span<char> out) const {
  size_t got = 0;
  while (got < out.size()) {
    const ssize_t n =
        ::pread(fd_, out.data() + got, out.size() - got, static_cast<off_t>(offset + got));
    if (n < 0) {
      if (errno == EINTR) continue;
      return Failure{path_.string(), std::strerror(errno)};
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return got;
}

std::variant<LogStamp, Failure> TakeLogStamp(const std::filesystem::path& path) {
  auto opened = LogFile::Open(path);
  if (auto* failure = std::get_if<Failure>(&opened)) return std::move(*failure);
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return Failure{path.string(), std::strerror(errno)};
  LogStamp stamp;
  stamp.size = static_cast<uint64_t>(info.st_size);
  stamp.modified_ns = int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec;
  stamp.head.resize(LogStamp::kHeadBytes);
  auto read = std::get<LogFile>(opened).Read(0, stamp.head);
  if (auto* failure = std::get_if<Failure>(&read)) return std::move(*failure);
  stamp.head.resize(std::get<size_t>(read));
  return stamp;
}

LogState CheckLog(const std::filesystem::path& path, const LogStamp& stamp) {
  auto taken = TakeLogStamp(path);
  if (std::holds_alternative<Failure>(taken)) return LogState::kGone;
  const LogStamp& now = std::get<LogStamp>(taken);
  if (now == stamp) return LogState::kSame;
  // A log the game appends to keeps its first bytes and only grows.
  if (now.size > stamp.size && now.head.starts_with(stamp.head)) return LogState::kGrown;
  return LogState::kChanged;
}

Failure LogStateFailure(const std::filesystem::path& path, LogState state) {
  switch (state) {
    case LogState::kGone:
      return {path.string(), "the log is gone or cannot be read any more; parse it again"};
    case LogState::kChanged:
      return {path.string(), "the log changed after it was parsed; parse it again"};
    default:
      return {path.string(), "the log is as parsed"};
  }
}

}  // namespace ombrel
