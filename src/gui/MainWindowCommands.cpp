// The main window's commands on what is shown: pages, options, exports,
// recent logs, dropped files, and the window's state.
#include <algorithm>

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QTreeView>

#include "gui/Cp1252.h"
#include "gui/DeathsPage.h"
#include "gui/Dialogs.h"
#include "gui/EventDetailPage.h"
#include "gui/EventsPage.h"
#include "gui/FollowController.h"
#include "gui/HealingPage.h"
#include "gui/LiveMeterWindow.h"
#include "gui/LogRoom.h"
#include "gui/MainWindow.h"
#include "gui/Paths.h"
#include "gui/SettingsPage.h"
#include "gui/StatusLine.h"
#include "gui/TextTableModel.h"
#include "gui/WaitCursor.h"

namespace ombrel::gui {

namespace {

const QString kReportFilter = QStringLiteral("Web files (*.htm)");
const QString kCannotWrite = QStringLiteral("Cannot Write File");
constexpr const char* kSaveFolder = "save";
constexpr const char* kCsvFolder = "csv";

// The one local file of a drag, if it carries exactly one.
QString DraggedFile(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls() || mime->urls().size() != 1) return {};
  const QUrl url = mime->urls().front();
  return url.isLocalFile() ? url.toLocalFile() : QString();
}

// "a gnoll 2006-01-02 15-04-05": the opponent and the start of the fight shown.
QString TimelinePictureName(const App& app) {
  const std::span<const EventRecord> events = app.Log().EventTable();
  if (app.SelectedEvent() >= events.size()) return QStringLiteral("timeline");
  const EventRecord& fight = events[app.SelectedEvent()];
  const CivilTime start = fight.StartDate.ToCivil();
  return FromCp1252(fight.Name).replace(QLatin1Char('/'), QLatin1Char('-')) +
         QString::asprintf(" %04d-%02d-%02d %02d-%02d-%02d", start.year, start.month, start.day,
                           start.hour, start.minute, start.second);
}

}  // namespace

void MainWindow::TabChanged(int index) {
  if (busy_ || !app_.TabStripAvailable()) {
    ShowState();  // puts the tab strip back on the app's tab
    return;
  }
  const int tab = index + 1;
  if (tab > 4) {
    ChooseLifeTab(tab);
    return;
  }
  std::vector<Failure> failures;
  if (tab < 3) {
    failures = app_.ChooseTab(tab);
  } else {
    // Choosing a detail tab rebuilds its list.
    const WaitCursor wait;
    ListPage* rebuilt = list_pages_[tab - 2];
    ChangeLists(std::span(&rebuilt, 1), [&] { failures = app_.ChooseTab(tab); });
    // A rebuilt event-detail list is in its own order again.
    if (tab == 3) {
      event_detail_page_->ClearSortIndicator();
      event_detail_page_->DrawTimeline();
    }
  }
  ShowState();
  if (tab >= 3) status_->ShowWithWrittenFiles({});
  ShowFailures(failures, kCannotWrite);
}

void MainWindow::StepTab(int step) {
  if (busy_ || !tab_strip_->isEnabled()) return;
  const int tabs = tab_strip_->count();
  tab_strip_->setCurrentIndex((tab_strip_->currentIndex() + step + tabs) % tabs);
}

void MainWindow::RowOpened(int list) {
  if (busy_) return;
  // The shortcut to the next tab: events to Event Detail, combatants to PC Detail.
  tab_strip_->setCurrentIndex(list == 0 ? 2 : 3);
}

void MainWindow::ToggleOption(Command command, bool PrintOptions::*mark) {
  bool& value = app_.options().*mark;
  if (!busy_) value = !value;
  (*menus_)[command]->setChecked(value);
  settings_page_->SetExtendedRules(app_.options().ExtendedLineRules);
  memory_.SetOptions(app_.options());
}

void MainWindow::SetExtendedRules(bool extended) {
  if (!busy_) app_.options().ExtendedLineRules = extended;
  (*menus_)[Command::kExtendedRules]->setChecked(app_.options().ExtendedLineRules);
  settings_page_->SetExtendedRules(app_.options().ExtendedLineRules);
  memory_.SetOptions(app_.options());
}

void MainWindow::ChooseCsvFolder() {
  if (busy_) return;
  const std::optional<QString> folder =
      dialogs_.ChooseFolder(this, QStringLiteral("CSV Folder"), CsvFolder());
  if (!folder) return;
  app_.SetOutputDir(ToPath(*folder));
  memory_.SetFolder(kCsvFolder, *folder);
  status_->SetText(QStringLiteral("CSV files go to %1.").arg(QDir::toNativeSeparators(*folder)));
}

QString MainWindow::CsvFolder() const {
  return FromPath(app_.OutputDir());
}

void MainWindow::ExportReport(const QString& title, ReportExport export_report) {
  if (busy_) return;
  const std::optional<QString> path =
      dialogs_.SaveFile(this, title, kReportFilter, memory_.Folder(kSaveFolder));
  if (!path) return;
  memory_.SetFolder(kSaveFolder, FolderOf(*path));
  std::optional<Failure> failure;
  {
    const WaitCursor wait;
    failure = (app_.*export_report)(ToPath(*path));
  }
  if (failure) {
    ShowFailures({*failure}, kCannotWrite);
  } else {
    status_->SetText(QStringLiteral("Wrote %1.").arg(QDir::toNativeSeparators(*path)));
  }
}

