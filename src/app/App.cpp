#include "app/App.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <exception>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

#include "analysis/CombatantDetail.h"
#include "analysis/EventDetail.h"
#include "analysis/EventRange.h"
#include "app/LogFollow.h"
#include "app/Settings.h"
#include "app/SortEventDetail.h"
#include "events/BuildEvents.h"
#include "parse/DataCsv.h"
#include "report/Reports.h"
#include "report/TimelineSvg.h"
#include "shared/Display.h"
#include "shared/FileOutput.h"
#include "shared/ListColumns.h"

namespace ombrel {
namespace {

// Shares of the progress bar: the parse, then (when asked for) Data.csv, then
// the events, which are far quicker.
constexpr double kParseShare = 0.9;
constexpr double kParseShareBeforeDataCsv = 0.7;

// Makes the folder `path` goes into when it is missing (the CSV folder may
// never have been made); a failure names the file and the folder's reason.
std::optional<Failure> MakeFolderOf(const std::filesystem::path& path) {
  const std::filesystem::path folder = path.parent_path();
  std::error_code ec;
  if (folder.empty() || std::filesystem::is_directory(folder, ec)) return std::nullopt;
  std::filesystem::create_directories(folder, ec);
  if (!ec) return std::nullopt;
  return Failure{path.string(), "its folder cannot be made: " + ec.message()};
}

void WriteCsv(OutputSet& outputs, const std::filesystem::path& path,
              const std::function<void(std::ostream&)>& write, std::vector<Failure>& failures,
              std::vector<std::filesystem::path>& written) {
  if (auto failure = MakeFolderOf(path)) {
    // Told once for the files of a run.
    if (failures.empty() || failures.back().reason != failure->reason)
      failures.push_back(std::move(*failure));
  } else if (auto failure = outputs.Add(path, write)) {
    failures.push_back(std::move(*failure));
  } else {
    written.push_back(path);
  }
}

DateTime LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const CivilTime civil{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                        local.tm_hour,        local.tm_min,     std::min(local.tm_sec, 59)};
  return DateTime::FromCivil(civil).value_or(DateTime{});
}

// The stages after the parse: Data.csv, the events (built unless given),
// Events.csv. `parse_share` is the part of the progress the parse took.
ParsedRun CompleteStages(const ParseRequest& request, ParseResult& parse,
                         std::optional<std::vector<EventRecord>> given_events,
                         const Progress& progress, double parse_share) {
  Progress stage_progress;
  stage_progress.cancel = progress.cancel;
  ParsedRun run;
  run.lines = parse.lines;
  run.unreadable_lines = parse.unreadable_lines;
  run.signs = parse.signs;
  // Both files are renamed into place only when both were written; a
  // cancelled or failed run drops its temporary files.
  OutputSet own_outputs;
  OutputSet& outputs = request.outputs != nullptr ? *request.outputs : own_outputs;
  if (parse.cancelled || progress.Cancelled()) {
    run.cancelled = true;
    return run;
  }
  run.records = static_cast<int64_t>(parse.DamageTable.size());
  if (parse.rules == LineRules::kDefault) run.signs->case_pairs = CountCasePairs(parse.DamageTable);
  std::optional<std::vector<EventRecord>> events = std::move(given_events);
  if (request.print_data) {
    stage_progress.report = [&progress, parse_share](double f) {
      progress.Report(parse_share + f * (kParseShare - parse_share));
    };
    // Data.csv is written beside the events as they are built: its writing
    // leaves the cores idle now and then. (The events are built on this
    // thread, in the memory the parse gave back.)
    std::exception_ptr data_failure;
    {
      std::jthread writing([&] {
        try {
          WriteCsv(
              outputs, request.output_dir / kDataCsvFile,
              [&](std::ostream& out) {
                WriteDataCsv(out, parse.DamageTable, stage_progress, parse.written_names);
              },
              run.write_failures, run.written);
        } catch (...) {
          data_failure = std::current_exception();
        }
      });
      Progress build_progress;
      build_progress.cancel = progress.cancel;
      if (!events)
        events = BuildEvents(parse.DamageTable, parse.MobList, request.event_gap, build_progress);
    }
    if (data_failure) std::rethrow_exception(data_failure);
  }

  progress.Stage(2);
  stage_progress.report = [&progress](double f) {
    progress.Report(kParseShare + f * (1.0 - kParseShare));
  };
  if (!events)
    events = BuildEvents(parse.DamageTable, parse.MobList, request.event_gap, stage_progress);
  if (progress.Cancelled()) {
    run.cancelled = true;
    return run;
  }
  run.fights = FightCount(*events);
  if (request.print_events) {
    WriteCsv(
        outputs, request.output_dir / kEventsCsvFile,
        [&events](std::ostream& out) { WriteEventsCsv(out, *events); }, run.write_failures,
        run.written);
  }
  if (request.outputs == nullptr) {
    std::optional<Failure> failure = own_outputs.Commit();
    if (failure && run.write_failures.empty()) run.write_failures.push_back(std::move(*failure));
    if (failure) run.written.clear();  // nothing was renamed
  }
  run.log = ParsedLog(std::move(parse.DamageTable), std::move(parse.MobList), std::move(*events),
                      request.verbs);
  run.events_list = RenderedEventsList(run.log.SharedEvents());
  progress.Report(1.0);
  return run;
}

std::variant<ParsedRun, Failure> RunStages(const ParseRequest& request, const Progress& progress) {
  const double parse_share = request.print_data ? kParseShareBeforeDataCsv : kParseShare;
  Progress stage_progress;
  stage_progress.cancel = progress.cancel;
  stage_progress.report = [&progress, parse_share](double f) { progress.Report(f * parse_share); };

  progress.Stage(1);
  auto parsed =
      ParseLog(request.log, request.character_name, request.verbs, stage_progress, request.rules);
  if (auto* failure = std::get_if<Failure>(&parsed)) return std::move(*failure);
  return CompleteStages(request, std::get<ParseResult>(parsed), std::nullopt, progress,
                        parse_share);
}

}  // namespace

