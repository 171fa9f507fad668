// The timeline under the event-detail list: its lines, the pane's View item
// remembered across runs, the highlight of the current row, the hover text
// and the picture export.

#include <QFile>
#include <QImage>
#include <QLineSeries>
#include <QSplitter>
#include <QTest>
#include <QXmlStreamReader>

#include "WindowHarness.h"
#include "gui/TimelinePane.h"
#include "shared/ListColumns.h"

using namespace ombrel;
using namespace ombrel::gui;
using namespace ombrel::gui::testing;

class TimelinePaneTest : public QObject {
  Q_OBJECT

  static TimelinePane* Pane(WindowHarness& w) { return w.Find<TimelinePane>("TimelinePane"); }

  static QStringList LineNames(TimelinePane* pane) {
    QStringList names;
    for (int s = 0; pane->Line(s) != nullptr; ++s) names << pane->Line(s)->name();
    return names;
  }

  // The gnoll fight on the Event Detail page.
  static void OpenGnollFight(WindowHarness& w) {
    w.Parse(w.WriteLog());
    w.ClickTab(2);
    QCOMPARE(w.ShownPage(), 2);
  }

 private slots:
  void linesOfTheFightUnderTheList() {
    WindowHarness w;
    OpenGnollFight(w);
    TimelinePane* pane = Pane(w);
    QVERIFY(pane->isVisible());
    // Under the list, in the page's splitter.
    auto* split = w.Find<QSplitter>("EventDetailSplit");
    QCOMPARE(split->widget(0), static_cast<QWidget*>(w.List(2)));
    QCOMPARE(split->widget(1), static_cast<QWidget*>(pane));
    QVERIFY(pane->mapTo(w.Frame(2), QPoint(0, 0)).y() >
            w.List(2)->mapTo(w.Frame(2), QPoint(0, 0)).y());

    // Most damage first; the opponent's line last.
    QCOMPARE(LineNames(pane), Split("Zarra|Brutus`s pet|Tarlen|Brutus|a gnoll"));
    QCOMPARE(pane->Line(4)->pen().style(), Qt::DashLine);
    // Zarra's 50 at 15:04:09, second 4, over three seconds.
    QCOMPARE(pane->PointText(0, 4),
             QStringLiteral("Second 4 (15:04:09)\nZarra: 16.67 damage per second"));

    pane->SetWindowSeconds(1);
    QCOMPARE(pane->Line(0)->at(4), QPointF(4, 50));

    // The current row's line is drawn wider; the total row has none.
    QCOMPARE(pane->HighlightedSeries(), -1);  // the total row
    const TextTable& list = w.app().EventDetailList();
    for (size_t row = 1; row < list.Rows(); ++row) {
      w.ClickRow(2, static_cast<int>(row));
      const int series = pane->HighlightedSeries();
      QVERIFY(series >= 0);
      QCOMPARE(pane->Line(series)->name().toStdString(),
               ombrel::CellAt(list, row, ombrel::EventDetailColumn::kDamageBy));
      QVERIFY(pane->Line(series)->pen().widthF() > pane->Line((series + 1) % 5)->pen().widthF());
    }
    w.ClickRow(2, 0);
    QCOMPARE(pane->HighlightedSeries(), -1);
    // A sort selects the total row again.
    w.ClickRow(2, 2);
    w.ClickHeader(2, 1);
    QCOMPARE(pane->HighlightedSeries(), -1);

    // The orc's fight replaces the lines.
    w.ClickTab(1);
    w.ClickRow(1, 1);
    w.ClickTab(2);
    QCOMPARE(LineNames(pane), Split("Zarra|Tarlen|an orc"));
  }

  // The View item closes the pane and is remembered with the window's
  // seconds; the picture exports by the name's ending, the pane open or not.
  void viewItemAndPictureExport() {
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("ombrel.ini")), QSettings::IniFormat);
    {
      WindowHarness w(&RunParse, {}, &settings);
      QVERIFY(!w.Item("mnuExportTimeline")->isEnabled());
      OpenGnollFight(w);
      QVERIFY(Pane(w)->isVisible() && w.Item("mnuExportTimeline")->isEnabled());
      const QString svg = w.Dir() + QStringLiteral("/gnoll.svg");
      w.dialogs().save_answers.push_back(svg);
      w.Item("mnuExportTimeline")->trigger();
      QCOMPARE(w.dialogs().shown.back().text,
               QStringLiteral("SVG picture (*.svg);;PNG picture (*.png)"));
      QFile file(svg);
      QVERIFY(file.open(QIODevice::ReadOnly));
      QXmlStreamReader xml(&file);
      while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::StartElement) {
      }
      QCOMPARE(xml.name().toString(), QStringLiteral("svg"));

      w.Item("mnuViewTimeline")->trigger();
      QVERIFY(!Pane(w)->isVisible() && !w.Item("mnuViewTimeline")->isChecked());
      const QString png = w.Dir() + QStringLiteral("/gnoll.PNG");
      w.dialogs().save_answers.push_back(png);
      w.Item("mnuExportTimeline")->trigger();
      const QImage image(png, "PNG");
      QVERIFY(image.width() > 200 && image.height() > 100);
      // A folder that does not exist: a message names the path, nothing is written.
      const QString missing = w.Dir() + QStringLiteral("/none/gnoll.svg");
      w.dialogs().save_answers.push_back(missing);
      w.Item("mnuExportTimeline")->trigger();
      QCOMPARE(w.dialogs().Messages().size(), size_t{1});
      QVERIFY(w.dialogs().Messages()[0].text.startsWith(missing) && !QFile::exists(missing));

      w.Item("mnuViewTimeline")->trigger();
      QVERIFY(Pane(w)->isVisible());
      Pane(w)->SetWindowSeconds(10);
      w.Item("mnuViewTimeline")->trigger();
      w.form().close();
    }
    WindowHarness again(&RunParse, {}, &settings);
    OpenGnollFight(again);
    QVERIFY(!Pane(again)->isVisible() && !again.Item("mnuViewTimeline")->isChecked());
    QCOMPARE(Pane(again)->WindowSeconds(), 10);
  }
};

QTEST_MAIN(TimelinePaneTest)
#include "TimelinePaneTest.moc"
