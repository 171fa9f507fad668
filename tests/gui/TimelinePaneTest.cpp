// The timeline under the event-detail list: its lines, the pane's View item
// remembered across runs, the highlight of the current row, the hover text,
// the picture export, whole texts in a small window and colours that stay
// with names.

#include <cmath>
#include <map>
#include <set>

#include <QChart>
#include <QChartView>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QImage>
#include <QLegend>
#include <QLineSeries>
#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QValueAxis>
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

  // The texts the chart draws, the hidden ones and its own legend's left out.
  static QStringList ChartTexts(TimelinePane* pane) {
    QStringList texts;
    const QGraphicsItem* legend = pane->View()->chart()->legend();
    for (const QGraphicsItem* item : pane->View()->scene()->items()) {
      const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
      if (text != nullptr && text->isVisible() && !legend->isAncestorOf(text)) {
        texts << text->toPlainText();
      }
    }
    return texts;
  }

  // The colour of each line by its name, checked against the legend's.
  static std::map<QString, QColor> Colours(TimelinePane* pane) {
    std::map<QString, QColor> colours;
    for (int s = 0; pane->Line(s) != nullptr; ++s) {
      QColor colour = pane->Line(s)->pen().color();
      colour.setAlpha(255);
      colours[pane->Line(s)->name()] = colour;
      const QListWidgetItem* entry = pane->Legend()->item(s);
      if (entry == nullptr || entry->text() != pane->Line(s)->name() ||
          entry->data(Qt::UserRole).value<QColor>() != colour) {
        return {};
      }
    }
    return colours;
  }

  // How many colours the lines of a chart have.
  static size_t Distinct(const std::map<QString, QColor>& colours) {
    std::set<QRgb> distinct;
    for (const auto& [name, colour] : colours) distinct.insert(colour.rgb());
    return distinct.size();
  }

  // A fight against a gnoll: `damage` dealt by each name in every one of 60 seconds.
  static Timeline Fight(std::vector<std::pair<std::string, int64_t>> damage) {
    Timeline fight;
    fight.Opponent = "a gnoll";
    fight.LastSecond = 59;
    for (size_t r = 0; r < damage.size(); ++r) {
      fight.Rows.push_back({damage[r].first, damage[r].second * 60, 0});
      for (int64_t second = 0; second < 60; ++second) {
        fight.Cells.push_back({second, r, damage[r].second, 1});
      }
    }
    std::sort(fight.Cells.begin(), fight.Cells.end(),
              [](const TimelineCell& a, const TimelineCell& b) { return a.Second < b.Second; });
    return fight;
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
    // Under the list, in the page's splitter.
    auto* split = w.Find<QSplitter>("EventDetailSplit");
    QVERIFY(pane->isVisible() && split->widget(0) == w.List(2) && split->widget(1) == pane);
    QVERIFY(pane->mapTo(w.Frame(2), QPoint()).y() > w.List(2)->mapTo(w.Frame(2), QPoint()).y());

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
    // No line fades while none is highlighted; the damage axis steps roundly from 0.
    QCOMPARE(pane->Line(0)->pen().color().alpha(), 255);
    const auto* dps = static_cast<QValueAxis*>(pane->View()->chart()->axes(Qt::Vertical).first());
    const double step = dps->max() / (dps->tickCount() - 1);
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
    QVERIFY2(qFuzzyCompare(mantissa, 1) || qFuzzyCompare(mantissa, 2) || qFuzzyCompare(mantissa, 5),
             qPrintable(QString::number(step)));
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

    // A file that is no combat log has the no-fight row, which has no chart.
    w.Parse(w.WriteLog("noise.txt", std::string("\x01\xff\x7fnot a log\r\n\x80\x81", 15)));
    w.ClickTab(2);
    QCOMPARE(ChartTexts(pane), QStringList{QStringLiteral("No fight")});
    QVERIFY(pane->Line(0) == nullptr && pane->Legend()->count() == 0);
  }

  // At the window's smallest size, at scale 1 and as at scale 2 on a 1280 by
  // 1024 screen (the window then fits 640 by 512), with the pane as high as
  // the window gives it and as low as the splitter lets it be, every number
  // and title the chart draws is whole and the legend has every line.
  void wholeTextsInTheSmallestWindow() {
    WindowHarness w;
    w.Parse(QString::fromLocal8Bit(qgetenv("OMBREL_SOURCE_DIR")) +
            QStringLiteral("/data/sample.txt"));
    // The longest fight, with more combatants than lines.
    const TextTable& events = w.app().EventsList();
    for (size_t row = 0; row < events.Rows(); ++row) {
      if (CellAt(events, row, EventsColumn::kMob) == "Grask the Flayer") {
        w.ClickRow(1, static_cast<int>(row));
      }
    }
    w.ClickTab(2);
    TimelinePane* pane = Pane(w);
    QCOMPARE(pane->Chart().Series.size(), size_t{10});
    auto* split = w.Find<QSplitter>("EventDetailSplit");
    const QSize smallest = w.form().minimumSize();
    for (const QSize window : {smallest, QSize(640 - 16, 512 - 48)}) {
      w.form().setMinimumSize(window);
      w.form().resize(window);
      for (const bool lowest : {false, true}) {
        if (lowest) split->setSizes({10000, 1});
        QTest::qWait(20);
        const QString where = QStringLiteral("%1x%2%3")
                                  .arg(window.width())
                                  .arg(window.height())
                                  .arg(lowest ? QStringLiteral(", pane at its lowest") : QString());
        const QStringList texts = ChartTexts(pane);
        for (const QString& text : texts) {
          QVERIFY2(!text.endsWith(QStringLiteral("...")), qPrintable(where + ": " + text));
        }
        // At least two numbers on each axis.
        QVERIFY2(texts.filter(QRegularExpression(QStringLiteral("^\\d+$"))).size() >= 4,
                 qPrintable(where + ": " + texts.join(QLatin1Char('|'))));
        QListWidget* legend = pane->Legend();
        QCOMPARE(legend->count(), 10);
        const QRect last = legend->visualItemRect(legend->item(9));
        QVERIFY2(legend->isVisible() && (legend->verticalScrollBar()->maximum() > 0 ||
                                         last.bottom() <= legend->viewport()->height()),
                 qPrintable(where));
      }
      split->setSizes({1, 1});
    }
  }

  // A combatant keeps its colour while others overtake it, and in another
  // fight; the names of one chart have colours of their own.
  void coloursStayWithNames() {
    TimelinePane pane;
    pane.resize(600, 300);
    pane.show();
    Timeline first = Fight({{"Zarra", 50}, {"Brutus", 30}, {"Tarlen", 10}});
    pane.Show(first);
    const std::map<QString, QColor> before = Colours(&pane);
    QCOMPARE(before.size(), size_t{4});
    QCOMPARE(Distinct(before), size_t{4});
    // A refresh while following: Tarlen now deals the most and Kess joins.
    Timeline grown = Fight({{"Zarra", 50}, {"Brutus", 30}, {"Tarlen", 90}, {"Kess", 70}});
    pane.Show(grown);
    QCOMPARE(LineNames(&pane), Split("Tarlen|Kess|Zarra|Brutus|a gnoll"));
    std::map<QString, QColor> after = Colours(&pane);
    QCOMPARE(Distinct(after), size_t{5});
    for (const auto& [name, colour] : before) QCOMPARE(after.at(name), colour);
    // Another fight of the log.
    Timeline other = Fight({{"Kess", 20}, {"Brutus", 40}, {"Morrow", 60}});
    pane.Show(other);
    const std::map<QString, QColor> third = Colours(&pane);
    QVERIFY(third.at("Kess") == after.at("Kess") && third.at("Brutus") == after.at("Brutus"));
    QCOMPARE(Distinct(third), size_t{4});
  }

  // The View item closes the pane and is remembered with the window's
  // seconds; the picture exports by the name's ending, the pane open or not.
  void viewItemAndPictureExport() {
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("ombrel.ini")), QSettings::IniFormat);
    {
      WindowHarness w(&RunParse, {}, &settings);
      OpenGnollFight(w);
      QVERIFY(Pane(w)->isVisible() && w.Item("mnuExportTimeline")->isEnabled());
      const QString svg = w.Dir() + QStringLiteral("/gnoll.svg");
      w.dialogs().save_answers.push_back(svg);
      w.Item("mnuExportTimeline")->trigger();
      // The name proposed: the opponent and the fight's start.
      QCOMPARE(w.dialogs().shown.back().text + "|" + w.dialogs().shown.back().folder,
               "SVG picture (*.svg);;PNG picture (*.png)|a gnoll 2006-01-02 15-04-05");
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
