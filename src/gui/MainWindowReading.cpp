// The main window's commands that read a log: parse, follow, cancel.
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QMenu>
#include <QStackedWidget>
#include <QTreeView>

#include "app/Settings.h"
#include "gui/Cp1252.h"
#include "gui/Dialogs.h"
#include "gui/EventDetailPage.h"
#include "gui/EventsPage.h"
#include "gui/FollowController.h"
#include "gui/LogRoom.h"
#include "gui/MainWindow.h"
#include "gui/Paths.h"
#include "gui/SettingsPage.h"
#include "gui/StatusLine.h"
#include "gui/WaitCursor.h"

namespace ombrel::gui {

namespace {

const QString kLogFilter = QStringLiteral("Text files (*.txt);;All files (*)");
constexpr const char* kOpenFolder = "open";

}  // namespace

bool MainWindow::TakeSettings() {
  const WindowMemory::Page page = settings_page_->Values();
  app_.TakeSettings(ToCp1252(page.name), page.gap_item, page.pets);
  if (!app_.CharacterNameIsValid()) {
    dialogs_.Message(this, FromCp1252(kInvalidNameTitle), FromCp1252(kInvalidNameMessage));
    return false;
  }
  memory_.SetLastPage(page);
  return true;
}

std::optional<QString> MainWindow::PickLog(const QString& title) {
  const std::optional<QString> path =
      dialogs_.OpenFile(this, title, kLogFilter, memory_.Folder(kOpenFolder));
  if (path) memory_.SetFolder(kOpenFolder, FolderOf(*path));
  return path;
}

void MainWindow::ParseCommand() {
  if (busy_ || !TakeSettings()) return;
  if (const auto path = PickLog(QStringLiteral("Pick a log file already"))) StartParse(*path);
}

void MainWindow::FollowCommand() {
  if (busy_ || !TakeSettings()) return;
  if (const auto path = PickLog(QStringLiteral("Pick a log file to follow"))) FollowFile(*path);
}

void MainWindow::ParseFile(const QString& path) {
  if (busy_ || !TakeSettings()) return;
  StartParse(path);
}

void MainWindow::ParseAgain() {
  if (busy_ || parse_path_.isEmpty() || !TakeSettings()) return;
  StartParse(parse_path_, true);
}

void MainWindow::OpenAtStart(const std::optional<QString>& name, const QString& log, bool follow) {
  if (name) settings_page_->SetName(*name);
  if (log.isEmpty()) return;
  if (follow) {
    FollowFile(log);
  } else {
    ParseFile(log);
  }
}

void MainWindow::SetCaption(const QString& suffix) {
  setWindowTitle(FromCp1252(kLogCaptionPrefix) + QDir::toNativeSeparators(parse_path_) + suffix);
}

void MainWindow::BeginReading(const QString& path, const QString& caption_suffix,
                              const QString& status) {
  parse_path_ = path;
  log_room_->ReadingStarts(path);
  caption_before_parse_ = windowTitle();
  status_before_parse_ = status_->Text();
  SetCaption(caption_suffix);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  SetBusy(true);
  ParseStageEntered(1);
  status_->ShowProgress(true);
  status_->OfferExtendedRules(false);
  status_->SetText(status.arg(QDir::toNativeSeparators(path)));
}

void MainWindow::EndReading() {
  status_->ShowProgress(false);
  QApplication::restoreOverrideCursor();
  SetBusy(false);
}

void MainWindow::ReadingFailed(const std::variant<ParsedRun, Failure>& result) {
  setWindowTitle(caption_before_parse_);
  settings_page_->setTitle(FromCp1252(app_.FrameCaption(0)));
  status_->SetText(status_before_parse_);
  if (const auto* failure = std::get_if<Failure>(&result))
    dialogs_.Message(this, QStringLiteral("Cannot Read Log"), FailureText(*failure));
}

void MainWindow::StartParse(const QString& path, bool again) {
  parsing_again_ = again;
  BeginReading(path, QString(), QStringLiteral("Parsing %1..."));
  // The events list keeps its rows until the new ones replace them, so that a
  // log that cannot be read leaves everything as it was.
  worker_.Start(app_.MakeParseRequest(ToPath(path)));
}

void MainWindow::ParseStageEntered(int stage) {
  settings_page_->setTitle(FromCp1252(stage >= 2 ? kCreatingEventsCaption : kParsingCaption));
}

void MainWindow::ParseFinished() {
  std::variant<ParsedRun, Failure> result = worker_.TakeResult();
  EndReading();
  auto* run = std::get_if<ParsedRun>(&result);
  if (run == nullptr || run->cancelled) {
    ReadingFailed(result);
    return;
  }
  const std::vector<Failure> write_failures = run->write_failures;
  // Adopting a parse ends following.
  ChangeLists(list_pages_,
              [&] { app_.AdoptParse(std::move(*run), ToPath(parse_path_), parsing_again_); });
  log_room_->Adopted(parse_path_);
  follow_->StopRefreshing();
  memory_.AddRecentLog(QFileInfo(parse_path_).absoluteFilePath());
  FillRecentLogs();
  SetBusy(false);
  ShowRunStatus(write_failures, true);
}

void MainWindow::ShowRunStatus(const std::vector<Failure>& write_failures, bool parsed) {
  QString text = status_->RunText(QFileInfo(parse_path_).fileName());
  const QString hint = parsed ? status_->RulesHint() : QString();
  const QString log = QFileInfo(parse_path_).absoluteFilePath();
  const bool offered = !hint.isEmpty() && !hinted_logs_.contains(log);
  if (offered) {
    // First, so that a narrow window cuts the figures rather than the hint.
    text = hint + QLatin1Char(' ') + text;
    hinted_logs_.insert(log);
  }
  status_->OfferExtendedRules(offered);
  status_->ShowWithWrittenFiles(text);
  ShowFailures(write_failures, QStringLiteral("Cannot Write File"));
}

void MainWindow::CancelParse() {
  if (!busy_) return;
  if (follow_->ReadingAppend()) {
    // Following ends with what was read.
    const std::variant<ParsedRun*, Failure> stopped = follow_->CancelAppend();
    status_->ShowProgress(false);
    SetBusy(false);
    ShowStopped(stopped);
    return;
  }
  // Stop the parse and wait for its thread; its results are dropped and the
  // earlier ones stay.
  worker_.Abandon();
  follow_->Abandon();
  EndReading();
  setWindowTitle(caption_before_parse_);
  settings_page_->setTitle(FromCp1252(app_.FrameCaption(0)));
  status_->SetText(QStringLiteral("Parse cancelled."));
}

// ---- Following a log while the game writes it ----

void MainWindow::FollowFile(const QString& path) {
  if (busy_ || !TakeSettings()) return;
  BeginReading(path, FromCp1252(kFollowingCaptionSuffix), QStringLiteral("Reading %1..."));
  follow_->CatchUp(app_.MakeParseRequest(ToPath(path)));
}

void MainWindow::FollowCaughtUp() {
  EndReading();
  log_room_->Adopted(parse_path_);
  memory_.AddRecentLog(QFileInfo(parse_path_).absoluteFilePath());
  FillRecentLogs();
  SetCaption(FromCp1252(kFollowingCaptionSuffix));
  follow_note_.clear();
  ShowFollowStatus();
}

void MainWindow::ShowFollowStatus() {
  // The open fights' rows are bold: their texts must not be cut.
  events_page_->FitRows(app_.OpenEventRows());
  const QString figures = status_->FollowText(QFileInfo(parse_path_).fileName());
  status_->SetText(follow_note_.isEmpty() ? figures : follow_note_ + QLatin1Char(' ') + figures);
}

void MainWindow::RefreshFollowed() {
  if (busy_ && app_.Following()) return;
  follow_->Refresh();
  if (!app_.Following()) (*menus_)[Command::kStopFollowing]->setEnabled(false);
}

void MainWindow::Refreshed(const App::FollowStep& step) {
  KeepLifeListsShown();
  if (step.changed) {
    if (step.detail_changed) event_detail_page_->DrawTimeline();
    ShowState();
  }
  events_page_->View()->viewport()->update();  // the bold mark may have moved
  if (!step.unreadable.empty()) {
    follow_note_ = QStringLiteral("Waiting until the log can be read: %1.")
                       .arg(QString::fromLocal8Bit(step.unreadable.c_str()));
  } else if (step.started_over) {
    follow_note_ =
        QStringLiteral("The log was cut short or replaced and read again from its start.");
  } else if (step.changed) {
    follow_note_.clear();
  }
  ShowFollowStatus();
}

void MainWindow::StopFollowing() {
  if (busy_ || !app_.Following()) return;
  std::variant<ParsedRun*, Failure> stopped;
  {
    const WaitCursor wait;
    stopped = follow_->Stop();
  }
  ShowStopped(stopped);
}

void MainWindow::ShowStopped(const std::variant<ParsedRun*, Failure>& stopped) {
  SetCaption(QString());
  SetBusy(false);
  if (const auto* failure = std::get_if<Failure>(&stopped)) {
    dialogs_.Message(this, QStringLiteral("Cannot Read Log"), FailureText(*failure));
    return;
  }
  ShowRunStatus(app_.LastRun().write_failures, false);
}

}  // namespace ombrel::gui
