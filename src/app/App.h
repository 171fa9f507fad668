#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "analysis/EventDetail.h"
#include "analysis/FightUnion.h"
#include "analysis/Timeline.h"
#include "app/LifeLists.h"
#include "app/Settings.h"
#include "app/SortEventDetail.h"
#include "events/BuildEvents.h"
#include "events/Encounters.h"
#include "parse/ParseLog.h"
#include "shared/DateTime.h"
#include "shared/EventRecord.h"
#include "shared/Failure.h"
#include "shared/FileOutput.h"
#include "shared/LineRules.h"
#include "shared/ListColumns.h"
#include "shared/ParsedLog.h"
#include "shared/Progress.h"
#include "shared/TextTable.h"

namespace ombrel {

class LogFollow;

// Everything a parse needs, copied from the settings so that the work can run
// on another thread without touching the App.
struct ParseRequest {
  std::filesystem::path log;
  std::string character_name;
  int32_t event_gap = 18;
  LineRules rules = LineRules::kDefault;
  AttackVerbList verbs = kAttackVerbs;
  bool print_data = false;
  bool print_events = false;
  std::filesystem::path output_dir;  // where Data.csv and Events.csv go
  // When set, the files join this set and the caller commits it; otherwise
  // they are written as a set of their own at the end of the run.
  OutputSet* outputs = nullptr;
};

// The results of both parse stages, ready to replace the App's.
struct ParsedRun {
  ParsedLog log;
  TextTable events_list;
  int64_t lines = 0;                           // lines in the log
  int64_t unreadable_lines = 0;                // lines a rule matched but could not read
  bool cancelled = false;                      // stopped early; nothing else is set
  std::vector<Failure> write_failures;         // CSV files that could not be written
  std::vector<std::filesystem::path> written;  // CSV files written
  int64_t records = 0;                         // damage records the log gave
  int64_t fights = 0;                          // events built; 0 when the log names no opponent
  // What the parse saw beside the records (a followed log's run has none).
  std::optional<LineSigns> signs;
};

// The fights among `events`: 0 when the only one is the empty event of a log
// that names no opponent.
int64_t FightCount(std::span<const EventRecord> events);

// Parses the log and builds its events (stages 1 and 2), writing Data.csv and
// Events.csv into request.output_dir when asked, both or neither. Reports stage
// 1, then stage 2, and one fraction running over both stages and the writing of
// Data.csv. Fails only when the log cannot be read; a file that cannot be
// written lands in write_failures and the results stay. A cancelled run returns
// early with cancelled set and writes nothing more. Touches nothing but
// its arguments, so it may run on any thread.
// An exception thrown by the work (memory running out while the events are
// built, say) is caught and returned as a failure of the log, so that the
// previous results stay.
std::variant<ParsedRun, Failure> RunParse(const ParseRequest& request, const Progress& progress);

// The stages after the parse for a log parsed otherwise (a followed log at
// its end): Data.csv, Events.csv and the run, as RunParse gives them from the
// same parse and events.
std::variant<ParsedRun, Failure> CompleteRun(const ParseRequest& request, ParseResult&& parse,
                                             std::vector<EventRecord> events,
                                             const Progress& progress = {});

// The failure that tells of `error`, an exception thrown while `log` was
// parsed or its events built.
Failure WorkFailure(const std::filesystem::path& log, std::exception_ptr error);

// The comma-separated files, each written into the output folder when its
// Options mark is set.
inline constexpr std::string_view kDataCsvFile = "Data.csv";
inline constexpr std::string_view kEventsCsvFile = "Events.csv";
inline constexpr std::string_view kTextPcListCsvFile = "textpclist.csv";
inline constexpr std::string_view kPcDetailCsvFile = "PCdetail.csv";
// The fight over time, written on request (the batch's --timeline).
inline constexpr std::string_view kTimelineCsvFile = "timeline.csv";
inline constexpr std::string_view kTimelineSvgFile = "timeline.svg";
// Deaths, healing and a death's recap (extended rules; the batch's --deaths,
// --healing and --recap).
inline constexpr std::string_view kDeathsCsvFile = "deaths.csv";
inline constexpr std::string_view kHealingCsvFile = "healing.csv";
inline constexpr std::string_view kRecapCsvFile = "recap.csv";

// The fights grouped into encounters (the batch's --encounters).
inline constexpr std::string_view kEncountersCsvFile = "encounters.csv";

// Window and Settings page captions.
inline constexpr std::string_view kStartCaption = "Ombrel Raid by Zerrit";
inline constexpr std::string_view kLogCaptionPrefix = "Ombrel Raid - ";
inline constexpr std::string_view kParsingCaption = "Settings - 1/2 Parsing Log";
inline constexpr std::string_view kCreatingEventsCaption = "Settings - 2/2 Creating Events";
// After the log's name in the window caption while the log is followed.
inline constexpr std::string_view kFollowingCaptionSuffix = " (following)";

// The tab captions, in tab order.
inline constexpr std::string_view kTabCaptions[4] = {"Settings", "Events", "Event Detail",
                                                     "PC Detail"};
// The tabs that follow them for a log read under the extended rules.
inline constexpr std::string_view kLifeTabCaptions[2] = {"Deaths", "Healing"};

// The program's workflow without any window: the settings, the three lists as
// cell texts, their selections, the page logic and the commands. Both the
// window and the batch front end drive it.
//
// Threads: an App belongs to one thread. The window's parse command calls
// TakeSettings and MakeParseRequest there, hands the request to a worker
// thread that runs RunParse alone (the App must not be touched, read or
// written, until the worker is done), and then calls AdoptParse with the
// run on the App's thread again. A failed or cancelled run is simply dropped:
// the previous results stay as they were.
class App {
 public:
  // `output_dir` receives the CSV files (the program's folder in the window).
  explicit App(std::filesystem::path output_dir);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  Settings& settings() { return settings_; }
  const Settings& settings() const { return settings_; }
  PrintOptions& options() { return settings_.Options; }
  // The log last adopted; an empty one before the first.
  const ParsedLog& Log() const { return log_; }
  // The analysis behind the event-detail list as last built.
  const EventDetail& CurrentEventDetail() const { return event_detail_; }

