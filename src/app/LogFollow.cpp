#include "app/LogFollow.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "events/BuildEvents.h"
#include "parse/ParseLog.h"

namespace ombrel {

LogFollow::LogFollow(ParseRequest request) : request_(std::move(request)), tail_(request_.log) {
  StartOver();
}

void LogFollow::StartOver() {
  std::error_code ec;
  const auto size = std::filesystem::file_size(request_.log, ec);
  live_ = std::make_shared<LiveLog>(request_.character_name, request_.verbs, request_.rules,
                                    request_.event_gap, ec ? 0 : static_cast<size_t>(size));
}

namespace {

// The pieces one refresh reads of a pipe or device, whose size tells nothing.
constexpr uint64_t kPiecesOfAStream = 4;

}  // namespace

std::variant<LogFollow::Refreshed, Failure> LogFollow::Refresh(const Progress& progress) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(request_.log, ec);
  const uint64_t held = !ec && size > tail_.offset() ? size - tail_.offset() : 0;
  return ReadOn(progress, std::max<uint64_t>(held, (ec ? kPiecesOfAStream : 1) * kLogReadPiece));
}

std::variant<LogFollow::Refreshed, Failure> LogFollow::ReadOn(const Progress& progress,
                                                              uint64_t most) {
  if (spent_) return *spent_;
  try {
    Refreshed refreshed;
    uint64_t read = 0;
    // A cancel (an interrupt in the batch) is looked at between pieces, so
    // that a log that never stops giving bytes cannot hold it up.
    while (read < most && !progress.Cancelled()) {
      const FileTail::Read got = tail_.ReadMore(piece_, kLogReadPiece);
      refreshed.waiting = got.waiting;
      refreshed.unreadable = got.unreadable;
      if (got.started_over) {
        StartOver();
        refreshed.started_over = true;
        refreshed.changed = true;
      }
      if (piece_.empty()) break;
      read += piece_.size();
      live_->Feed(piece_);
      progress.Report(std::min(1.0, static_cast<double>(read) / static_cast<double>(most)));
    }
    refreshed.cancelled = progress.Cancelled();
    refreshed.more = read >= most;
    if (live_->Refresh()) refreshed.changed = true;
    return refreshed;
  } catch (...) {
    spent_ = WorkFailure(request_.log, std::current_exception());
    return *spent_;
  }
}

uint64_t LogFollow::BytesWaiting() const {
  std::error_code ec;
  const auto size = std::filesystem::file_size(request_.log, ec);
  return !ec && size > tail_.offset() ? size - tail_.offset() : 0;
}

ParsedRun LogFollow::Current() {
  ParsedRun run;
  CountInto(run);
  const std::vector<EventRecord>& events = live_->Events();
  run.events_list = EventsListRows(events);
  listed_ = events;
  run.log = CurrentLog();
  return run;
}

void LogFollow::CountInto(ParsedRun& run) const {
  run.lines = live_->lines();
  run.unreadable_lines = live_->unreadable_lines();
  run.records = static_cast<int64_t>(live_->Table().size());
  run.fights = FightCount(live_->Events());
}

ParsedLog LogFollow::CurrentLog() const {
  // Both live as long as the live log, which the log keeps.
  return ParsedLog(std::shared_ptr<const DamageTable>(live_, &live_->Table()), live_->MobList(),
                   std::shared_ptr<const std::vector<EventRecord>>(live_, &live_->Events()),
                   request_.verbs);
}

void LogFollow::UpdateEventsList(TextTable& list, EventsListChange* change) {
  UpdateEventsListRows(list, listed_, live_->Events(), change);
}

std::variant<ParsedRun, Failure> LogFollow::Finish(bool read_rest, const Progress& progress) {
  if (read_rest) {
    auto read = Refresh();
    if (auto* failure = std::get_if<Failure>(&read)) return std::move(*failure);
  }
  if (spent_) return *spent_;
  LiveLog::Final final;
  try {
    final = live_->Finish();
  } catch (...) {
    return WorkFailure(request_.log, std::current_exception());
  }
  live_ = std::make_shared<LiveLog>(request_.character_name, request_.verbs, request_.rules,
                                    request_.event_gap);
  return CompleteRun(request_, std::move(final.parse), std::move(final.events), progress);
}

}  // namespace ombrel