int64_t FightCount(std::span<const EventRecord> events) {
  // With no fight the table holds only the empty event, dated 12/30/1899.
  const bool no_fight =
      events.size() == 1 && events.front().Name.empty() && events.front().StartDate.seconds == 0;
  return no_fight ? 0 : static_cast<int64_t>(events.size());
}

Failure WorkFailure(const std::filesystem::path& log, std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::bad_alloc&) {
    return Failure{log.string(), "not enough memory to analyse it"};
  } catch (const std::exception& e) {
    return Failure{log.string(), std::string("its analysis stopped: ") + e.what()};
  } catch (...) {
    return Failure{log.string(), "its analysis stopped"};
  }
}

std::variant<ParsedRun, Failure> RunParse(const ParseRequest& request, const Progress& progress) {
  try {
    return RunStages(request, progress);
  } catch (...) {
    return WorkFailure(request.log, std::current_exception());
  }
}

std::variant<ParsedRun, Failure> CompleteRun(const ParseRequest& request, ParseResult&& parse,
                                             std::vector<EventRecord> events,
                                             const Progress& progress) {
  try {
    ParseResult taken = std::move(parse);
    return CompleteStages(request, taken, std::move(events), progress,
                          request.print_data ? kParseShareBeforeDataCsv : kParseShare);
  } catch (...) {
    return WorkFailure(request.log, std::current_exception());
  }
}

App::App(std::filesystem::path output_dir)
    : output_dir_(std::move(output_dir)),
      events_list_(EmptyList<EventsColumn>()),
      event_detail_list_(EmptyList<EventDetailColumn>()),
      combatant_detail_list_(EmptyList<CombatantDetailColumn>()) {
  frame_captions_[0] = "Settings";
  frame_captions_[1] = "Events";
  frame_captions_[2] = "Event Details";
  frame_captions_[4] = kLifeTabCaptions[0];
  frame_captions_[5] = kLifeTabCaptions[1];
  window_caption_ = kStartCaption;
}

App::~App() = default;

void App::TakeSettings(std::string character_name, int gap_item_index, bool include_pets) {
  TakeSettingsSeconds(std::move(character_name), EventGapFromItem(gap_item_index), include_pets);
}

void App::TakeSettingsSeconds(std::string character_name, int32_t gap_seconds, bool include_pets) {
  settings_.CharacterName = std::move(character_name);
  settings_.EventGap = gap_seconds;
  settings_.IncludePets = include_pets;
}

bool App::CharacterNameIsValid() const {
  return IsValidCharacterName(settings_.CharacterName);
}

