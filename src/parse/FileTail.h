#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace ombrel {

// Reads a file that another program appends to: each read hands over what
// the file gained since the one before. A file that shrank, or another file
// that took its path (a new inode, as when a log is rotated), is read again
// from its start, and the caller is told to start its parse over. A path that
// names no file yet, or one that cannot be read (a folder, a file without
// read permission), is waited for. A FIFO is read without waiting for its
// writer; "-" (kStandardInputPath) is standard input. A file cut and grown
// back past the place read between two reads is not noticed.
class FileTail {
 public:
  explicit FileTail(std::filesystem::path path);
  ~FileTail();
  FileTail(const FileTail&) = delete;
  FileTail& operator=(const FileTail&) = delete;

  struct Read {
    bool started_over = false;  // `bytes` come from the start of a new or shrunk file
    bool waiting = false;       // no file to read at the path
    // Why the path cannot be read (the system's words: "Permission denied",
    // "Is a directory"); empty when it names no file or was read.
    std::string unreadable;
  };
  // Replaces `bytes` with at most `limit` bytes the file gained; empty when
  // it gained none or cannot be read now. Never waits for a writer.
  Read ReadMore(std::string& bytes, size_t limit);

  // Bytes read from the current file.
  uint64_t offset() const { return offset_; }

 private:
  void Close();

  std::filesystem::path path_;    // as the failures name it
  std::filesystem::path source_;  // what is opened
  int fd_ = -1;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  bool regular_ = false;
  bool opened_once_ = false;
  uint64_t offset_ = 0;
};

}  // namespace ombrel
