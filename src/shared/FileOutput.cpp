#include "shared/FileOutput.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <random>
#include <streambuf>
#include <system_error>

#include "shared/Interrupt.h"

namespace ombrel {
namespace {

namespace fs = std::filesystem;

// Tries this many names before giving up on a folder full of taken names.
constexpr int kNameAttempts = 100;

std::string ErrorText(int error, const char* fallback) {
  return error != 0 ? std::generic_category().message(error) : fallback;
}

fs::path RandomName(const fs::path& path) {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(rng()));
  fs::path temp = path;
  temp += ".tmp-";
  temp += digits;
  return temp;
}

// Holds SIGINT and SIGTERM back on this thread while a temporary file and its
// registration appear or go, so that a handler running here sees both or
// neither. A handler on another thread is covered by the order: a file is
// registered before it is created and removed before it is forgotten.
class InterruptsHeld {
 public:
  InterruptsHeld() {
    sigset_t held;
    sigemptyset(&held);
    sigaddset(&held, SIGINT);
    sigaddset(&held, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &held, &before_);
  }
  ~InterruptsHeld() { pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
  InterruptsHeld(const InterruptsHeld&) = delete;
  InterruptsHeld& operator=(const InterruptsHeld&) = delete;

 private:
  sigset_t before_;
};

// Writes to a file descriptor through a buffer, keeping the first error.
class FileBuffer : public std::streambuf {
 public:
  explicit FileBuffer(int fd) : fd_(fd), block_(new char[kSize]) {
    setp(block_.get(), block_.get() + kSize);
  }
  ~FileBuffer() override = default;

  // Writes what is buffered; false (with error()) when the file refused it.
  bool Drain() {
    // The program is ending: what is being written is dropped.
    if (error_ == 0 && InterruptEnding() != 0) error_ = ECANCELED;
    const char* at = pbase();
    while (at < pptr() && error_ == 0) {
      const ssize_t n = ::write(fd_, at, static_cast<size_t>(pptr() - at));
      if (n < 0) {
        if (errno != EINTR) error_ = errno;
        continue;
      }
      at += n;
    }
    setp(block_.get(), block_.get() + kSize);
    return error_ == 0;
  }
  int error() const { return error_; }

 protected:
  int_type overflow(int_type ch) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(ch);
      pbump(1);
    }
    return traits_type::not_eof(ch);
  }
  int sync() override { return Drain() ? 0 : -1; }

 private:
  static constexpr size_t kSize = size_t{1} << 16;
  int fd_;
  std::unique_ptr<char[]> block_;
  int error_ = 0;
};

}  // namespace

OutputSet::OutputSet() : OutputSet(RandomName) {}

OutputSet::OutputSet(NameSource names) : names_(std::move(names)) {}

OutputSet::~OutputSet() {
  Discard();
}

std::optional<Failure> OutputSet::Add(const fs::path& path,
                                      const std::function<void(std::ostream&)>& write) {
  const std::string shown = path.string();
  auto fail = [this, &shown](std::string reason) {
    Failure failure{shown, std::move(reason)};
    if (!first_failure_) first_failure_ = failure;
    return failure;
  };
  std::error_code ec;
  if (fs::is_directory(path, ec)) return fail("Is a directory");
  if (InterruptEnding() != 0) return fail(ErrorText(ECANCELED, "cancelled"));

  Staged staged;
  staged.path = path;
  int fd = -1;
  for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt) {
    staged.temp = names_(path);
    InterruptsHeld held;
    // Noted before it is created: holding the signals back covers this
    // thread only, and a handler on another thread must find the file as soon
    // as it exists. A name found taken is forgotten again.
    const int registration = RegisterTemporary(staged.temp.native());
    fd = ::open(staged.temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    const int error = errno;
    if (fd >= 0) {
      staged.registration = registration;
      continue;
    }
    UnregisterTemporary(registration);
    if (error != EEXIST && error != ELOOP) return fail(ErrorText(error, "cannot create the file"));
  }
  if (fd < 0) return fail(ErrorText(EEXIST, "cannot create the file"));
  staged_.push_back(staged);

  int error = 0;
  {
    FileBuffer buffer(fd);
    std::ostream out(&buffer);
    write(out);
    if (!buffer.Drain() || !out) error = buffer.error() != 0 ? buffer.error() : EIO;
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) return fail(ErrorText(error, "cannot write the file"));
  return std::nullopt;
}

std::optional<Failure> OutputSet::Commit() {
  if (first_failure_) {
    Discard();
    return first_failure_;
  }
  for (Staged& staged : staged_) {
    InterruptsHeld held;
    if (InterruptEnding() != 0) {
      first_failure_ = Failure{staged.path.string(), ErrorText(ECANCELED, "cancelled")};
      Discard();
      return first_failure_;
    }
    if (::rename(staged.temp.c_str(), staged.path.c_str()) != 0) {
      const int error = errno;
      // The files renamed so far stay renamed: a rename in the folder the
      // temporary files were just written to fails only when the folder
      // changed meanwhile.
      first_failure_ = Failure{staged.path.string(), ErrorText(error, "cannot rename the file")};
      Discard();
      return first_failure_;
    }
    UnregisterTemporary(staged.registration);
    staged.registration = -1;
    staged.temp.clear();
  }
  staged_.clear();
  return std::nullopt;
}

void OutputSet::Discard() {
  for (Staged& staged : staged_) {
    if (staged.temp.empty()) continue;
    InterruptsHeld held;
    ::unlink(staged.temp.c_str());
    UnregisterTemporary(staged.registration);
  }
  staged_.clear();
}

std::optional<Failure> WriteFileAtomically(const fs::path& path,
                                           const std::function<void(std::ostream&)>& write) {
  OutputSet set;
  if (auto failure = set.Add(path, write)) return failure;
  return set.Commit();
}

}  // namespace ombrel