ParseRequest App::MakeParseRequest(const std::filesystem::path& log) const {
  ParseRequest r;
  r.log = log;
  r.character_name = settings_.CharacterName;
  r.event_gap = settings_.EventGap;
  r.rules = settings_.Options.ExtendedLineRules ? LineRules::kExtended : LineRules::kDefault;
  r.verbs = AttackVerbsOf(r.rules);
  r.print_data = settings_.Options.PrintData;
  r.print_events = settings_.Options.PrintEvents;
  r.output_dir = output_dir_;
  r.outputs = outputs_;
  return r;
}

void App::TakeRun(ParsedRun&& run) {
  log_ = std::move(run.log);
  events_list_ = std::move(run.events_list);
  if (events_list_.Columns() == 0) events_list_ = EmptyList<EventsColumn>();
  written_files_ = run.written;
  last_run_ = std::move(run);
  last_run_.log = ParsedLog{};
  last_run_.events_list = EmptyList<EventsColumn>();
  DropLifeLists();
}

void App::AdoptParse(ParsedRun&& run, const std::filesystem::path& log, bool keep_fight) {
  if (run.cancelled) return;
  // The fight selected before, as its first record and name (the table that
  // holds the name is about to be replaced).
  const std::vector<EventRecord> before =
      keep_fight ? SelectedEventRecords() : std::vector<EventRecord>{};
  follow_.reset();  // a parse of its own ends following
  open_events_.clear();
  TakeRun(std::move(run));
  // The ability lists index the table just replaced.
  event_detail_ = EventDetail{};

  window_caption_ = std::string(kLogCaptionPrefix) + log.string();
  frame_captions_[0] = "Settings";
  bool same = false;
  SelectRowsOrFirst(RowsOf(before, same));
  tab_strip_available_ = true;
  export_events_enabled_ = true;
  ChooseTab(2);
}

std::variant<ParsedRun*, Failure> App::Parse(const std::filesystem::path& log,
                                             const Progress& progress) {
  if (!CharacterNameIsValid()) return Failure{log.string(), std::string(kInvalidNameMessage)};
  auto result = RunParse(MakeParseRequest(log), progress);
  if (auto* failure = std::get_if<Failure>(&result)) return std::move(*failure);
  ParsedRun& run = std::get<ParsedRun>(result);
  if (run.cancelled) return Failure{log.string(), "the parse was cancelled"};
  AdoptParse(std::move(run), log);
  return &last_run_;
}

void App::AdoptFollow(std::unique_ptr<LogFollow> follow) {
  const std::filesystem::path log = follow->path();
  AdoptParse(follow->Current(), log);
  follow_ = std::move(follow);
  window_caption_ += kFollowingCaptionSuffix;
  NoteOpenEvents();
}

std::optional<Failure> App::StartFollowing(const std::filesystem::path& log,
                                           const Progress& progress) {
  if (!CharacterNameIsValid()) return Failure{log.string(), std::string(kInvalidNameMessage)};
  auto follow = std::make_unique<LogFollow>(MakeParseRequest(log));
  auto first = follow->Refresh(progress);
  if (auto* failure = std::get_if<Failure>(&first)) return std::move(*failure);
  AdoptFollow(std::move(follow));
  return std::nullopt;
}

std::variant<App::FollowStep, Failure> App::RefreshFollow(const Progress& progress) {
  return AdoptFollowed(ReadFollowed(progress));
}

std::variant<App::FollowStep, Failure> App::ReadFollowed(const Progress& progress) {
  FollowStep step;
  if (!follow_) return step;
  // The log views the live events, which the refresh changes.
  selected_before_refresh_ = SelectedEventRecords();
  auto refreshed = follow_->Refresh(progress);
  if (auto* failure = std::get_if<Failure>(&refreshed)) return std::move(*failure);
  const LogFollow::Refreshed& r = std::get<LogFollow::Refreshed>(refreshed);
  step.changed = r.changed;
  step.started_over = r.started_over;
  step.waiting = r.waiting;
  step.unreadable = r.unreadable;
  step.more = r.more;
  step.cancelled = r.cancelled;
  return step;
}