  // Settings, taken at every parse, kept even when the parse then stops.
  // `gap_item_index` is the selected gap item (-1 for none).
  void TakeSettings(std::string character_name, int gap_item_index, bool include_pets);
  void TakeSettingsSeconds(std::string character_name, int32_t gap_seconds, bool include_pets);
  // False for an empty name or the untouched initial text.
  bool CharacterNameIsValid() const;

  // The parse command in three steps for a window that runs the work on a
  // worker thread: MakeParseRequest and AdoptParse on the App's thread,
  // RunParse anywhere in between.
  ParseRequest MakeParseRequest(const std::filesystem::path& log) const;
  // Replaces every result with the run's (the damage table, mob list, event
  // table and events list; the two detail lists keep their rows until their
  // tab is chosen), sets the window caption to the log, makes the tab strip
  // available, enables Export Events and chooses the Events tab with its
  // first row selected; with `keep_fight` (the same log parsed again) the
  // fight selected before stays selected when the run holds it (found by its
  // first record and name). A cancelled run changes nothing.
  void AdoptParse(ParsedRun&& run, const std::filesystem::path& log, bool keep_fight = false);
  // All three at once (the batch), after the name check. On failure (refused
  // name, unreadable log, cancelled run) nothing changes. On success returns
  // LastRun().
  std::variant<ParsedRun*, Failure> Parse(const std::filesystem::path& log,
                                          const Progress& progress = {});
  // What the last adopted run left besides its results (moved into Log() and
  // EventsList()):
  // line counts and the CSV files that could not be written.
  const ParsedRun& LastRun() const { return last_run_; }

