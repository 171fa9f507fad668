#include "gui/LogRoom.h"

#include <set>
#include <string>

#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>

#include "app/LogPlaces.h"
#include "gui/Cp1252.h"
#include "gui/Dialogs.h"
#include "gui/FindDialog.h"
#include "gui/LogViewPane.h"
#include "gui/Paths.h"
#include "gui/WaitCursor.h"
#include "shared/FileOutput.h"
#include "shared/ListColumns.h"

namespace ombrel::gui {
namespace {

// The name of an event-detail row: without " + pet", none for the total.
std::optional<std::string> RowName(std::string name) {
  if (name.find("[ Total ]") != std::string::npos) return std::nullopt;
  if (const size_t pet = name.find(" + pet"); pet != std::string::npos) name.resize(pet);
  return name;
}

}  // namespace

LogRoom::LogRoom(App& app, Dialogs& dialogs, QMainWindow* window)
    : QObject(window), app_(app), dialogs_(dialogs), window_(window) {
  find_ = new FindDialog(session_, window);
  pane_ = new LogViewPane(window);
  window->addDockWidget(Qt::BottomDockWidgetArea, pane_);
  pane_->hide();
  connect(find_, &FindDialog::LineOpened, this, &LogRoom::ShowLine);
}

LogRoom::~LogRoom() {
  // The dialog's search reads the session: it ends first.
  delete find_.data();
}

FindDialog* LogRoom::Find() const {
  return find_.data();
}

void LogRoom::ReadingStarts(const QString& path) {
  auto stamp = TakeLogStamp(ToPath(path));
  reading_stamp_.reset();
  if (auto* taken = std::get_if<LogStamp>(&stamp)) reading_stamp_ = std::move(*taken);
}

void LogRoom::Adopted(const QString& path) {
  find_->CancelSearch();
  session_.Reset(ToPath(path), reading_stamp_);
  pane_->Model()->Clear();
  pane_->hide();
}

void LogRoom::OpenFind() {
  if (!session_.HasLog()) return;
  FindContext context;
  std::set<std::string> names;
  names.insert(app_.settings().CharacterName);
  for (std::string_view mob : app_.Log().MobList()) {
    if (!mob.empty()) names.insert(std::string(mob));
  }
  const TextTable& rows = app_.EventDetailList();
  for (size_t row = 0; row < rows.Rows(); ++row) {
    if (auto name = RowName(CellAt(rows, row, EventDetailColumn::kDamageBy))) names.insert(*name);
  }
  context.names.assign(names.begin(), names.end());
  context.fight = EventLines(app_, app_.SelectedEvent());
  if (const EventRecord* event =
          app_.Log().FindEvent(static_cast<int32_t>(app_.SelectedEvent() + 1));
      event != nullptr && context.fight) {
    context.fight_caption = FromCp1252(event->Name);
    context.start = event->StartDate;
    context.end = event->EndDate;
  }
  find_->SetContext(context);
  find_->show();
  find_->raise();
  find_->activateWindow();
  find_->TextBox()->setFocus();
  find_->TextBox()->selectAll();
}

void LogRoom::ShowLine(int64_t line) {
  std::variant<std::shared_ptr<const LineIndex>, Failure> indexed;
  {
    const WaitCursor wait;
    indexed = session_.Index();
  }
  if (auto* failure = std::get_if<Failure>(&indexed)) {
    pane_->ShowFailure(FailureText(*failure));
    return;
  }
  pane_->ShowLine(std::get<std::shared_ptr<const LineIndex>>(indexed), session_.Path(), line);
}

void LogRoom::ShowFight(size_t row) {
  if (const auto span = EventLines(app_, row)) ShowLine(span->first);
}

void LogRoom::ShowCombatantRow(size_t row) {
  if (const auto line = CombatantRowLine(app_, row)) ShowLine(*line);
}

std::optional<QString> LogRoom::SaveFightLog(size_t row, const QString& folder) {
  const auto span = EventLines(app_, row);
  if (!span || !session_.HasLog()) return std::nullopt;
  const std::optional<QString> path =
      dialogs_.SaveFile(window_, QStringLiteral("Save Fight Log"),
                        QStringLiteral("Text files (*.txt);;All files (*)"), folder);
  if (!path) return std::nullopt;
  const QString chosen = QFileInfo(*path).absolutePath();
  const WaitCursor wait;
  auto indexed = session_.Index();
  if (auto* failure = std::get_if<Failure>(&indexed)) {
    Tell(QStringLiteral("Cannot Read Log"), *failure);
    return chosen;
  }
  const auto& index = std::get<std::shared_ptr<const LineIndex>>(indexed);
  auto opened = LogFile::Open(session_.Path());
  if (auto* failure = std::get_if<Failure>(&opened)) {
    Tell(QStringLiteral("Cannot Read Log"), *failure);
    return chosen;
  }
  // The log's own bytes, written whole or not at all.
  OutputSet outputs;
  std::optional<Failure> read_failure;
  auto write_failure = outputs.Add(ToPath(*path), [&](std::ostream& out) {
    read_failure = CopyLines(std::get<LogFile>(opened), *index, *span, out);
  });
  if (read_failure || write_failure) {
    outputs.Discard();
    Tell(read_failure ? QStringLiteral("Cannot Read Log") : QStringLiteral("Cannot Write File"),
         read_failure ? *read_failure : *write_failure);
    return chosen;
  }
  if (auto failure = outputs.Commit()) {
    Tell(QStringLiteral("Cannot Write File"), *failure);
    return chosen;
  }
  emit Said(QStringLiteral("Wrote lines %1 to %2 of the log to %3")
                .arg(span->first + 1)
                .arg(span->last + 1)
                .arg(*path));
  return chosen;
}

void LogRoom::Tell(const QString& title, const Failure& failure) {
  dialogs_.Message(window_, title, FailureText(failure));
}

}  // namespace ombrel::gui
