#pragma once

#include <vector>

#include <QString>

#include "app/App.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace ombrel::gui {

// The status bar: a line of text, and beside it, while a log is read, the
// progress and the Cancel button.
class StatusLine {
 public:
  StatusLine(QStatusBar* bar, const App& app);

  QString Text() const;
  void SetText(const QString& text);
  // Shows `figures`, followed by the CSV files the last command wrote;
  // without either it leaves the text as it is.
  void ShowWithWrittenFiles(const QString& figures);

  void ShowProgress(bool shown);
  void SetProgress(int percent);
  QPushButton* CancelButton() const { return cancel_; }

  // The figures of the log read (or that it held no fight), `log` its file name.
  QString RunText(const QString& log) const;
  // The figures while a log is followed, and the open fights, each "(live)".
  QString FollowText(const QString& log) const;

 private:
  const App& app_;
  QLabel* text_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace ombrel::gui
