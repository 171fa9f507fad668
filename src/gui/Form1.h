#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include <QMainWindow>
#include <QString>

#include "app/App.h"
#include "app/LogFollow.h"
#include "gui/ParseWorker.h"
#include "gui/WindowMemory.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QSettings;
class QSplitter;
class QStackedWidget;
class QTabBar;
class QTimer;
class QTreeView;

namespace ombrel::gui {

class Dialogs;
class TextTableModel;
class TimelinePane;

// The main window: the Settings page, the three lists, the tab strip and the
// menus, bound to the app layer, which holds every rule of the workflow.
// Controls carry fixed object names ("Command1", "Frame1(2)",
// "mnuExportEvents", ...) by which tests find them.
class Form1 : public QMainWindow {
  Q_OBJECT

 public:
  // `app` and `dialogs` must outlive the window. `runner` does the parse on
  // the worker thread. With `settings` the window remembers its Settings
  // page, options, folders, geometry and recent logs there; without it every
  // run starts from the defaults.
  Form1(App& app, Dialogs& dialogs, ParseRunner runner = &RunParse, QSettings* settings = nullptr,
        QWidget* parent = nullptr);
  ~Form1() override;

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

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildControls();
  QWidget* BuildSettingsPage();
  void BuildStatusBar();
  void BuildMenus();
  void BuildList(int list);
  void BuildShortcuts();
  void Load();
  void Remember();
  void Connect();
  void FitToScreen();

  // Commands.
  void ParseCommand();
  // Takes the Settings page and checks the name; false when refused.
  bool TakeSettings();
  // The log picker, remembering the folder of the log picked.
  std::optional<QString> PickLog(const QString& title);
  // The window while a log is read on a worker: caption, busy state, progress
  // and status; and back when the reading ends or fails.
  void BeginReading(const QString& path, const QString& caption_suffix, const QString& status);
  void EndReading();
  void ReadingFailed(const std::variant<ParsedRun, Failure>& result);
  void StartParse(const QString& path);
  void ParseStageEntered(int stage);
  void ParseFinished();
  void CancelParse();
  void FollowCommand();
  void FollowCaughtUp();
  // The status bar while following: the figures and the open fights, each
  // "(live)".
  void ShowFollowStatus();
  // The status bar after a parse, or after following stopped: the figures
  // of the log read (or that it held no fight), and the files not written.
  void ShowRunStatus(const std::vector<Failure>& write_failures);
  void TabChanged(int index);
  void StepTab(int step);
  void ListDoubleClicked(int list);
  void EventDetailHeaderClicked(int section);
  void ToggleOption(QAction* item, bool PrintOptions::*mark);
  void ChooseCsvFolder();
  void ExportEvents();
  void ExportEventDetail();
  // Asks for a path and writes one report there, with the hourglass showing.
  using ReportExport = std::optional<Failure> (App::*)(const std::filesystem::path&) const;
  void ExportReport(const QString& title, ReportExport export_report);
  // The timeline under the event-detail list: shown or closed (View >
  // Timeline), drawn for the event shown, its line of the current row
  // highlighted, saved as a picture (Export > Timeline Picture...).
  void ShowTimelinePane(bool shown);
  void DrawTimeline();
  void HighlightTimelineRow();
  void ExportTimeline();
  void ShowAbout();
  // Puts the rows of a list on the clipboard: the header, then every row (or
  // only the selected ones), cells separated by tabs.
  void CopyRows(int list, bool all);
  void FillRecentLogs();

  // Mirrors the app's state: shown page and captions, tab strip, export items.
  void ShowState();
  // Selects the app's selected row in list 0 to 2.
  void SelectFromApp(int list);
  void CurrentRowChanged(int list, int row);
  void SetBusy(bool busy);
  void ShowFailures(const std::vector<Failure>& failures, const QString& title);
  // Shows `figures` in the status bar, followed by the CSV files the last
  // command wrote; without either it leaves the status bar as it is.
  void ShowStatus(const QString& figures);

  App& app_;
  Dialogs& dialogs_;
  WindowMemory memory_;
  ParseWorker worker_;
  // Reads a followed log to its end off the window's thread; the follow it
  // made waits here until it is adopted.
  std::shared_ptr<std::unique_ptr<LogFollow>> caught_up_;
  ParseWorker follow_worker_;
  QTimer* follow_timer_ = nullptr;
  bool busy_ = false;
  bool syncing_ = false;  // selections set by the program are not the user's
  QString parse_path_;
  QString caption_before_parse_;
  QString status_before_parse_;
  // The sort indicator of the event-detail list; none until a header sorts it.
  int sort_section_ = -1;
  Qt::SortOrder sort_order_ = Qt::AscendingOrder;

  QTabBar* tab_strip_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  std::array<QGroupBox*, 4> frames_{};
  QLabel* label1_ = nullptr;
  QLabel* label4_ = nullptr;
  QLineEdit* yourname_ = nullptr;
  QComboBox* cmb_event_timer_ = nullptr;
  QCheckBox* chk_pets_ = nullptr;
  QPushButton* command1_ = nullptr;
  QLabel* status_text_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* cancel_ = nullptr;
  std::array<QTreeView*, 3> list_views_{};
  std::array<TextTableModel*, 3> models_{};
  QSplitter* event_detail_split_ = nullptr;
  TimelinePane* timeline_pane_ = nullptr;

  QMenu* mnu_file_ = nullptr;
  QMenu* mnu_recent_ = nullptr;
  QMenu* mnu_options_ = nullptr;
  QMenu* mnu_view_ = nullptr;
  QMenu* mnu_export_ = nullptr;
  QMenu* mnu_help_ = nullptr;
  QAction* mnu_open_log_ = nullptr;
  QAction* mnu_parse_again_ = nullptr;
  QAction* mnu_follow_log_ = nullptr;
  QAction* mnu_stop_following_ = nullptr;
  QAction* mnu_quit_ = nullptr;
  QAction* mnu_print_data_ = nullptr;
  QAction* mnu_print_events_ = nullptr;
  QAction* mnu_print_details_ = nullptr;
  QAction* mnu_print_pc_details_ = nullptr;
  QAction* mnu_csv_folder_ = nullptr;
  QAction* mnu_extended_rules_ = nullptr;  // read at every parse
  QAction* mnu_export_events_ = nullptr;
  QAction* mnu_export_event_detail_ = nullptr;
  QAction* mnu_view_timeline_ = nullptr;
  QAction* mnu_export_timeline_ = nullptr;
  QAction* mnu_about_ = nullptr;
};

// A path as the app layer takes it, from a path the dialogs return.
std::filesystem::path ToPath(const QString& path);
// A path from the app layer, for display.
QString FromPath(const std::filesystem::path& path);
// "path: reason" for a message box.
QString FailureText(const Failure& failure);
// Pixels for a length given in twips, for text in `font`: 15 twips to the
// pixel for a line of 13 pixels, more where the font is larger.
int TwipsToPixels(int twips, const QFont& font);
// Where the CSV files go when none was chosen: the program's folder when it
// can be written, otherwise a folder named after the program in the user's
// documents folder (created when missing).
QString DefaultCsvFolder(const QString& program_dir);

}  // namespace ombrel::gui
