#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <QAbstractTableModel>
#include <QDialog>
#include <QString>

#include "logtext/LogLines.h"
#include "logtext/LogSession.h"
#include "shared/DateTime.h"

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeView;

namespace ombrel::gui {

// The matching lines of a search: time, line number and text.
class MatchListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  struct Row {
    QString time;
    int64_t line = 0;  // 0-based
    QString text;
  };
  using QAbstractTableModel::QAbstractTableModel;
  void Clear();
  void Append(std::vector<Row> rows);
  int64_t LineAt(int row) const { return rows_[static_cast<size_t>(row)].line; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  std::vector<Row> rows_;
};

// What the window tells the dialog each time it opens: the names to choose
// from (as the lists show them) and the selected fight's lines.
struct FindContext {
  std::vector<std::string> names;  // Windows-1252
  std::optional<LineSpan> fight;
  QString fight_caption;
  std::optional<DateTime> start;  // the time range shown at first: the selected fight's
  std::optional<DateTime> end;
};

// Edit > Find in Log...: a text or a regular expression, limited when ticked
// to the selected fight, to lines naming a combatant and to a time range.
// The search runs on a worker; its results arrive while it runs, with the
// count and progress, and Cancel stops it. More than 100,000 matching lines
// are counted but not listed.
class FindDialog : public QDialog {
  Q_OBJECT

 public:
  FindDialog(LogSession& session, QWidget* parent = nullptr);
  ~FindDialog() override;

  void SetContext(const FindContext& context);
  // Starts the search as the Find button does.
  void StartSearch();
  void CancelSearch();
  bool Searching() const { return worker_.joinable(); }
  QTreeView* Results() const { return results_; }
  QLineEdit* TextBox() const { return text_; }
  QCheckBox* RegexBox() const { return regex_; }

 signals:
  // A double-click or Return on a result: show the line in the log view.
  void LineOpened(int64_t line);

 private:
  void Collect();  // takes what the worker found so far, on the window's thread
  void Finished();
  void OpenRow(const QModelIndex& index);

  LogSession& session_;
  FindContext context_;
  QLineEdit* text_ = nullptr;
  QCheckBox* regex_ = nullptr;
  QCheckBox* match_case_ = nullptr;
  QCheckBox* in_fight_ = nullptr;
  QCheckBox* by_name_ = nullptr;
  QComboBox* name_ = nullptr;
  QCheckBox* by_time_ = nullptr;
  QDateTimeEdit* from_ = nullptr;
  QDateTimeEdit* to_ = nullptr;
  QPushButton* find_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* count_ = nullptr;
  QTreeView* results_ = nullptr;
  MatchListModel* model_ = nullptr;
  QTimer* collect_ = nullptr;

  // Shared with the worker.
  std::thread worker_;
  std::atomic<bool> cancel_flag_{false};
  std::atomic<bool> done_{false};
  std::atomic<int> percent_{0};
  std::atomic<int64_t> matches_{0};
  std::mutex mutex_;
  std::vector<MatchListModel::Row> pending_;
  std::optional<QString> failure_;
  bool cancelled_ = false;
};

}  // namespace ombrel::gui
