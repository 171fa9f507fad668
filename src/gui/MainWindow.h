#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include <QMainWindow>
#include <QSet>
#include <QString>

#include "app/App.h"
#include "gui/ParseWorker.h"
#include "gui/WindowMemory.h"
#include "gui/WindowMenus.h"

class QAction;
class QSettings;
class QStackedWidget;
class QTabBar;

namespace ombrel::gui {

class DeathsPage;
class Dialogs;
class EventDetailPage;
class EventsPage;
class FollowController;
class HealingPage;
class LogRoom;
class ListPage;
class LiveMeterWindow;
class SettingsPage;
class StatusLine;

// The main window: the tab strip over one page object per page (Settings,
// Events, Event Detail, PC Detail), the menus, the status line, and the
// commands that bind them to the app layer, which holds every rule of the
// workflow. Widgets carry fixed object names ("Form1", "Command1",
// "ListView2", "mnuExportEvents", ...) by which tests find them.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `app` and `dialogs` must outlive the window. `runner` does the parse on
  // the worker thread. With `settings` the window remembers its Settings
  // page, options, folders, geometry and recent logs there; without it every
  // run starts from the defaults.
  MainWindow(App& app, Dialogs& dialogs, ParseRunner runner = &RunParse,
             QSettings* settings = nullptr, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The About text: five lines joined by CR LF.
  static QString AboutText();

  // True while a parse runs; every command is refused meanwhile.
  bool Busy() const { return busy_; }

  // Parses `path` without the open dialog (command line, dropped file, recent
  // log), after the same settings and name check as "Parse Log".
  void ParseFile(const QString& path);
  // The command line: `name` replaces the name box's text; `log`, when not
  // empty, is parsed at once, or followed with `follow`.
  void OpenAtStart(const std::optional<QString>& name, const QString& log, bool follow = false);

  // Follows `path` while the game writes it (File > Follow Log... without the
  // dialog), after the same settings and name check as "Parse Log": the log
  // is read to its end on the worker thread, then its results are shown and
  // brought up to date every second.
  void FollowFile(const QString& path);
  // One refresh of a followed log, as the timer runs it every second.
  void RefreshFollowed();
  // File > Stop Following: reads the rest, shows and writes the final results.
  void StopFollowing();
  // The folder the CSV files go to.
  QString CsvFolder() const;
  // Remembers the window's place and size and its lists' columns, as a close
  // does (also when the session ends).
  void SaveState();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildPages();
  void BuildShortcuts();
  void Remember();
  void Connect();
  void FitToScreen();
  // Puts a window whose remembered place lies off every screen back on one.
  void PutOnAScreen();

  // Takes the Settings page and checks the name; false when refused.
  bool TakeSettings();
  // The log picker, remembering the folder of the log picked.
  std::optional<QString> PickLog(const QString& title);
  void ParseCommand();
  void FollowCommand();
  // The window while a log is read on a worker: caption, busy state, progress
  // and status; and back when the reading ends or fails.
  void BeginReading(const QString& path, const QString& caption_suffix, const QString& status);
  void EndReading();
  void ReadingFailed(const std::variant<ParsedRun, Failure>& result);
  // With `again` (the same log parsed again) the selected fight stays selected.
  void StartParse(const QString& path, bool again = false);
  void ParseAgain();
  void ParseStageEntered(int stage);
  void ParseFinished();
  void CancelParse();
  // The window once following ended (its files written, or why not).
  void ShowStopped(const std::variant<ParsedRun*, Failure>& stopped);
  void FollowCaughtUp();
  void Refreshed(const App::FollowStep& step);
  // The figures of the log read and the files not written; after a parse
  // (`parsed`), once per log, the signs that the extended rules would read
  // it better, with the offer to switch.
  void ShowRunStatus(const std::vector<Failure>& write_failures, bool parsed);
  void SetCaption(const QString& suffix);
  void ShowFollowStatus();

  void TabChanged(int index);
  void StepTab(int step);
  void RowOpened(int list);
  void ToggleOption(Command command, bool PrintOptions::*mark);
  // The line rules chosen on the Settings page or offered in the status bar.
  void SetExtendedRules(bool extended);
  void ChooseCsvFolder();
  // Asks for a path and writes one report there, with the hourglass showing.
  using ReportExport = std::optional<Failure> (App::*)(const std::filesystem::path&) const;
  void ExportReport(const QString& title, ReportExport export_report);
  void ExportTimeline();
  // Show in Log on the page shown: the fight's first line, or the PC Detail row's first record.
  void ShowInLog();
  // Save Fight Log... for the selected fight.
  void SaveFightLog();
  void ShowTimeline(bool shown);
  // View > Group Into Encounters and Hide Small Fights (MainWindowEvents.cpp),
  // remembered.
  void ConnectEventsView();
  void HideSmallFights();
  void FillRecentLogs();

  // The Deaths and Healing pages (MainWindowLife.cpp).
  void BuildLifePages();
  void ConnectLifePages();
  std::vector<ListPage*> LifeLists() const;
  // Runs `change` between the change brackets of those pages' lists.
  void ChangeLifeLists(const std::function<void()>& change);
  void ChooseLifeTab(int tab);
  // Their tabs, shown for a log read under the extended rules, their
  // captions, lists and export items, as ShowState shows the rest.
  void ShowLifePages();
  // Their lists after a followed log's refresh, scrolled where they were.
  void KeepLifeListsShown();
  void ExportLifeCsv(const QString& title, const char* name, ReportExport export_csv);

  // Mirrors the app's state: shown page and captions, tab strip, export items.
  void ShowState();
  void SetBusy(bool busy);
  void ShowFailures(const std::vector<Failure>& failures, const QString& title);

  App& app_;
  Dialogs& dialogs_;
  WindowMemory memory_;
  ParseWorker worker_;
  bool busy_ = false;
  QString parse_path_;
  bool parsing_again_ = false;
  QString follow_note_;  // said while following, until the log changes again
  QString caption_before_parse_;
  QString status_before_parse_;
  QSet<QString> hinted_logs_;  // logs whose signs for the extended rules were shown

  QTabBar* tab_strip_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  SettingsPage* settings_page_ = nullptr;
  EventsPage* events_page_ = nullptr;
  EventDetailPage* event_detail_page_ = nullptr;
  ListPage* combatant_page_ = nullptr;
  std::array<ListPage*, 3> list_pages_{};
  DeathsPage* deaths_page_ = nullptr;
  HealingPage* healing_page_ = nullptr;
  uint64_t life_builds_seen_ = 0;
  std::unique_ptr<WindowMenus> menus_;
  std::unique_ptr<StatusLine> status_;
  FollowController* follow_ = nullptr;
  LogRoom* log_room_ = nullptr;
  std::unique_ptr<LiveMeterWindow> live_meter_;  // a window of its own
};

}  // namespace ombrel::gui