std::variant<App::FollowStep, Failure> App::AdoptFollowed(std::variant<FollowStep, Failure> read) {
  if (auto* failure = std::get_if<Failure>(&read)) return std::move(*failure);
  FollowStep step = std::get<FollowStep>(std::move(read));
  if (!follow_) return step;
  // Even unchanged results are adopted again: the table may have grown.
  log_ = follow_->CurrentLog();
  if (step.changed) {
    follow_->UpdateEventsList(events_list_, &step.list_change);
    follow_->CountInto(last_run_);
    KeepSelection(selected_before_refresh_, step.started_over, step);
  }
  KeepLifeLists();
  NoteOpenEvents();
  return step;
}

void App::NoteOpenEvents() {
  open_events_.clear();
  if (follow_ == nullptr) return;
  open_events_ = follow_->OpenEvents();
  std::erase_if(open_events_, [this](size_t row) { return row >= events_list_.Rows(); });
}

uint64_t App::FollowedBytesWaiting() const {
  return follow_ != nullptr ? follow_->BytesWaiting() : 0;
}

std::variant<ParsedRun*, Failure> App::StopFollowing(bool read_rest) {
  if (!follow_) return &last_run_;
  const std::vector<EventRecord> before = SelectedEventRecords();
  auto finished = follow_->Finish(read_rest);
  const std::filesystem::path log = follow_->path();
  follow_.reset();
  open_events_.clear();
  window_caption_ = std::string(kLogCaptionPrefix) + log.string();
  // On failure the results stay as last refreshed.
  if (auto* failure = std::get_if<Failure>(&finished)) return std::move(*failure);
  ParsedRun& run = std::get<ParsedRun>(finished);
  TakeRun(std::move(run));
  FollowStep step;
  KeepSelection(before, false, step);
  KeepLifeLists();
  return &last_run_;
}

bool App::EventIsOpen(size_t row) const {
  return std::binary_search(open_events_.begin(), open_events_.end(), row);
}

std::vector<EventRecord> App::SelectedEventRecords() const {
  std::vector<EventRecord> records;
  for (size_t row : selected_events_) {
    if (const EventRecord* e = log_.FindEvent(static_cast<int32_t>(row + 1))) records.push_back(*e);
  }
  return records;
}

