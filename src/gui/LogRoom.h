#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include <QObject>
#include <QPointer>
#include <QString>

#include "app/App.h"
#include "logtext/LogSession.h"

class QMainWindow;

namespace ombrel::gui {

class Dialogs;
class FindDialog;
class LogViewPane;

// The log's own lines in the window: the Find in Log dialog, the log view
// pane under the pages and Save Fight Log. It keeps the log last adopted
// (with the stamp taken when its reading began) and its line index.
class LogRoom : public QObject {
  Q_OBJECT

 public:
  LogRoom(App& app, Dialogs& dialogs, QMainWindow* window);
  ~LogRoom() override;

  // A parse or a follow of `path` begins: the log is stamped as it is now.
  void ReadingStarts(const QString& path);
  // The log whose reading began last is the app's now.
  void Adopted(const QString& path);

  // Edit > Find in Log...
  void OpenFind();
  // The log view on line `line` (0-based).
  void ShowLine(int64_t line);
  // Show in Log: a fight's first line, a combatant-detail row's first record.
  void ShowFight(size_t row);
  void ShowCombatantRow(size_t row);
  // Save Fight Log...: the fight's lines as the log holds them, to a file
  // chosen in a dialog that opens in `folder`. Returns the folder of the file
  // chosen, nothing when none was.
  std::optional<QString> SaveFightLog(size_t row, const QString& folder);

  FindDialog* Find() const;
  LogViewPane* Pane() const { return pane_; }

 signals:
  // What a command did, for the status bar.
  void Said(const QString& text);

 private:
  void Tell(const QString& title, const Failure& failure);

  App& app_;
  Dialogs& dialogs_;
  QMainWindow* window_;
  LogSession session_;
  std::optional<LogStamp> reading_stamp_;
  QPointer<FindDialog> find_;
  LogViewPane* pane_ = nullptr;
};

}  // namespace ombrel::gui
