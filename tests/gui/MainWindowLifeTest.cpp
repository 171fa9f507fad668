// The Deaths and Healing pages of a generated log read under the extended
// rules: a death's recap and its window, a healer's and a target's heals,
// the exports; and no such tab under the default rules.
#include <sstream>

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFont>
#include <QTabWidget>

#include "WindowHarness.h"
#include "loggen/LogGen.h"

using ombrel::gui::testing::WindowHarness;

namespace {

// The sum of a list's column over its rows.
long Sum(WindowHarness& w, int list, int column) {
  QAbstractItemModel* model = w.List(list)->model();
  long sum = 0;
  for (int r = 0; r < model->rowCount(); ++r) sum += model->index(r, column).data().toLongLong();
  return sum;
}

}  // namespace

class MainWindowLifeTest : public QObject {
  Q_OBJECT

 private slots:
  void deathsAndHealingUnderTheExtendedRules() {
    WindowHarness w;
    ombrel::loggen::Options options;
    options.target_bytes = 256 * 1024;
    options.extended_kinds = true;
    std::ostringstream log;
    ombrel::loggen::Generate(options, log);
    const QString path = w.WriteLog("extended.txt", log.str());
    w.Item("mnuExtendedRules")->trigger();
    w.Parse(path);
    QCOMPARE(w.Tabs()->count(), 6);
    QVERIFY(!w.Item("mnuExportDeaths")->isEnabled());

    // The whole log's deaths; a death's recap over each window, as the app lists it.
    w.ClickTab(4);
    QVERIFY(w.Frame(4)->isVisible() && w.ShownPage() == -1);
    w.Find<QCheckBox>("chkDeathsWholeLog")->click();
    w.Expect("Frame1(4).title=Deaths - the whole log|chkHealingWholeLog.checked=true");
    QCOMPARE(w.Rows(4).size(), qsizetype(w.app().DeathsList().Rows()));
    QVERIFY(w.Rows(4).size() >= 3);
    w.ClickRow(4, 2);
    QCOMPARE(w.app().SelectedDeath(), size_t{2});
    auto* chart = w.Find<QChartView>("RecapChart")->chart();
    int rows_before = 0;
    for (const int window : {1, 0, 3}) {  // 10 s, 5 s, 30 s
      w.Find<QComboBox>("cmbRecapWindow")->setCurrentIndex(window);
      const int rows = static_cast<int>(w.Rows(5).size());
      QCOMPARE(rows, static_cast<int>(w.app().RecapList().Rows()));
      QVERIFY(window == 1 ? rows > 0 : (window == 0 ? rows <= rows_before : rows >= rows_before));
      rows_before = rows;
      const int seconds = ombrel::kRecapWindows[window];
      auto* bars = static_cast<QBarSeries*>(chart->series().front());
      QCOMPARE(bars->barSets().front()->count(), seconds + 1);
      QVERIFY(w.Find<QLabel>("DeathNote")->text().contains(QStringLiteral("%1 s").arg(seconds)));
    }
    // The killing blow, marked in its column, is the one bold row.
    QAbstractItemModel* recap = w.List(5)->model();
    for (int r = 0; r < recap->rowCount(); ++r) {
      const bool blow = recap->index(r, 8).data().toString() == QStringLiteral("killing blow");
      QCOMPARE(recap->index(r, 0).data(Qt::FontRole).value<QFont>().bold(), blow);
    }
    w.dialogs().save_answers.push_back(w.Dir() + "/r.csv");
    w.Item("mnuExportRecap")->trigger();
    QFile written(w.Dir() + "/r.csv");
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll().count('\n'), recap->rowCount() + 1);

    // A healer's heals by target and by spell, a target's by healer, add up to its row.
    w.ClickTab(5);
    QVERIFY(w.Rows(6).size() >= 2 && w.Rows(9).size() >= 2);
    for (const auto& [list, parts] : {std::pair{6, std::vector{7, 8}}, {9, {10}}}) {
      w.Find<QTabWidget>("HealingTabs")->setCurrentIndex(list == 6 ? 0 : 1);
      w.ClickRow(list, 1);
      const long heals = w.List(list)->model()->index(1, 4).data().toLongLong();
      for (const int part : parts) QCOMPARE(Sum(w, part, 4), heals);
    }

    // The default rules: the four tabs alone.
    w.Item("mnuExtendedRules")->trigger();
    w.Parse(path);
    QCOMPARE(w.Tabs()->count(), 4);
    QCOMPARE(w.ShownPage(), 1);
  }
};

QTEST_MAIN(MainWindowLifeTest)
#include "MainWindowLifeTest.moc"
