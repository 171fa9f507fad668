#include "gui/DeathsPage.h"

#include <algorithm>
#include <array>

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSplitter>
#include <QVBoxLayout>
#include <QValueAxis>

#include "gui/Cp1252.h"
#include "gui/LifeLayouts.h"
#include "gui/TextTableModel.h"
#include "gui/Twips.h"
#include "gui/WindowMemory.h"
#include "shared/Display.h"

namespace ombrel::gui {

namespace {

constexpr const char* kRecapWindowKey = "recapWindow";

QString Text(std::string_view bytes) {
  return FromCp1252(bytes);
}

// "Ann died at 12/31/2005 22:30:09, killed by a gnoll: 135 damage taken in the
// last 10 s; the killing blow: 45 from a gnoll (bites)." or why there is no recap.
QString RecapNote(const App& app) {
  const TextTable& deaths = app.DeathsList();
  const size_t row = app.SelectedDeath();
  if (row >= deaths.Rows()) return QStringLiteral("No death was read here.");
  const Recap& recap = app.Life().CurrentRecap();
  QString note = Text(recap.death.Victim) + QStringLiteral(" died at ") +
                 Text(CellAt(deaths, row, DeathsColumn::kTime));
  if (!recap.death.Killer.empty())
    note += QStringLiteral(", killed by ") + Text(recap.death.Killer);
  const int64_t taken = recap.lines.empty() ? 0 : recap.lines.back().total_taken;
  if (taken == 0) {
    return note + QStringLiteral(": no recorded damage in the last %1 s.").arg(recap.window);
  }
  note += QStringLiteral(": %1 damage taken in the last %2 s")
              .arg(Text(display::Plain(taken)))
              .arg(recap.window);
  const auto blow = std::find_if(recap.lines.begin(), recap.lines.end(),
                                 [](const RecapLine& line) { return line.killing_blow; });
  if (blow != recap.lines.end()) {
    note += QStringLiteral("; the killing blow: %1 from %2 (%3)")
                .arg(Text(display::Plain(blow->damage)), Text(blow->source), Text(blow->name));
  }
  return note + QLatin1Char('.');
}

}  // namespace

ListPage* InsetList(const ListPageLayout& layout, App& app, QWidget* parent) {
  auto* list = new ListPage(layout, app, parent);
  list->setFlat(true);
  list->layout()->setContentsMargins(0, 0, 0, 0);
  return list;
}

QSplitter* InsetSplit(Qt::Orientation orientation, const char* name, QWidget* parent) {
  auto* split = new QSplitter(orientation, parent);
  split->setObjectName(QString::fromLatin1(name));
  split->setChildrenCollapsible(false);
  return split;
}

DeathsPage::DeathsPage(App& app, WindowMemory& memory, QWidget* parent)
    : QGroupBox(parent), app_(app), memory_(memory) {
  setObjectName(QStringLiteral("Frame1(4)"));
  auto* box = new QVBoxLayout(this);
  whole_log_ = new QCheckBox(QStringLiteral("&Whole log"), this);
  whole_log_->setObjectName(QStringLiteral("chkDeathsWholeLog"));
  whole_log_->setToolTip(QStringLiteral("The deaths of the whole log, not of the chosen fight"));
  box->addWidget(whole_log_);

  split_ = InsetSplit(Qt::Vertical, "DeathsSplit", this);
  box->addWidget(split_, 1);
  deaths_ = InsetList(kDeathsList, app_, split_);
  split_->addWidget(deaths_);

  auto* recap_box = new QWidget(split_);
  auto* column = new QVBoxLayout(recap_box);
  column->setContentsMargins(0, 0, 0, 0);
  auto* line = new QHBoxLayout;
  note_ = new QLabel(recap_box);
  note_->setObjectName(QStringLiteral("DeathNote"));
  note_->setWordWrap(true);
  note_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  line->addWidget(note_, 1);
  auto* window_label = new QLabel(QStringLiteral("&Recap window:"), recap_box);
  window_ = new QComboBox(recap_box);
  window_->setObjectName(QStringLiteral("cmbRecapWindow"));
  for (const int seconds : kRecapWindows) window_->addItem(QStringLiteral("%1 s").arg(seconds));
  window_label->setBuddy(window_);
  line->addWidget(window_label);
  line->addWidget(window_);
  column->addLayout(line);
  recap_ = InsetList(kRecapList, app_, recap_box);
  column->addWidget(recap_, 1);
  split_->addWidget(recap_box);
  // The killing blow in bold, as its column names it.
  recap_->Model()->SetBoldRows([&app = app_](size_t row) {
    const TextTable& recap = app.RecapList();
    return row < recap.Rows() && !CellAt(recap, row, RecapColumn::kKillingBlow).empty();
  });

  auto* chart = new QChart;
  chart->legend()->hide();
  chart->setBackgroundRoundness(0);
  chart->setMargins(QMargins(2, 2, 2, 2));
  bars_ = new QBarSeries(chart);
  bars_->setBarWidth(0.9);
  chart->addSeries(bars_);
  seconds_axis_ = new QBarCategoryAxis(chart);
  seconds_axis_->setTitleText(QStringLiteral("Seconds before the death"));
  damage_axis_ = new QValueAxis(chart);
  damage_axis_->setLabelFormat(QStringLiteral("%d"));
  damage_axis_->setTitleText(QStringLiteral("Damage"));
  chart->addAxis(seconds_axis_, Qt::AlignBottom);
  chart->addAxis(damage_axis_, Qt::AlignLeft);
  bars_->attachAxis(seconds_axis_);
  bars_->attachAxis(damage_axis_);
  chart_view_ = new QChartView(chart, split_);
  chart_view_->setObjectName(QStringLiteral("RecapChart"));
  chart_view_->setRenderHint(QPainter::Antialiasing);
  chart_view_->setMinimumHeight(TwipsToPixels(1800, font()));
  split_->addWidget(chart_view_);
  split_->setStretchFactor(0, 1);
  split_->setStretchFactor(1, 3);
  split_->setStretchFactor(2, 2);
  split_->setSizes(
      {TwipsToPixels(1500, font()), TwipsToPixels(4000, font()), TwipsToPixels(2600, font())});

  // The window last chosen.
  const int remembered = memory_.Number(kRecapWindowKey, kDefaultRecapWindow);
  const auto chosen = std::find(std::begin(kRecapWindows), std::end(kRecapWindows), remembered);
  window_->setCurrentIndex(
      chosen != std::end(kRecapWindows) ? static_cast<int>(chosen - std::begin(kRecapWindows)) : 1);
  app_.Life().SetRecapWindow(kRecapWindows[static_cast<size_t>(window_->currentIndex())]);
  deaths_->RestoreColumns(memory_);
  recap_->RestoreColumns(memory_);
  const QByteArray split = memory_.Bytes("deathsSplit");
  if (!split.isEmpty()) split_->restoreState(split);

  connect(deaths_, &ListPage::CurrentRowChanged, this, [this](int row) {
    ChangeRecap([this, row] { app_.Life().SelectDeath(static_cast<size_t>(row)); });
  });
  connect(window_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index < 0) return;
    const int seconds = kRecapWindows[static_cast<size_t>(index)];
    memory_.SetNumber(kRecapWindowKey, seconds);
    ChangeRecap([this, seconds] { app_.Life().SetRecapWindow(seconds); });
  });
  for (ListPage* list : {deaths_, recap_}) connect(list, &ListPage::Said, this, &DeathsPage::Said);
  ShowRecap();
}

