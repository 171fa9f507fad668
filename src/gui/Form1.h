#pragma once

#include <array>
#include <filesystem>
#include <vector>

#include <QMainWindow>
#include <QString>

#include "app/App.h"
#include "gui/ParseWorker.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabBar;
class QTreeView;

namespace ombrel::gui {

class Dialogs;
class TextTableModel;

// The main window: the Settings page, the three lists, the tab strip and the
// menus, bound to the app layer, which holds every rule of the workflow.
// Controls carry fixed object names ("Command1", "Frame1(2)",
// "mnuExportEvents", ...) by which tests find them.
class Form1 : public QMainWindow {
  Q_OBJECT

 public:
  // `app` and `dialogs` must outlive the window. `runner` does the parse on
  // the worker thread.
  Form1(App& app, Dialogs& dialogs, ParseRunner runner = &RunParse, QWidget* parent = nullptr);
  ~Form1() override;

  // The About text: five lines joined by CR LF.
  static QString AboutText();

  // True while a parse runs; every command is refused meanwhile.
  bool Busy() const { return busy_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  void BuildList(int list);
  void Load();
  void Connect();

  // Commands.
  void ParseCommand();
  void ParseStageEntered(int stage);
  void ParseFinished();
  void TabChanged(int index);
  void ListDoubleClicked(int list);
  void EventDetailHeaderClicked(int section);
  void ToggleOption(QAction* item, bool PrintOptions::*mark);
  void ExportEvents();
  void ExportEventDetail();
  // Asks for a path and writes one report there, with the hourglass showing.
  using ReportExport = std::optional<Failure> (App::*)(const std::filesystem::path&) const;
  void ExportReport(const QString& title, ReportExport export_report);
  void ShowAbout();

  // Mirrors the app's state: page positions and captions, tab strip, export
  // items.
  void ShowState();
  // Selects the app's selected row in list 0 to 2.
  void SelectFromApp(int list);
  void SelectionChanged(int list);
  void SetBusy(bool busy);
  void ShowFailures(const std::vector<Failure>& failures, const QString& title);

  App& app_;
  Dialogs& dialogs_;
  ParseWorker worker_;
  bool busy_ = false;
  bool syncing_ = false;  // selections set by the program are not the user's
  QString parse_path_;
  QString caption_before_parse_;

  QTabBar* tab_strip_ = nullptr;
  std::array<QGroupBox*, 4> frames_{};
  QLabel* label1_ = nullptr;
  QLabel* label4_ = nullptr;
  QLineEdit* yourname_ = nullptr;
  QComboBox* cmb_event_timer_ = nullptr;
  QCheckBox* chk_pets_ = nullptr;
  QPushButton* command1_ = nullptr;
  QProgressBar* progress_ = nullptr;
  std::array<QTreeView*, 3> list_views_{};
  std::array<TextTableModel*, 3> models_{};

  QMenu* mnu_file_ = nullptr;
  QMenu* mnu_options_ = nullptr;
  QMenu* mnu_export_ = nullptr;
  QMenu* mnu_help_ = nullptr;
  QAction* mnu_open_log_ = nullptr;
  QAction* mnu_quit_ = nullptr;
  QAction* mnu_print_data_ = nullptr;
  QAction* mnu_print_events_ = nullptr;
  QAction* mnu_print_details_ = nullptr;
  QAction* mnu_print_pc_details_ = nullptr;
  QAction* mnu_extended_rules_ = nullptr;  // read at every parse
  QAction* mnu_export_events_ = nullptr;
  QAction* mnu_export_event_detail_ = nullptr;
  QAction* mnu_about_ = nullptr;
};

// A path as the app layer takes it, from a path the dialogs return.
std::filesystem::path ToPath(const QString& path);
// "path: reason" for a message box.
QString FailureText(const Failure& failure);

}  // namespace ombrel::gui