std::vector<size_t> App::RowsOf(const std::vector<EventRecord>& fights, bool& all_same) const {
  const std::span<const EventRecord> events = log_.EventTable();
  // A fight is found again by its first record (its name may change: a pet
  // that took its owner's first letter), in the first row that has it. The
  // fights sought are few and the rows many: one pass over the rows looks
  // each up among the fights, so that nothing is held per row.
  constexpr size_t kNone = SIZE_MAX;
  std::vector<std::pair<int64_t, size_t>> sought;  // first record, index in `fights`
  sought.reserve(fights.size());
  for (size_t f = 0; f < fights.size(); ++f) sought.emplace_back(fights[f].StartCounter, f);
  std::sort(sought.begin(), sought.end());
  std::vector<size_t> row_of(fights.size(), kNone);
  for (size_t row = 0; row < events.size() && !sought.empty(); ++row) {
    auto at = std::lower_bound(sought.begin(), sought.end(),
                               std::pair<int64_t, size_t>{events[row].StartCounter, 0});
    for (; at != sought.end() && at->first == events[row].StartCounter; ++at)
      if (row_of[at->second] == kNone) row_of[at->second] = row;
  }
  std::vector<size_t> rows;
  all_same = true;
  for (size_t f = 0; f < fights.size(); ++f) {
    if (row_of[f] == kNone) {
      all_same = false;
      continue;
    }
    rows.push_back(row_of[f]);
    if (!(events[row_of[f]] == fights[f])) all_same = false;
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

void App::SelectRowsOrFirst(std::vector<size_t> rows) {
  if (rows.empty()) rows.push_back(0);
  selected_events_ = std::move(rows);
  selected_event_ = selected_events_.front();
}

void App::KeepSelection(const std::vector<EventRecord>& before, bool started_over,
                        FollowStep& step) {
  bool same = false;
  std::vector<size_t> rows;
  if (!started_over) rows = RowsOf(before, same);
  // Nothing was selected: the first row is, and it is the same only while
  // it is still the empty event of a log without fights.
  if (before.empty() && !started_over) same = log_.EventTable().front() == EventRecord{};
  SelectRowsOrFirst(std::move(rows));
  // The ability lists index the table, which a start over replaced.
  if (started_over) event_detail_ = EventDetail{};
  if (!same && shown_page_ >= 2) {
    RebuildEventDetail();
    step.detail_changed = true;
  }
}

void App::RebuildEventDetail() {
  const std::string combatant =
      selected_combatant_ < EventDetailList().Rows()
          ? CellAt(EventDetailList(), selected_combatant_, EventDetailColumn::kDamageBy)
          : std::string();
  BuildSelectedEventDetail();
  if (detail_sort_) event_detail_list_.Sort(*detail_sort_);
  selected_combatant_ = 0;
  for (size_t r = 0; r < EventDetailList().Rows(); ++r) {
    if (CellAt(EventDetailList(), r, EventDetailColumn::kDamageBy) == combatant) {
      selected_combatant_ = r;
      break;
    }
  }
}

void App::SelectEvent(size_t row) {
  if (row >= events_list_.Rows()) return;
  selected_event_ = row;
  selected_events_.assign(1, row);
}

void App::SelectEvents(std::vector<size_t> rows) {
  std::erase_if(rows, [this](size_t row) { return row >= events_list_.Rows(); });
  if (rows.empty()) return;
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  selected_events_ = std::move(rows);
  selected_event_ = selected_events_.front();
}

FightSelection App::SelectedFights() const {
  std::vector<int32_t> numbers;
  numbers.reserve(selected_events_.size());
  for (size_t row : selected_events_) numbers.push_back(static_cast<int32_t>(row + 1));
  return FightSelection(std::move(numbers));
}

void App::SelectCombatant(size_t row) {
  if (row < EventDetailList().Rows()) selected_combatant_ = row;
}

std::vector<Failure> App::ChooseTab(int tab) {
  std::vector<Failure> failures;
  if (tab < 1 || tab > 6 || (tab > 4 && !LifePagesAvailable())) return failures;
  // Until the first parse the tab strip is unavailable; only the Settings page
  // can be shown.
  if (!tab_strip_available_ && tab != 1) return failures;
  // Only the detail tabs write files; the Events tab chosen by a parse keeps
  // the parse's.
  if (tab >= 3) written_files_.clear();
  selected_tab_ = tab;
  switch (tab) {
    case 1:
      shown_page_ = 0;
      break;
    case 2:
      shown_page_ = 1;
      export_event_detail_enabled_ = false;
      break;
    case 3:
      ShowEventDetailPage(failures);
      break;
    case 4:
      ShowCombatantDetailPage(failures);
      break;
    default:
      ShowLifePage(tab);
      break;
  }
  return failures;
}

std::string App::SelectedEventName() const {
  return selected_event_ < events_list_.Rows()
             ? UnionCaption(CellAt(events_list_, selected_event_, EventsColumn::kMob),
                            selected_events_.size())
             : std::string();
}

void App::BuildSelectedEventDetail() {
  frame_captions_[2] = "Event Details - " + SelectedEventName();
  const FightUnion fights(log_, SelectedFights());
  TimelineCollector timeline =
      fights.empty() ? TimelineCollector(EventRecord{}) : TimelineCollector(fights);
  event_detail_ = BuildEventDetail(fights, settings_.IncludePets, timeline.Sink());
  event_timeline_ = timeline.Finish(event_detail_.rows);
  event_detail_list_ = ShownEventDetail(EventDetailListRows(event_detail_.rows, log_.Rules()));
}

void App::ShowEventDetailPage(std::vector<Failure>& failures) {
  shown_page_ = 2;
  selected_combatant_ = 0;
  BuildSelectedEventDetail();
  const std::vector<CombatantSummary>& rows = event_detail_.rows;
  detail_sort_.reset();
  if (settings_.Options.PrintDetails) {
    const LineRules rules = log_.Rules();
    if (auto failure = WriteCsvFile(
            output_dir_ / kTextPcListCsvFile,
            [&rows, rules](std::ostream& out) { WriteTextPcListCsv(out, rows, rules); })) {
      failures.push_back(std::move(*failure));
    } else {
      written_files_.push_back(output_dir_ / kTextPcListCsvFile);
    }
  }
  export_event_detail_enabled_ = true;
}

void App::ShowCombatantDetailPage(std::vector<Failure>& failures) {
  // The list may still belong to another event (chosen straight from the
  // Events page); its row text is then looked up in the selected event.
  const bool has_row = selected_combatant_ < EventDetailList().Rows();
  const std::string combatant =
      has_row ? CellAt(EventDetailList(), selected_combatant_, EventDetailColumn::kDamageBy)
              : std::string();
  frame_captions_[3] = "PC Details - " + combatant + " on " + SelectedEventName();
  shown_page_ = 3;
  combatant_detail_list_ = EmptyList<CombatantDetailColumn>(log_.Rules());
  // No combatant row yet (the Event Detail tab was never shown): nothing to
  // analyse, the page shows an empty list.
  if (!has_row) return;
  const FightSelection selection = SelectedFights();
  const std::vector<SourceRow> sources =
      BuildCombatantDetail(log_, selection, combatant, settings_.IncludePets);
  const FightUnion fights(log_, selection);
  const int64_t duration = fights.empty() ? 1 : fights.Summary().Duration;
  const LineRules rules = log_.Rules();
  combatant_detail_list_ = CombatantDetailListRows(sources, duration, rules);
  if (settings_.Options.PrintPCDetails) {
    if (auto failure = WriteCsvFile(
            output_dir_ / kPcDetailCsvFile,
            [&sources, rules](std::ostream& out) { WritePcDetailCsv(out, sources, rules); })) {
      failures.push_back(std::move(*failure));
    } else {
      written_files_.push_back(output_dir_ / kPcDetailCsvFile);
    }
  }
}

void App::EventDetailHeaderClicked(int column) {
  if (column < 1) return;
  const auto key = static_cast<EventDetailColumn>(column - 1);
  if (!IsSortKey(key)) return;
  event_detail_list_.Sort(key);
  detail_sort_ = key;
  selected_combatant_ = 0;
}

std::vector<size_t> App::EventTimelineOrder() const {
  std::vector<std::string> names;
  names.reserve(EventDetailList().Rows());
  for (size_t r = 0; r < EventDetailList().Rows(); ++r) {
    names.push_back(CellAt(EventDetailList(), r, EventDetailColumn::kDamageBy));
  }
  return RowsInListOrder(event_timeline_, names);
}

std::optional<Failure> App::ExportTimelineCsv(const std::filesystem::path& path) const {
  const std::vector<size_t> order = EventTimelineOrder();
  return Write(path, [&](std::ostream& out) { WriteTimelineCsv(out, event_timeline_, order); });
}

std::optional<Failure> App::ExportTimelineSvg(const std::filesystem::path& path,
                                              int window_seconds) const {
  const DpsChart chart = MovingWindowDps(event_timeline_, window_seconds);
  return Write(path, [&](std::ostream& out) { WriteTimelineSvg(out, event_timeline_, chart); });
}

Encounters App::GroupedEncounters() const {
  return GroupEncounters(log_.EventTable(), settings_.EventGap);
}

std::optional<Failure> App::ExportEncountersCsv(const std::filesystem::path& path) const {
  const Encounters encounters = GroupedEncounters();
  return WriteCsvFile(
      path, [&](std::ostream& out) { WriteEncountersCsv(out, log_.EventTable(), encounters); });
}

std::string App::CreationStamp() const {
  return display::DateTimeText(clock_ ? clock_() : LocalNow());
}

std::optional<Failure> App::WriteCsvFile(const std::filesystem::path& path,
                                         const std::function<void(std::ostream&)>& write) const {
  if (auto failure = MakeFolderOf(path)) return failure;
  return Write(path, write);
}

std::optional<Failure> App::Write(const std::filesystem::path& path,
                                  const std::function<void(std::ostream&)>& write) const {
  if (outputs_ != nullptr) return outputs_->Add(path, write);
  return WriteFileAtomically(path, write);
}

std::optional<Failure> App::ExportEvents(const std::filesystem::path& path) const {
  const std::string created = CreationStamp();
  return Write(path, [&](std::ostream& out) { WriteEventsReport(out, events_list_, created); });
}

std::optional<Failure> App::ExportEventDetail(const std::filesystem::path& path) const {
  const std::string created = CreationStamp();
  return Write(path, [&](std::ostream& out) {
    WriteEventDetailReport(out,
                           {log_, SelectedFights(), event_detail_, settings_.IncludePets,
                            events_list_, EventDetailList()},
                           created);
  });
}

}  // namespace ombrel
