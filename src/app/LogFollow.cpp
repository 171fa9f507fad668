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

std::variant<LogFollow::Refreshed, Failure> LogFollow::Refresh(const Progress& progress) {
  Refreshed refreshed;
  std::error_code ec;
  const auto size = std::filesystem::file_size(request_.log, ec);
  for (;;) {
    auto read = tail_.ReadMore(piece_, kLogReadPiece);
    if (auto* failure = std::get_if<Failure>(&read)) return std::move(*failure);
    const FileTail::Read& got = std::get<FileTail::Read>(read);
    refreshed.waiting = got.waiting;
    if (got.started_over) {
      StartOver();
      refreshed.started_over = true;
      refreshed.changed = true;
    }
    if (piece_.empty()) break;
    live_->Feed(piece_);
    if (!ec && size != 0)
      progress.Report(
          std::min(1.0, static_cast<double>(tail_.offset()) / static_cast<double>(size)));
    if (progress.Cancelled()) {
      refreshed.cancelled = true;
      break;
    }
  }
  if (live_->Refresh()) refreshed.changed = true;
  return refreshed;
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

void LogFollow::UpdateEventsList(TextTable& list) {
  UpdateEventsListRows(list, listed_, live_->Events());
}

std::variant<ParsedRun, Failure> LogFollow::Finish(const Progress& progress) {
  auto read = Refresh();
  if (auto* failure = std::get_if<Failure>(&read)) return std::move(*failure);
  LiveLog::Final final = live_->Finish();
  live_ = std::make_shared<LiveLog>(request_.character_name, request_.verbs, request_.rules,
                                    request_.event_gap);
  return CompleteRun(request_, std::move(final.parse), std::move(final.events), progress);
}

}  // namespace ombrel