  // Following a log while the game writes it. AdoptFollow takes a follow
  // whose first Refresh has run (on a worker thread for a long log) and
  // adopts its results as AdoptParse adopts a parse, the caption saying the
  // log is followed; no file is written until following stops.
  void AdoptFollow(std::unique_ptr<LogFollow> follow);
  // StartFollowing does all of it on this thread (the batch), after the name
  // check; the log may not exist yet. A cancel through `progress` stops the
  // reading between pieces: the follow starts with what was read.
  std::optional<Failure> StartFollowing(const std::filesystem::path& log,
                                        const Progress& progress = {});
  struct FollowStep {
    bool changed = false;          // the results were replaced
    bool started_over = false;     // the file shrank or was replaced
    bool waiting = false;          // no file to read at the path
    std::string unreadable;        // why the path cannot be read, when it names something
    bool more = false;             // the log held more than a refresh reads: refresh again soon
    bool cancelled = false;        // the reading was cancelled between pieces
    bool detail_changed = false;   // the Event Detail page's fight changed and was built again
    EventsListChange list_change;  // when `changed`: the rows of the events list that changed
  };
  // Reads what the log gained. When the results changed they are replaced
  // with the new ones: the selected event stays selected (found by its first
  // record; after a start over the first row), the tab and page stay, and
  // when the selected fight changed its event detail is built again (with
  // its sort and selected combatant, no file written). A cancel through
  // `progress` stops the reading between pieces; the next refresh reads on.
  // On failure the results stay.
  std::variant<FollowStep, Failure> RefreshFollow(const Progress& progress = {});
  // The same in two halves, so that a window can read a large append off its
  // thread: ReadFollowed reads and classifies what the log gained and may run
  // on a worker thread, while the App's own thread uses nothing of the App
  // but its lists, LastRun, Following and EventIsOpen; AdoptFollowed then
  // brings the results in on the App's thread.
  std::variant<FollowStep, Failure> ReadFollowed(const Progress& progress = {});
  std::variant<FollowStep, Failure> AdoptFollowed(std::variant<FollowStep, Failure> read);
  // Bytes the followed log holds beyond those read; 0 when not known (a pipe).
  uint64_t FollowedBytesWaiting() const;
  // Ends following: reads what is left (unless `read_rest` is false: an
  // interrupt ends following with the bytes read), counts an unended last
  // line, adopts the results as RefreshFollow does and writes the files the
  // Print options ask for, as a parse of those bytes writes them. Returns
  // LastRun().
  std::variant<ParsedRun*, Failure> StopFollowing(bool read_rest = true);
  bool Following() const { return follow_ != nullptr; }
  // True when row `row` of the events list is a fight still open while
  // following (its mob's latest, within the gap of the log's latest time).
  bool EventIsOpen(size_t row) const;
  // Those rows, in order (few: at most one per mob).
  const std::vector<size_t>& OpenEventRows() const { return open_events_; }

  // The three lists.
  const TextTable& EventsList() const { return events_list_; }
  const TextTable& EventDetailList() const { return event_detail_list_.List(); }
  const TextTable& CombatantDetailList() const { return combatant_detail_list_; }

  // Selected rows, 0-based; the first row until another is chosen, and again
  // after each fill. A row outside the list is ignored.
  void SelectEvent(size_t row);
  // Several fights seen as one on the detail pages, their files and report
  // (rows outside the list ignored, nothing changed when none is left); the
  // first of them is SelectedEvent().
  void SelectEvents(std::vector<size_t> rows);
  void SelectCombatant(size_t row);
  size_t SelectedEvent() const { return selected_event_; }
  // Every selected row, ascending: SelectedEvent() alone, or the rows given
  // to SelectEvents.
  const std::vector<size_t>& SelectedEvents() const { return selected_events_; }
  // The same as 1-based event numbers, for the analysis.
  FightSelection SelectedFights() const;
  size_t SelectedCombatant() const { return selected_combatant_; }

