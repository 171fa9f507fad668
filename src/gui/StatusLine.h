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
  // The offer to read the log again under the extended rules.
  QPushButton* RulesButton() const { return rules_button_; }
  void OfferExtendedRules(bool offered);

  // The figures of the log read (or that it held no fight, or that it does
  // not look like a combat log), `log` its file name.
  QString RunText(const QString& log) const;
  // After a parse under the default rules that showed signs of a log the
  // extended rules read better: what they are, with their counts; else empty.
  QString RulesHint() const;
  // The figures while a log is followed, and the open fights, each "(live)".
  QString FollowText(const QString& log) const;

 private:
  const App& app_;
  QLabel* text_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* rules_button_ = nullptr;
};

}  // namespace ombrel::gui
