#include "gui/FindDialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "gui/Cp1252.h"
#include "logtext/LogSearch.h"
#include "parse/LogLineTime.h"

namespace ombrel::gui {
namespace {

// A result's text is cut here; the log view shows the whole line.
constexpr size_t kShownText = 2000;

QDateTime ToQDateTime(DateTime time) {
  const CivilTime t = time.ToCivil();
  return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
}

std::optional<DateTime> FromQDateTime(const QDateTime& time) {
  const QDate d = time.date();
  const QTime t = time.time();
  return DateTime::FromCivil({d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()});
}

QString TimeText(std::string_view line) {
  const std::optional<DateTime> stamp = LogLineTime(line);
  if (!stamp) return {};
  return ToQDateTime(*stamp).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

}  // namespace

void MatchListModel::Clear() {
  beginResetModel();
  rows_.clear();
  endResetModel();
}

void MatchListModel::Append(std::vector<Row> rows) {
  if (rows.empty()) return;
  const int first = static_cast<int>(rows_.size());
  beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
  std::move(rows.begin(), rows.end(), std::back_inserter(rows_));
  endInsertRows();
}

int MatchListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int MatchListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 3;
}

QVariant MatchListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const Row& row = rows_[static_cast<size_t>(index.row())];
  if (role == Qt::TextAlignmentRole && index.column() == 1) {
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case 0:
      return row.time;
    case 1:
      return QString::number(row.line + 1);
    default:
      return row.text;
  }
}

QVariant MatchListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char* const kHeaders[] = {"Time", "Line", "Text"};
  return QString::fromLatin1(kHeaders[std::clamp(section, 0, 2)]);
}

