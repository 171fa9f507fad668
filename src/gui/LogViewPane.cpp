#include "gui/LogViewPane.h"

#include <algorithm>

#include <QApplication>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QTreeView>
#include <QVBoxLayout>

#include "gui/Cp1252.h"
#include "logtext/LogLines.h"

namespace ombrel::gui {

LogLinesModel::LogLinesModel(QObject* parent) : QAbstractTableModel(parent) {}

void LogLinesModel::Show(std::shared_ptr<const LineIndex> index,
                         std::shared_ptr<const LogFile> file, int64_t marked) {
  beginResetModel();
  index_ = std::move(index);
  file_ = std::move(file);
  marked_ = marked;
  blocks_.clear();
  endResetModel();
}

void LogLinesModel::Clear() {
  beginResetModel();
  index_.reset();
  file_.reset();
  marked_ = -1;
  blocks_.clear();
  endResetModel();
}

int LogLinesModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || index_ == nullptr) return 0;
  return static_cast<int>(std::min<int64_t>(index_->Lines(), INT32_MAX));
}

int LogLinesModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 2;
}

const std::vector<QString>* LogLinesModel::Block(int64_t block) const {
  if (auto found = blocks_.find(block); found != blocks_.end()) return &found->second;
  // The log is read again only while it is still the one indexed.
  const LogState state = CheckLog(file_->Path(), index_->Stamp());
  std::variant<std::vector<std::string>, Failure> read =
      state == LogState::kSame || state == LogState::kGrown
          ? ReadLines(*file_, *index_, block * kBlockLines, kBlockLines)
          : std::variant<std::vector<std::string>, Failure>(LogStateFailure(file_->Path(), state));
  if (auto* failure = std::get_if<Failure>(&read)) {
    const QString message = FromCp1252(failure->Message());
    // Not from within the view's painting: the model empties afterwards.
    QMetaObject::invokeMethod(
        const_cast<LogLinesModel*>(this),
        [this, message] {
          const_cast<LogLinesModel*>(this)->Clear();
          emit const_cast<LogLinesModel*>(this)->Failed(message);
        },
        Qt::QueuedConnection);
    return nullptr;
  }
  if (blocks_.size() >= kBlocksKept) blocks_.clear();
  std::vector<QString>& lines = blocks_[block];
  for (const std::string& line : std::get<std::vector<std::string>>(read)) {
    lines.push_back(FromCp1252(line));
  }
  return &lines;
}

QVariant LogLinesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index_ == nullptr) return {};
  const int64_t line = index.row();
  if (role == Qt::FontRole && line == marked_) {
    QFont bold;
    bold.setBold(true);
    return bold;
  }
  if (role == Qt::BackgroundRole && line == marked_) {
    return QApplication::palette()
        .brush(QPalette::Inactive, QPalette::Highlight)
        .color()
        .lighter(150);
  }
  if (role == Qt::TextAlignmentRole && index.column() == 0) {
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole) return {};
  if (index.column() == 0) return QString::number(line + 1);
  const std::vector<QString>* block = Block(line / kBlockLines);
  const auto at = static_cast<size_t>(line % kBlockLines);
  if (block == nullptr || at >= block->size()) return {};
  return (*block)[at];
}

QVariant LogLinesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return section == 0 ? QStringLiteral("Line") : QStringLiteral("Text");
}

LogViewPane::LogViewPane(QWidget* parent) : QDockWidget(QStringLiteral("Log"), parent) {
  setObjectName(QStringLiteral("LogView"));
  auto* body = new QWidget(this);
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(4, 4, 4, 4);
  caption_ = new QLabel(body);
  caption_->setObjectName(QStringLiteral("LogViewCaption"));
  caption_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  view_ = new QTreeView(body);
  view_->setObjectName(QStringLiteral("LogViewLines"));
  view_->setRootIsDecorated(false);
  view_->setUniformRowHeights(true);  // millions of rows without measuring each
  view_->setAlternatingRowColors(true);
  view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  QFont fixed(QStringLiteral("monospace"));
  fixed.setStyleHint(QFont::TypeWriter);
  view_->setFont(fixed);
  model_ = new LogLinesModel(this);
  view_->setModel(model_);
  view_->header()->setStretchLastSection(true);
  view_->setColumnWidth(0, view_->fontMetrics().horizontalAdvance(QStringLiteral("000000000")));
  layout->addWidget(caption_);
  layout->addWidget(view_);
  setWidget(body);
  connect(model_, &LogLinesModel::Failed, this, &LogViewPane::ShowFailure);
}

void LogViewPane::ShowLine(std::shared_ptr<const LineIndex> index,
                           const std::filesystem::path& path, int64_t line) {
  auto opened = LogFile::Open(path);
  if (auto* failure = std::get_if<Failure>(&opened)) {
    ShowFailure(FromCp1252(failure->Message()));
    return;
  }
  const int64_t lines = index->Lines();
  line = std::clamp<int64_t>(line, 0, std::max<int64_t>(lines - 1, 0));
  caption_->setText(QStringLiteral("Line %1 of %2 in %3")
                        .arg(line + 1)
                        .arg(lines)
                        .arg(QString::fromStdString(path.filename().string())));
  model_->Show(std::move(index),
               std::make_shared<const LogFile>(std::move(std::get<LogFile>(opened))), line);
  show();
  raise();
  const QModelIndex at = model_->index(static_cast<int>(line), 1);
  view_->setCurrentIndex(at);
  view_->scrollTo(at, QAbstractItemView::PositionAtCenter);
}

void LogViewPane::ShowFailure(const QString& message) {
  model_->Clear();
  caption_->setText(message);
  show();
}

}  // namespace ombrel::gui
