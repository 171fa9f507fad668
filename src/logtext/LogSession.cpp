#include "logtext/LogSession.h"

namespace ombrel {

void LogSession::Reset(std::filesystem::path path, std::optional<LogStamp> parsed) {
  const std::lock_guard lock(mutex_);
  path_ = std::move(path);
  parsed_ = std::move(parsed);
  index_.reset();
}

bool LogSession::HasLog() const {
  const std::lock_guard lock(mutex_);
  return !path_.empty();
}

std::filesystem::path LogSession::Path() const {
  const std::lock_guard lock(mutex_);
  return path_;
}

std::variant<std::shared_ptr<const LineIndex>, Failure> LogSession::Index(
    const Progress& progress) {
  const std::lock_guard lock(mutex_);
  if (path_.empty()) return Failure{"", "no log has been parsed"};
  if (index_ != nullptr) {
    const LogState state = CheckLog(path_, index_->Stamp());
    if (state == LogState::kSame) return index_;
    if (state != LogState::kGrown) return LogStateFailure(path_, state);
  }
  const LogStamp* since = index_ != nullptr ? &index_->Stamp() : parsed_ ? &*parsed_ : nullptr;
  auto built = BuildLineIndex(path_, since, progress);
  if (auto* failure = std::get_if<Failure>(&built)) return std::move(*failure);
  index_ = std::make_shared<const LineIndex>(std::move(std::get<LineIndex>(built)));
  return index_;
}

}  // namespace ombrel
