#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include <QAbstractTableModel>
#include <QDockWidget>
#include <QString>

#include "logtext/LineIndex.h"
#include "logtext/LogFile.h"

class QLabel;
class QTreeView;

namespace ombrel::gui {

// Every line of an indexed log as a list (line number, text), read from the
// file a block of lines at a time as the view scrolls: the log is never
// held whole. One line is marked. When the log changed or went away since it
// was indexed, the model empties and reports it.
class LogLinesModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit LogLinesModel(QObject* parent = nullptr);

  // Shows `index`'s log (read through `file`), `marked` marked.
  void Show(std::shared_ptr<const LineIndex> index, std::shared_ptr<const LogFile> file,
            int64_t marked);
  void Clear();
  int64_t Marked() const { return marked_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 signals:
  // The log can no longer be read as indexed; the model is empty.
  void Failed(const QString& message);

 private:
  static constexpr int64_t kBlockLines = 256;
  static constexpr size_t kBlocksKept = 64;
  const std::vector<QString>* Block(int64_t block) const;

  std::shared_ptr<const LineIndex> index_;
  std::shared_ptr<const LogFile> file_;
  int64_t marked_ = -1;
  mutable std::map<int64_t, std::vector<QString>> blocks_;
};

// The pane under the pages that shows the log's lines around one line.
class LogViewPane : public QDockWidget {
  Q_OBJECT

 public:
  explicit LogViewPane(QWidget* parent = nullptr);

  // Opens the pane on line `line` (0-based) of `index`'s log, marked and
  // in the middle; scrolling reaches every line.
  void ShowLine(std::shared_ptr<const LineIndex> index, const std::filesystem::path& path,
                int64_t line);
  // Empties the pane and tells why.
  void ShowFailure(const QString& message);

  QTreeView* View() const { return view_; }
  LogLinesModel* Model() const { return model_; }

 private:
  QLabel* caption_ = nullptr;
  QTreeView* view_ = nullptr;
  LogLinesModel* model_ = nullptr;
};

}  // namespace ombrel::gui
