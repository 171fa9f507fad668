#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <variant>

#include "shared/Failure.h"

namespace ombrel {

// A log opened for reading at any place, without reading it whole.
class LogFile {
 public:
  static std::variant<LogFile, Failure> Open(const std::filesystem::path& path);
  LogFile(LogFile&& other) noexcept;
  LogFile& operator=(LogFile&& other) noexcept;
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;
  ~LogFile();

  // Reads up to out.size() bytes at `offset`, fewer only at the file's end.
  std::variant<size_t, Failure> Read(uint64_t offset, std::span<char> out) const;
  const std::filesystem::path& Path() const { return path_; }

 private:
  LogFile(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
  int fd_ = -1;
  std::filesystem::path path_;
};

// What tells a log apart from the same log changed: its size, its time of
// last change and its first bytes.
struct LogStamp {
  uint64_t size = 0;
  int64_t modified_ns = 0;
  std::string head;  // the first kStampHeadBytes bytes (fewer in a shorter log)

  static constexpr size_t kHeadBytes = 256;
  friend bool operator==(const LogStamp&, const LogStamp&) = default;
};

std::variant<LogStamp, Failure> TakeLogStamp(const std::filesystem::path& path);

// How a log stands against the stamp taken when it was parsed.
enum class LogState {
  kSame,     // unchanged
  kGrown,    // lines were appended (same first bytes, larger): the old lines stand
  kChanged,  // shrunk, rewritten or replaced: its lines are no longer the parsed ones
  kGone,     // it cannot be read any more
};

LogState CheckLog(const std::filesystem::path& path, const LogStamp& stamp);

// The failure that tells of a log that changed or went away.
Failure LogStateFailure(const std::filesystem::path& path, LogState state);

}  // namespace ombrel