  // Choosing tab 1 to 4 (as a click or the program would), or 5 and 6
  // (Deaths, Healing) while LifePagesAvailable(). Choosing "Event Detail" or
  // "PC Detail" rebuilds its list from the selections and writes its CSV file
  // when its mark is set; returns the CSV files that could not be written.
  // Choosing "Deaths" or "Healing" builds their lists (BuildLifeLists) and
  // writes nothing. Before the first parse only "Settings" can be chosen.
  std::vector<Failure> ChooseTab(int tab);
  int SelectedTab() const { return selected_tab_; }  // 1 to 6
  int ShownPage() const { return shown_page_; }      // 0 to 5
  std::string FrameCaption(int page) const { return frame_captions_[page]; }
  std::string WindowCaption() const { return window_caption_; }
  bool TabStripAvailable() const { return tab_strip_available_; }
  bool ExportEventsEnabled() const { return export_events_enabled_; }
  bool ExportEventDetailEnabled() const { return export_event_detail_enabled_; }

  // A click on header `column` (1-based) of the event-detail list: the
  // headers of the sort keys (1 to 5) sort it, any other does nothing.
  void EventDetailHeaderClicked(int column);

  // Export menu: the two HTML reports of the lists as they are shown, the
  // event detail for the selected event. Written whole or not at all.
  std::optional<Failure> ExportEvents(const std::filesystem::path& path) const;
  std::optional<Failure> ExportEventDetail(const std::filesystem::path& path) const;

  // The fights of the current log grouped into encounters with the gap of
  // its parse, and encounters.csv of them.
  Encounters GroupedEncounters() const;
  std::optional<Failure> ExportEncountersCsv(const std::filesystem::path& path) const;

  // The timeline of the event last shown on the Event Detail page, built in
  // the same walk as its list; its rows in the list's current order.
  const Timeline& EventTimeline() const { return event_timeline_; }
  std::vector<size_t> EventTimelineOrder() const;
  // timeline.csv and timeline.svg (a moving window of `window_seconds`) of that event.
  std::optional<Failure> ExportTimelineCsv(const std::filesystem::path& path) const;
  std::optional<Failure> ExportTimelineSvg(const std::filesystem::path& path,
                                           int window_seconds = kDefaultDpsWindow) const;

  // The Deaths and Healing pages (extended rules): their lists, of the fights
  // chosen in the events list seen as one or, with `whole_log` or no fight,
  // of the whole log, built again by BuildLifeLists (AppLife.cpp).
  void BuildLifeLists(bool whole_log = false);
  // True when the Deaths and Healing tabs follow the four: a log read under
  // the extended rules is shown.
  bool LifePagesAvailable() const;
  // Whether those pages show the whole log rather than the chosen fight; the
  // lists of a shown page are built again at once.
  void SetLifeWholeLog(bool whole_log);
  bool LifeWholeLog() const { return life_whole_log_; }
  // Counts the times the lists were built or dropped, so that a view knows
  // when to read them again; choosing a death, a healer or a recap window
  // through Life() does not count.
  uint64_t LifeBuilds() const { return life_builds_; }
  LifeLists& Life() { return life_; }
  const LifeLists& Life() const { return life_; }
  const TextTable& DeathsList() const { return life_.Deaths(); }
  size_t SelectedDeath() const { return life_.SelectedDeath(); }
  const TextTable& RecapList() const { return life_.RecapList(); }
  const TextTable& HealersList() const { return life_.Healers(); }
  size_t SelectedHealer() const { return life_.SelectedHealer(); }
  const TextTable& HealingByTargetList() const { return life_.ByTarget(); }
  const TextTable& HealingBySpellList() const { return life_.BySpell(); }
  const TextTable& HealedTargetsList() const { return life_.Targets(); }
  size_t SelectedHealedTarget() const { return life_.SelectedTarget(); }
  const TextTable& TargetHealersList() const { return life_.TargetHealers(); }
  // deaths.csv and healing.csv of those lists, recap.csv of the chosen death.
  std::optional<Failure> ExportDeathsCsv(const std::filesystem::path& path) const;
  std::optional<Failure> ExportHealingCsv(const std::filesystem::path& path) const;
  std::optional<Failure> ExportRecapCsv(const std::filesystem::path& path) const;

  // The clock of the reports' creation stamp (the local time by default).
  void SetClock(std::function<DateTime()> clock) { clock_ = std::move(clock); }