void MainWindow::ExportTimeline() {
  if (busy_ || !app_.ExportEventDetailEnabled()) return;
  // The dialog proposes a name; the type chosen gives a name typed without
  // an extension its own.
  const QString folder = memory_.Folder(kSaveFolder);
  const std::optional<QString> path =
      dialogs_.SaveFile(this, QStringLiteral("Save Timeline Picture As"),
                        QStringLiteral("SVG picture (*.svg);;PNG picture (*.png)"),
                        folder.isEmpty() ? TimelinePictureName(app_)
                                         : QDir(folder).filePath(TimelinePictureName(app_)));
  if (!path) return;
  memory_.SetFolder(kSaveFolder, FolderOf(*path));
  if (const std::optional<QString> problem = event_detail_page_->SaveTimelinePicture(*path)) {
    dialogs_.Message(this, kCannotWrite,
                     QDir::toNativeSeparators(*path) + QStringLiteral(": ") + *problem);
  } else {
    status_->SetText(QStringLiteral("Wrote %1.").arg(QDir::toNativeSeparators(*path)));
  }
}

void MainWindow::ShowTimeline(bool shown) {
  event_detail_page_->ShowTimeline(shown);
  (*menus_)[Command::kViewTimeline]->setChecked(shown);
}

void MainWindow::FillRecentLogs() {
  QMenu* recent = menus_->RecentLogs();
  recent->clear();
  const QStringList logs = memory_.RecentLogs();
  for (int i = 0; i < logs.size(); ++i) {
    const QString& log = logs[i];
    QAction* entry =
        recent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(log)));
    entry->setObjectName(QStringLiteral("mnuRecentLog%1").arg(i + 1));
    entry->setData(log);
    // A log that was moved or deleted shows greyed.
    entry->setEnabled(QFileInfo::exists(log));
    connect(entry, &QAction::triggered, this, [this, log] { ParseFile(log); });
  }
  recent->setEnabled(!logs.isEmpty() && !busy_);
}

void MainWindow::ShowState() {
  for (int page = 0; page < 4; ++page) {
    // While a parse runs the Settings caption tells its stage.
    if (!(busy_ && page == 0))
      static_cast<QGroupBox*>(pages_->widget(page))->setTitle(FromCp1252(app_.FrameCaption(page)));
  }
  ShowLifePages();
  pages_->setCurrentIndex(std::clamp(app_.ShownPage(), 0, pages_->count() - 1));
  tab_strip_->setEnabled(!busy_ && app_.TabStripAvailable());
  {
    const QSignalBlocker quiet(tab_strip_);
    tab_strip_->setCurrentIndex(std::clamp(app_.SelectedTab(), 1, tab_strip_->count()) - 1);
  }
  const WindowMenus& m = *menus_;
  m[Command::kExportEvents]->setEnabled(app_.ExportEventsEnabled());
  m[Command::kExportEventDetail]->setEnabled(app_.ExportEventDetailEnabled());
  m[Command::kExportTimeline]->setEnabled(app_.ExportEventDetailEnabled());
  const bool parsed = !busy_ && app_.TabStripAvailable() && !app_.LastParseFoundNoFight();
  m[Command::kFindInLog]->setEnabled(!busy_ && app_.TabStripAvailable());
  m[Command::kShowInLog]->setEnabled(parsed);
  m[Command::kSaveFightLog]->setEnabled(parsed);
  live_meter_->Refresh();
}

void MainWindow::ShowInLog() {
  if (busy_ || !app_.TabStripAvailable()) return;
  if (app_.ShownPage() == 3) {
    const int row = combatant_page_->View()->currentIndex().row();
    if (row >= 0) log_room_->ShowCombatantRow(static_cast<size_t>(row));
  } else {
    log_room_->ShowFight(app_.SelectedEvent());
  }
}

void MainWindow::SaveFightLog() {
  if (busy_ || !app_.TabStripAvailable()) return;
  if (auto folder = log_room_->SaveFightLog(app_.SelectedEvent(), memory_.Folder(kSaveFolder))) {
    memory_.SetFolder(kSaveFolder, *folder);
  }
}

void MainWindow::SetBusy(bool busy) {
  busy_ = busy;
  const WindowMenus& m = *menus_;
  settings_page_->SetBusy(busy);
  events_page_->FilterBox()->setEnabled(!busy);
  m[Command::kOpenLog]->setEnabled(!busy);
  m[Command::kParseAgain]->setEnabled(!busy && !parse_path_.isEmpty() && app_.TabStripAvailable());
  m[Command::kFollowLog]->setEnabled(!busy);
  m[Command::kStopFollowing]->setEnabled(!busy && app_.Following());
  m.RecentLogs()->setEnabled(!busy && !m.RecentLogs()->isEmpty());
  m.MenuOf(Command::kPrintData)->menuAction()->setEnabled(!busy);
  m.MenuOf(Command::kExportEvents)->menuAction()->setEnabled(!busy);
  ShowState();
}

void MainWindow::ShowFailures(const std::vector<Failure>& failures, const QString& title) {
  for (const Failure& failure : failures) dialogs_.Message(this, title, FailureText(failure));
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!busy_ && !DraggedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QString path = DraggedFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  // The drop ends first; the name check's message box must not block it.
  QMetaObject::invokeMethod(
      this, [this, path] { ParseFile(path); }, Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Whatever reads a log stops and is dropped; no file is written.
  if (follow_->ReadingAppend()) follow_->Abandon();
  CancelParse();
  SaveState();
  event->accept();
}

void MainWindow::SaveState() {
  memory_.SetBytes("geometry", saveGeometry());
  for (ListPage* page : {list_pages_[0], combatant_page_}) page->SaveColumns(memory_);
  event_detail_page_->SaveLayout();
  deaths_page_->SaveLayout();
  healing_page_->SaveLayout();
  live_meter_->SaveState();
}

}  // namespace ombrel::gui