void DeathsPage::Reload() {
  ShowRecap();
}

void DeathsPage::SaveLayout() const {
  deaths_->SaveColumns(memory_);
  recap_->SaveColumns(memory_);
  memory_.SetBytes("deathsSplit", split_->saveState());
}

void DeathsPage::ChangeRecap(const std::function<void()>& change) {
  ListPage* recap = recap_;
  ChangeLists(std::span(&recap, 1), change);
  ShowRecap();
}

void DeathsPage::ShowRecap() {
  note_->setText(RecapNote(app_));
  const ombrel::Recap& recap = app_.Life().CurrentRecap();
  bars_->clear();
  seconds_axis_->clear();
  const bool shown = app_.SelectedDeath() < app_.DeathsList().Rows();
  chart_view_->setEnabled(shown);
  auto* taken = new QBarSet(QStringLiteral("Damage taken"));
  taken->setColor(QColor(0xb2, 0x2a, 0x2a));
  QStringList seconds;
  int64_t most = 0;
  const auto count = static_cast<int>(recap.taken_per_second.size());
  for (int i = 0; i < count; ++i) {
    const int64_t damage = shown ? recap.taken_per_second[static_cast<size_t>(i)] : 0;
    *taken << static_cast<qreal>(damage);
    most = std::max(most, damage);
    seconds << QString::number(count - 1 - i);
  }
  bars_->append(taken);
  seconds_axis_->append(seconds);
  damage_axis_->setRange(0, static_cast<qreal>(std::max<int64_t>(most, 10)));
  damage_axis_->applyNiceNumbers();
}

}  // namespace ombrel::gui