  const std::filesystem::path& OutputDir() const { return output_dir_; }
  // Where the CSV files of the next parse or tab change go.
  void SetOutputDir(std::filesystem::path dir) { output_dir_ = std::move(dir); }
  // The CSV files that the last adopted parse or the last tab change wrote.
  const std::vector<std::filesystem::path>& WrittenFiles() const { return written_files_; }
  // True when the last adopted parse found no fight: the events list then
  // holds only the empty event's row.
  bool LastParseFoundNoFight() const { return tab_strip_available_ && last_run_.fights == 0; }

  // From now on every file the App writes (parse files, tab files, exports)
  // joins `set`, which the caller commits or drops; null (the default) writes
  // each command's files at once.
  void CollectOutputsIn(OutputSet* set) { outputs_ = set; }

 private:
  // Makes a parse's log and events list the current ones, keeping the rest of
  // the run (line counts, files written) for the status and reports.
  void TakeRun(ParsedRun&& run);
  // The event detail, its timeline and its list (unsorted) of the selected
  // event, and the page's caption.
  void BuildSelectedEventDetail();
  void ShowEventDetailPage(std::vector<Failure>& failures);
  void ShowCombatantDetailPage(std::vector<Failure>& failures);
  // The Deaths (tab 5) or Healing (tab 6) page, its lists built (AppLife.cpp).
  void ShowLifePage(int tab);
  // Drops the lists, whose views were into the log just replaced, keeping
  // the recap window.
  void DropLifeLists();
  // The same, then built again while their page is shown, the rows chosen
  // kept where they still are.
  void KeepLifeLists();
  // "an orc", "an orc + 2 more", or "the whole log".
  std::string LifeCaption() const;
  // The first selected fight's mob, and "+ N more" over several.
  std::string SelectedEventName() const;
  // The selected fights as they stand.
  std::vector<EventRecord> SelectedEventRecords() const;
  // The rows of `fights` in the events table, ascending (found by first
  // record and mob); `all_same` tells whether each was found unchanged.
  std::vector<size_t> RowsOf(const std::vector<EventRecord>& fights, bool& all_same) const;
  // Selects `rows`, or the first row when there are none.
  void SelectRowsOrFirst(std::vector<size_t> rows);
  // After the log and events list were replaced while following: selects
  // the events selected `before` again and rebuilds the detail if one changed.
  void KeepSelection(const std::vector<EventRecord>& before, bool started_over, FollowStep& step);
  void RebuildEventDetail();
  // Notes which events are open while following.
  void NoteOpenEvents();
  std::string CreationStamp() const;
  std::optional<Failure> Write(const std::filesystem::path& path,
                               const std::function<void(std::ostream&)>& write) const;
  // Write into the CSV folder, made first when missing.
  std::optional<Failure> WriteCsvFile(const std::filesystem::path& path,
                                      const std::function<void(std::ostream&)>& write) const;

  std::filesystem::path output_dir_;
  Settings settings_;
  ParsedLog log_;
  LifeLists life_;
  bool life_whole_log_ = false;
  uint64_t life_builds_ = 0;
  EventDetail event_detail_;
  TextTable events_list_;
  ShownEventDetail event_detail_list_;
  Timeline event_timeline_;
  TextTable combatant_detail_list_;
  size_t selected_event_ = 0;
  std::vector<size_t> selected_events_{0};  // ascending; front() is selected_event_
  size_t selected_combatant_ = 0;
  int selected_tab_ = 1;
  int shown_page_ = 0;
  std::string frame_captions_[6];
  std::string window_caption_;
  bool tab_strip_available_ = false;
  bool export_events_enabled_ = false;
  bool export_event_detail_enabled_ = false;
  ParsedRun last_run_;
  std::vector<std::filesystem::path> written_files_;
  std::function<DateTime()> clock_;
  OutputSet* outputs_ = nullptr;
  std::unique_ptr<LogFollow> follow_;
  // While following: the selected event before a refresh, and which events
  // are open as of the last one adopted (read while a refresh runs).
  std::vector<EventRecord> selected_before_refresh_;
  std::vector<size_t> open_events_;  // rows, in order
  // The key the event-detail list was last sorted by since it was built.
  std::optional<EventDetailColumn> detail_sort_;
};

}  // namespace ombrel
