#include "app/App.h"

#include <algorithm>
#include <ctime>
#include <utility>

#include "analysis/CombatantDetail.h"
#include "analysis/EventDetail.h"
#include "analysis/EventRange.h"
#include "app/Settings.h"
#include "app/SortEventDetail.h"
#include "events/BuildEvents.h"
#include "report/Reports.h"
#include "report/TimelineSvg.h"
#include "shared/Display.h"
#include "shared/FileOutput.h"

namespace ombrel {
namespace {

// Shares of the progress bar: the parse, then (when asked for) Data.csv, then
// the events, which are far quicker.
constexpr double kParseShare = 0.9;
constexpr double kParseShareBeforeDataCsv = 0.7;

// The event-detail list's "DamageBy" column: the row's name as listed.
constexpr size_t kEventDetailNameColumn = 0;

void WriteCsv(OutputSet& outputs, const std::filesystem::path& path,
              const std::function<void(std::ostream&)>& write, std::vector<Failure>& failures,
              std::vector<std::filesystem::path>& written) {
  if (auto failure = outputs.Add(path, write)) {
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

}  // namespace

std::variant<ParsedRun, Failure> RunParse(const ParseRequest& request, const Progress& progress) {
  const double parse_share = request.print_data ? kParseShareBeforeDataCsv : kParseShare;
  Progress stage_progress;
  stage_progress.cancel = progress.cancel;
  stage_progress.report = [&progress, parse_share](double f) { progress.Report(f * parse_share); };

  progress.Stage(1);
  auto parsed =
      ParseLog(request.log, request.character_name, request.verbs, stage_progress, request.rules);
  if (auto* failure = std::get_if<Failure>(&parsed)) return std::move(*failure);

  ParsedRun run;
  run.parse = std::move(std::get<ParseResult>(parsed));
  // Both files are renamed into place only when both were written; a
  // cancelled or failed run drops its temporary files.
  OutputSet own_outputs;
  OutputSet& outputs = request.outputs != nullptr ? *request.outputs : own_outputs;
  if (run.parse.cancelled || progress.Cancelled()) {
    run.parse.cancelled = true;
    return run;
  }
  run.records = static_cast<int64_t>(run.parse.DamageTable.size());
  if (request.print_data) {
    stage_progress.report = [&progress, parse_share](double f) {
      progress.Report(parse_share + f * (kParseShare - parse_share));
    };
    WriteCsv(
        outputs, request.output_dir / kDataCsvFile,
        [&](std::ostream& out) {
          WriteDataCsv(out, run.parse.DamageTable, stage_progress, run.parse.written_names);
        },
        run.write_failures, run.written);
  }

  progress.Stage(2);
  stage_progress.report = [&progress](double f) {
    progress.Report(kParseShare + f * (1.0 - kParseShare));
  };
  run.events =
      BuildEvents(run.parse.DamageTable, run.parse.MobList, request.event_gap, stage_progress);
  if (progress.Cancelled()) {
    run.parse.cancelled = true;
    return run;
  }
  // With no fight the table holds only the empty event, dated 12/30/1899.
  const bool no_fight = run.events.size() == 1 && run.events.front().Name.empty() &&
                        run.events.front().StartDate.seconds == 0;
  run.fights = no_fight ? 0 : static_cast<int64_t>(run.events.size());
  run.events_list = EventsListRows(run.events);
  if (request.print_events) {
    WriteCsv(
        outputs, request.output_dir / kEventsCsvFile,
        [&run](std::ostream& out) { WriteEventsCsv(out, run.events); }, run.write_failures,
        run.written);
  }
  if (request.outputs == nullptr) {
    std::optional<Failure> failure = own_outputs.Commit();
    if (failure && run.write_failures.empty()) run.write_failures.push_back(std::move(*failure));
    if (failure) run.written.clear();  // nothing was renamed
  }
  progress.Report(1.0);
  return run;
}

App::App(std::filesystem::path output_dir)
    : output_dir_(std::move(output_dir)),
      events_list_(16),
      event_detail_list_(25),
      combatant_detail_list_(16) {
  frame_captions_[0] = "Settings";
  frame_captions_[1] = "Events";
  frame_captions_[2] = "Event Details";
  window_caption_ = kStartCaption;
}

void App::TakeSettings(std::string character_name, int gap_item_index, bool include_pets) {
  TakeSettingsSeconds(std::move(character_name), EventGapFromItem(gap_item_index), include_pets);
}

void App::TakeSettingsSeconds(std::string character_name, int32_t gap_seconds, bool include_pets) {
  globals_.CharacterName = std::move(character_name);
  globals_.EventGap = gap_seconds;
  globals_.IncludePets = include_pets;
}

bool App::CharacterNameIsValid() const {
  return IsValidCharacterName(globals_.CharacterName);
}

ParseRequest App::MakeParseRequest(const std::filesystem::path& log) const {
  ParseRequest r;
  r.log = log;
  r.character_name = globals_.CharacterName;
  r.event_gap = globals_.EventGap;
  r.rules = globals_.Options.ExtendedLineRules ? LineRules::kExtended : LineRules::kDefault;
  r.verbs = AttackVerbsOf(r.rules);
  r.print_data = globals_.Options.PrintData;
  r.print_events = globals_.Options.PrintEvents;
  r.output_dir = output_dir_;
  r.outputs = outputs_;
  return r;
}

void App::AdoptParse(ParsedRun&& run, const std::filesystem::path& log) {
  if (run.parse.cancelled) return;
  // The mob list views into the damage table's buffer, which moves along.
  globals_.DamageTable = std::move(run.parse.DamageTable);
  globals_.MobList = std::move(run.parse.MobList);
  // The analysis reads verbs with the table that read the log.
  globals_.AttackVerbs = AttackVerbsOf(run.parse.rules);
  globals_.EventTable = std::move(run.events);
  if (globals_.EventTable.empty()) globals_.EventTable.emplace_back();
  // The ability lists index the table just replaced.
  globals_.GlyphList.clear();
  globals_.VeteranList.clear();
  events_list_ = std::move(run.events_list);
  if (events_list_.Columns() == 0) events_list_ = TextTable(16);

  written_files_ = run.written;
  last_run_ = std::move(run);
  last_run_.parse.DamageTable = DamageTable{};
  last_run_.parse.MobList = {std::string_view{}};
  last_run_.parse.written_names.clear();
  last_run_.events.clear();
  last_run_.events_list = TextTable(16);

  window_caption_ = std::string(kLogCaptionPrefix) + log.string();
  frame_captions_[0] = "Settings";
  selected_event_ = 0;
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
  if (run.parse.cancelled) return Failure{log.string(), "the parse was cancelled"};
  AdoptParse(std::move(run), log);
  return &last_run_;
}

void App::SelectEvent(size_t row) {
  if (row < events_list_.Rows()) selected_event_ = row;
}

void App::SelectCombatant(size_t row) {
  if (row < event_detail_list_.Rows()) selected_combatant_ = row;
}

std::vector<Failure> App::ChooseTab(int tab) {
  std::vector<Failure> failures;
  if (tab < 1 || tab > 4) return failures;
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
  }
  return failures;
}

std::string App::SelectedEventName() const {
  return selected_event_ < events_list_.Rows() ? events_list_.Cell(selected_event_, 0)
                                               : std::string();
}

void App::ShowEventDetailPage(std::vector<Failure>& failures) {
  frame_captions_[2] = "Event Details - " + SelectedEventName();
  shown_page_ = 2;
  selected_combatant_ = 0;
  const auto event_number = static_cast<int32_t>(selected_event_ + 1);
  const EventRecord* event = FindEvent(globals_, event_number);
  TimelineCollector timeline(event != nullptr ? *event : EventRecord{});
  const std::vector<CombatantSummary> rows =
      ShowEventDetail(globals_, event_number, timeline.Sink());
  event_timeline_ = timeline.Finish(rows);
  event_detail_list_ = EventDetailListRows(rows);
  if (globals_.Options.PrintDetails) {
    if (auto failure = Write(output_dir_ / kTextPcListCsvFile,
                             [&rows](std::ostream& out) { WriteTextPcListCsv(out, rows); })) {
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
  const bool has_row = selected_combatant_ < event_detail_list_.Rows();
  const std::string combatant =
      has_row ? event_detail_list_.Cell(selected_combatant_, 0) : std::string();
  frame_captions_[3] = "PC Details - " + combatant + " on " + SelectedEventName();
  shown_page_ = 3;
  combatant_detail_list_ = TextTable(16);
  // No combatant row yet (the Event Detail tab was never shown): nothing to
  // analyse, the page shows an empty list.
  if (!has_row) return;
  const auto event_number = static_cast<int32_t>(selected_event_ + 1);
  const std::vector<SourceRow> sources = ShowCombatantDetail(globals_, event_number, combatant);
  const int64_t duration = selected_event_ < globals_.EventTable.size()
                               ? globals_.EventTable[selected_event_].Duration
                               : 1;
  combatant_detail_list_ = CombatantDetailListRows(sources, duration);
  if (globals_.Options.PrintPCDetails) {
    if (auto failure = Write(output_dir_ / kPcDetailCsvFile,
                             [&sources](std::ostream& out) { WritePcDetailCsv(out, sources); })) {
      failures.push_back(std::move(*failure));
    } else {
      written_files_.push_back(output_dir_ / kPcDetailCsvFile);
    }
  }
}

void App::EventDetailHeaderClicked(int column) {
  if (column < 1 || column > 5) return;
  SortEventDetail(event_detail_list_, column - 1);
  selected_combatant_ = 0;
}

std::vector<size_t> App::EventTimelineOrder() const {
  std::vector<std::string> names;
  names.reserve(event_detail_list_.Rows());
  for (size_t r = 0; r < event_detail_list_.Rows(); ++r) {
    names.push_back(event_detail_list_.Cell(r, kEventDetailNameColumn));
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

std::string App::CreationStamp() const {
  return display::DateTimeText(clock_ ? clock_() : LocalNow());
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
  const auto event_number = static_cast<int32_t>(selected_event_ + 1);
  return Write(path, [&](std::ostream& out) {
    WriteEventDetailReport(out, globals_, event_number, events_list_, event_detail_list_, created);
  });
}

}  // namespace ombrel
