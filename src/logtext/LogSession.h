#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <variant>

#include "logtext/LineIndex.h"
#include "logtext/LogFile.h"
#include "shared/Failure.h"
#include "shared/Progress.h"

namespace ombrel {

// The log last parsed, as the search and the log view read it again: its
// path, the stamp taken when its parse began and the index of its lines,
// built when first asked for and again when lines were appended. Any thread
// may ask for the index; one build runs at a time.
class LogSession {
 public:
  // A new log: `parsed` is its stamp from before the parse, when it could be taken.
  void Reset(std::filesystem::path path, std::optional<LogStamp> parsed);
  bool HasLog() const;
  std::filesystem::path Path() const;

  // The index of the log as it is now; a failure when the log changed
  // otherwise than by lines appended, went away, or the build was cancelled.
  std::variant<std::shared_ptr<const LineIndex>, Failure> Index(const Progress& progress = {});

 private:
  mutable std::mutex mutex_;
  std::filesystem::path path_;
  std::optional<LogStamp> parsed_;
  std::shared_ptr<const LineIndex> index_;
};

}  // namespace ombrel