FindDialog::FindDialog(LogSession& session, QWidget* parent) : QDialog(parent), session_(session) {
  setObjectName(QStringLiteral("FindDialog"));
  setWindowTitle(QStringLiteral("Find in Log"));
  auto* form = new QGridLayout;
  auto named = [](QWidget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
  };
  text_ = new QLineEdit(this);
  named(text_, "FindText");
  auto* text_label = new QLabel(QStringLiteral("&Text:"), this);
  text_label->setBuddy(text_);
  regex_ = new QCheckBox(QStringLiteral("Regular e&xpression"), this);
  named(regex_, "FindRegex");
  match_case_ = new QCheckBox(QStringLiteral("&Match case"), this);
  named(match_case_, "FindMatchCase");
  in_fight_ = new QCheckBox(QStringLiteral("Only the selected &fight"), this);
  named(in_fight_, "FindInFight");
  by_name_ = new QCheckBox(QStringLiteral("Only lines &naming"), this);
  named(by_name_, "FindByName");
  name_ = new QComboBox(this);
  named(name_, "FindName");
  by_time_ = new QCheckBox(QStringLiteral("&Between"), this);
  named(by_time_, "FindByTime");
  from_ = new QDateTimeEdit(this);
  to_ = new QDateTimeEdit(this);
  named(from_, "FindFrom");
  named(to_, "FindTo");
  for (QDateTimeEdit* edit : {from_, to_}) {
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  }
  form->addWidget(text_label, 0, 0);
  form->addWidget(text_, 0, 1, 1, 3);
  form->addWidget(regex_, 1, 1);
  form->addWidget(match_case_, 1, 2);
  form->addWidget(in_fight_, 2, 1, 1, 3);
  form->addWidget(by_name_, 3, 1);
  form->addWidget(name_, 3, 2, 1, 2);
  form->addWidget(by_time_, 4, 1);
  form->addWidget(from_, 4, 2);
  form->addWidget(to_, 4, 3);
  form->setColumnStretch(2, 1);
  form->setColumnStretch(3, 1);

  find_ = new QPushButton(QStringLiteral("&Find"), this);
  named(find_, "FindStart");
  find_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  named(cancel_, "FindCancel");
  cancel_->setEnabled(false);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  named(close, "FindClose");
  progress_ = new QProgressBar(this);
  named(progress_, "FindProgress");
  progress_->setRange(0, 100);
  progress_->setValue(0);
  count_ = new QLabel(this);
  named(count_, "FindCount");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(count_, 1);
  buttons->addWidget(progress_);
  buttons->addWidget(find_);
  buttons->addWidget(cancel_);
  buttons->addWidget(close);

  model_ = new MatchListModel(this);
  results_ = new QTreeView(this);
  named(results_, "FindResults");
  results_->setModel(model_);
  results_->setRootIsDecorated(false);
  results_->setUniformRowHeights(true);
  results_->setAlternatingRowColors(true);
  results_->setColumnWidth(
      0, results_->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00  ")));
  results_->setColumnWidth(1,
                           results_->fontMetrics().horizontalAdvance(QStringLiteral("000000000")));
  results_->header()->setStretchLastSection(true);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  layout->addWidget(results_, 1);
  resize(760, 480);

  collect_ = new QTimer(this);
  collect_->setInterval(100);
  connect(collect_, &QTimer::timeout, this, &FindDialog::Collect);
  connect(find_, &QPushButton::clicked, this, &FindDialog::StartSearch);
  connect(cancel_, &QPushButton::clicked, this, &FindDialog::CancelSearch);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  connect(results_, &QTreeView::doubleClicked, this, &FindDialog::OpenRow);
  connect(results_, &QTreeView::activated, this, &FindDialog::OpenRow);
}

FindDialog::~FindDialog() {
  cancel_flag_ = true;
  if (worker_.joinable()) worker_.join();
}

void FindDialog::SetContext(const FindContext& context) {
  context_ = context;
  const QString chosen = name_->currentText();
  name_->clear();
  for (const std::string& name : context_.names) name_->addItem(FromCp1252(name));
  if (const int at = name_->findText(chosen); at >= 0) name_->setCurrentIndex(at);
  in_fight_->setEnabled(context_.fight.has_value());
  in_fight_->setText(context_.fight
                         ? QStringLiteral("Only the selected &fight: ") + context_.fight_caption
                         : QStringLiteral("Only the selected &fight"));
  if (context_.start && context_.end) {
    from_->setDateTime(ToQDateTime(*context_.start));
    to_->setDateTime(ToQDateTime(*context_.end));
  }
}

void FindDialog::OpenRow(const QModelIndex& index) {
  if (index.isValid()) emit LineOpened(model_->LineAt(index.row()));
}

void FindDialog::StartSearch() {
  if (Searching()) return;
  SearchQuery query;
  query.text = ToCp1252(text_->text());
  query.regex = regex_->isChecked();
  query.match_case = match_case_->isChecked();
  if (in_fight_->isChecked() && context_.fight) {
    query.first_line = context_.fight->first;
    query.last_line = context_.fight->last;
  }
  if (by_name_->isChecked() && name_->currentIndex() >= 0) {
    query.name = context_.names[static_cast<size_t>(name_->currentIndex())];
  }
  if (by_time_->isChecked()) {
    query.from = FromQDateTime(from_->dateTime());
    query.to = FromQDateTime(to_->dateTime());
  }
  model_->Clear();
  auto made = LineMatcher::Make(query);
  if (auto* problem = std::get_if<std::string>(&made)) {
    count_->setText(FromCp1252(*problem));
    return;
  }
  cancel_flag_ = false;
  done_ = false;
  cancelled_ = false;
  percent_ = 0;
  matches_ = 0;
  failure_.reset();
  count_->setText(QStringLiteral("Searching..."));
  find_->setEnabled(false);
  cancel_->setEnabled(true);
  worker_ = std::thread([this, matcher = std::move(std::get<LineMatcher>(made))] {
    Progress progress;
    progress.cancel = &cancel_flag_;
    progress.report = [this](double fraction) {
      percent_ = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100);
    };
    auto indexed = session_.Index(progress);
    if (auto* failure = std::get_if<Failure>(&indexed)) {
      const std::lock_guard lock(mutex_);
      if (!cancel_flag_) failure_ = FromCp1252(failure->Message());
      done_ = true;
      return;
    }
    const auto& index = std::get<std::shared_ptr<const LineIndex>>(indexed);
    auto searched = SearchLog(
        session_.Path(), index.get(), matcher,
        [this](const LineMatch& match) {
          MatchListModel::Row row{TimeText(match.text), match.line,
                                  FromCp1252(match.text.substr(0, kShownText))};
          const std::lock_guard lock(mutex_);
          pending_.push_back(std::move(row));
          ++matches_;
        },
        progress);
    const std::lock_guard lock(mutex_);
    if (auto* failure = std::get_if<Failure>(&searched)) {
      failure_ = FromCp1252(failure->Message());
    } else {
      matches_ = std::get<SearchSummary>(searched).matches;
      cancelled_ = std::get<SearchSummary>(searched).cancelled;
    }
    done_ = true;
  });
  collect_->start();
}

void FindDialog::CancelSearch() {
  cancel_flag_ = true;
}

void FindDialog::Collect() {
  std::vector<MatchListModel::Row> rows;
  {
    const std::lock_guard lock(mutex_);
    rows.swap(pending_);
  }
  model_->Append(std::move(rows));
  progress_->setValue(percent_);
  const QLocale locale(QLocale::English);
  count_->setText(QStringLiteral("%1 lines found so far").arg(locale.toString(matches_.load())));
  if (done_) Finished();
}

void FindDialog::Finished() {
  collect_->stop();
  worker_.join();
  {
    const std::lock_guard lock(mutex_);
    model_->Append(std::move(pending_));
    pending_.clear();
  }
  find_->setEnabled(true);
  cancel_->setEnabled(false);
  const QLocale locale(QLocale::English);
  const int64_t found = matches_;
  QString text = QStringLiteral("%1 %2 found")
                     .arg(locale.toString(found),
                          found == 1 ? QStringLiteral("line") : QStringLiteral("lines"));
  if (found > kListedMatches) {
    text += QStringLiteral(", the first %1 listed").arg(locale.toString(kListedMatches));
  }
  if (cancelled_ || cancel_flag_) text += QStringLiteral(" before the search was cancelled");
  if (failure_) text = *failure_;
  count_->setText(text);
  progress_->setValue(failure_ ? 0 : 100);
}

}  // namespace ombrel::gui
