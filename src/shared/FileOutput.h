#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "shared/Failure.h"

namespace ombrel {

// The files of one run, written as a set: each is written whole into a new
// temporary file next to it, and only when every one was written are they
// renamed over their paths. A failure, or a set dropped before Commit, leaves
// every earlier file as it was and no temporary file behind.
//
// A temporary file gets a random name and is created exclusively, never
// through a symbolic link (O_EXCL | O_NOFOLLOW), so that someone who can
// write to the folder cannot have another file overwritten. While it exists
// it is registered for removal on an interrupt (shared/Interrupt.h). Once
// the program is ending on an interrupt (InterruptEnding), a file being
// written fails at its next block and nothing more is created or renamed.
class OutputSet {
 public:
  // The source of temporary-file names; tests replace it to plant a link at a
  // name. The default gives "<name>.tmp-" and 16 random hex digits.
  using NameSource = std::function<std::filesystem::path(const std::filesystem::path& path)>;

  OutputSet();
  explicit OutputSet(NameSource names);
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;
  ~OutputSet();

  // Writes the content of `path` through `write` into a temporary file.
  // Returns the failure (naming the path and the reason); the set then
  // cannot be committed.
  std::optional<Failure> Add(const std::filesystem::path& path,
                             const std::function<void(std::ostream&)>& write);

  // Renames every temporary file over its path, when every Add succeeded;
  // otherwise removes them and returns the first failure.
  std::optional<Failure> Commit();

  // Removes the temporary files; nothing is replaced.
  void Discard();

  bool Failed() const { return first_failure_.has_value(); }

 private:
  struct Staged {
    std::filesystem::path path;
    std::filesystem::path temp;
    int registration = -1;
  };
  NameSource names_;
  std::vector<Staged> staged_;
  std::optional<Failure> first_failure_;
};

// A set of one file, committed at once.
std::optional<Failure> WriteFileAtomically(const std::filesystem::path& path,
                                           const std::function<void(std::ostream&)>& write);

}  // namespace ombrel
