// The window driven through parses, tabs, double-clicks, sorts and exports.
#include <QDir>
#include <QFileInfo>

#include "WindowHarness.h"

using ombrel::gui::testing::kTwoFightsLog;
using ombrel::gui::testing::WindowHarness;

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Column(const QStringList& rows, int column) {
  QStringList cells;
  for (const QString& row : rows) cells << row.split(QLatin1Char('|')).value(column);
  return cells;
}

const QStringList kGnollRows = {QStringLiteral(" [ Total ] "), QStringLiteral("Tarlen"),
                                QStringLiteral("Brutus`s pet"), QStringLiteral("Brutus"),
                                QStringLiteral("Zarra")};

}  // namespace

class Form1WorkflowTest : public QObject {
  Q_OBJECT

 private slots:
  void nameCheck() {
    WindowHarness w;
    QLineEdit* name = w.Find<QLineEdit>("Yourname");
    QPushButton* parse = w.Find<QPushButton>("Command1");

    // The untouched initial text and an empty name are refused before any dialog.
    QTest::mouseClick(parse, Qt::LeftButton);
    name->clear();
    w.Item("mnuOpenLog")->trigger();
    QCOMPARE(w.dialogs().shown.size(), size_t(2));
    for (const auto& shown : w.dialogs().shown) {
      QCOMPARE(shown.kind, QStringLiteral("message"));
      QCOMPARE(shown.title, QStringLiteral("Invalid Character Name"));
      QCOMPARE(shown.text, QStringLiteral("Hey, use a real name eh?"));
    }
    // The settings were still taken.
    w.Find<QCheckBox>("chkPets")->setChecked(true);
    QTest::mouseClick(parse, Qt::LeftButton);
    QVERIFY(w.app().globals().IncludePets);

    // The initial text in small letters is a name: the open dialog follows.
    w.dialogs().shown.clear();
    name->setText(QStringLiteral("type your name here"));
    QTest::mouseClick(parse, Qt::LeftButton);
    QCOMPARE(w.dialogs().shown.size(), size_t(1));
    QCOMPARE(w.dialogs().shown[0].kind, QStringLiteral("open"));
    QCOMPARE(w.dialogs().shown[0].title, QStringLiteral("Pick a log file already"));
    QCOMPARE(w.dialogs().shown[0].text, QStringLiteral("Text files (*.txt)"));
    QVERIFY(w.app().globals().CharacterName == "type your name here");
    // Cancelled: nothing changed.
    QCOMPARE(w.form().windowTitle(), QStringLiteral("Ombrel Raid by Zerrit"));
    QVERIFY(!w.Tabs()->isEnabled());

    // The name reaches the app as Windows-1252 bytes.
    name->setText(QString::fromUtf8("Zo\xC3\xAB"));
    QTest::mouseClick(parse, Qt::LeftButton);
    QVERIFY(w.app().globals().CharacterName == "Zo\xEB");
  }

  void eventGapFromTheGapBox() {
    WindowHarness w;
    w.Find<QLineEdit>("Yourname")->setText(QStringLiteral("Tarlen"));
    QComboBox* gaps = w.Find<QComboBox>("cmbEventTimer");
    auto gap_after_parse = [&] {
      w.app().globals().EventGap = -1;
      QTest::mouseClick(w.Find<QPushButton>("Command1"), Qt::LeftButton);  // dialog cancelled
      return w.app().globals().EventGap;
    };
    QCOMPARE(gap_after_parse(), 18);  // no item chosen
    gaps->setCurrentIndex(0);
    QCOMPARE(gap_after_parse(), 18);
    gaps->setCurrentIndex(147);
    QCOMPARE(gap_after_parse(), 900);
    gaps->setCurrentIndex(7);
    QCOMPARE(gap_after_parse(), 60);
    // Typing into the edit field drops the chosen item.
    QTest::keyClicks(gaps->lineEdit(), QStringLiteral("5"));
    QCOMPARE(gaps->currentIndex(), -1);
    QCOMPARE(gaps->currentText(), QStringLiteral("00:01:005"));
    QTest::keyClick(gaps->lineEdit(), Qt::Key_Return);
    QCOMPARE(gaps->count(), 148);
    QCOMPARE(gap_after_parse(), 18);
    // Typed text that equals an item is still no choice.
    gaps->lineEdit()->clear();
    QTest::keyClicks(gaps->lineEdit(), QStringLiteral("00:15:00"));
    QTest::keyClick(gaps->lineEdit(), Qt::Key_Return);
    QCOMPARE(gaps->currentIndex(), -1);
    QCOMPARE(gap_after_parse(), 18);
  }

  void parseLandsOnEventsPage() {
    WindowHarness w;
    const QString log = w.WriteLog("raid.txt", kTwoFightsLog);
    w.Parse(log);

    QVERIFY(w.dialogs().Messages().empty());
    QCOMPARE(w.form().windowTitle(),
             QStringLiteral("Ombrel Raid - ") + QDir::toNativeSeparators(log));
    QVERIFY(w.Tabs()->isEnabled());
    QCOMPARE(w.Tabs()->currentIndex(), 1);
    QCOMPARE(w.Frame(0)->title(), QStringLiteral("Settings"));
    QCOMPARE(w.Frame(1)->x(), 8);
    for (int page : {0, 2, 3}) QCOMPARE(w.Frame(page)->x(), -20000 / 15);
    QVERIFY(w.Item("mnuExportEvents")->isEnabled());
    QVERIFY(!w.Item("mnuExportEventDetail")->isEnabled());
    QVERIFY(!w.Find<QProgressBar>("ParseProgress")->isVisible());

    const QStringList rows = w.Rows(1);
    QCOMPARE(rows.size(), 2);
    const QStringList gnoll = rows[0].split(QLatin1Char('|'));
    QCOMPARE(gnoll.size(), 16);
    QCOMPARE(gnoll[0], QStringLiteral("a gnoll"));
    QCOMPARE(gnoll[1], QStringLiteral("110"));  // taken: 20 + 30 + 10 + 50
    QCOMPARE(gnoll[2], QStringLiteral("15"));
    QCOMPARE(gnoll[3], QStringLiteral("4"));
    QCOMPARE(gnoll[6], QStringLiteral("01/02/2006 15:04:05"));
    QCOMPARE(gnoll[7], QStringLiteral("01/02/2006 15:04:09"));
    QCOMPARE(rows[1].section(QLatin1Char('|'), 0, 1), QStringLiteral("an orc|47"));
    // Every cell as the app layer holds it.
    const auto& table = w.app().EventsList();
    for (int r = 0; r < 2; ++r) {
      for (int c = 0; c < 16; ++c) {
        QCOMPARE(rows[r].split(QLatin1Char('|'))[c],
                 QString::fromStdString(table.Cell(size_t(r), size_t(c))));
      }
    }
    QCOMPARE(w.SelectedRow(1), 0);

    // Open Log... from the events page parses again and comes back to it.
    w.ClickTab(0);
    QCOMPARE(w.Frame(0)->x(), 8);
    QCOMPARE(w.Frame(1)->x(), -20000 / 15);
    w.dialogs().open_answers.push_back(log);
    w.Item("mnuOpenLog")->trigger();
    w.WaitIdle();
    QCOMPARE(w.Tabs()->currentIndex(), 1);
    QCOMPARE(w.Frame(1)->x(), 8);
    QCOMPARE(w.Rows(1), rows);
  }

  void cancelledOpenDialogChangesNothing() {
    WindowHarness w;
    w.Parse(w.WriteLog("raid.txt", kTwoFightsLog));
    w.ClickRow(1, 1);
    const QString title = w.form().windowTitle();
    const QStringList rows = w.Rows(1);
    w.Find<QLineEdit>("Yourname")->setText(QStringLiteral("Zarra"));
    QTest::mouseClick(w.Find<QPushButton>("Command1"), Qt::LeftButton);  // no answer: cancelled
    QVERIFY(!w.form().Busy());
    QCOMPARE(w.form().windowTitle(), title);
    QCOMPARE(w.Rows(1), rows);
    QCOMPARE(w.SelectedRow(1), 1);
    QCOMPARE(w.Tabs()->currentIndex(), 1);
    QVERIFY(w.app().globals().CharacterName == "Zarra");
  }

  void doubleClicksOpenTheDetailPages() {
    WindowHarness w;
    w.Parse(w.WriteLog("raid.txt", kTwoFightsLog));

    w.DoubleClickRow(1, 1);
    QCOMPARE(w.Tabs()->currentIndex(), 2);
    QCOMPARE(w.Frame(2)->title(), QStringLiteral("Event Details - an orc"));
    QCOMPARE(w.Frame(2)->x(), 8);
    QCOMPARE(w.Frame(1)->x(), -20000 / 15);
    QCOMPARE(w.Names(2), (QStringList{QStringLiteral(" [ Total ] "), QStringLiteral("Tarlen"),
                                      QStringLiteral("Zarra")}));
    QCOMPARE(w.SelectedRow(2), 0);
    QVERIFY(w.Item("mnuExportEventDetail")->isEnabled());

    w.DoubleClickRow(2, 2);
    QCOMPARE(w.Tabs()->currentIndex(), 3);
    QCOMPARE(w.Frame(3)->title(), QStringLiteral("PC Details - Zarra on an orc"));
    QCOMPARE(w.Frame(3)->x(), 8);
    QCOMPARE(w.Frame(2)->x(), -20000 / 15);
    QVERIFY(!w.Rows(3).isEmpty());
    QCOMPARE(w.Names(3).front(), QStringLiteral("slashes"));
    QCOMPARE(w.SelectedRow(3), 0);

    // The PC Detail tab without touching the combatants analyses the total row.
    w.ClickTab(1);
    w.ClickRow(1, 0);
    w.ClickTab(2);
    QCOMPARE(w.Frame(2)->title(), QStringLiteral("Event Details - a gnoll"));
    QCOMPARE(w.Names(2), kGnollRows);
    w.ClickTab(3);
    QCOMPARE(w.Frame(3)->title(), QStringLiteral("PC Details -  [ Total ]  on a gnoll"));
  }

  void headerSortThenEventDetailExport() {
    WindowHarness w;
    w.Parse(w.WriteLog("raid.txt", kTwoFightsLog));
    w.ClickTab(2);
    QCOMPARE(w.Names(2), kGnollRows);
    const QStringList unsorted = w.Rows(2);

    // Headers past the fifth do nothing.
    for (int section : {5, 6, 24}) {
      w.ClickHeader(2, section);
      QCOMPARE(w.Rows(2), unsorted);
    }
    w.ClickHeader(2, 1);  // "Dmg Dealt", largest first
    const QStringList by_damage = {QStringLiteral(" [ Total ] "), QStringLiteral("Zarra"),
                                   QStringLiteral("Brutus`s pet"), QStringLiteral("Tarlen"),
                                   QStringLiteral("Brutus")};
    QCOMPARE(w.Names(2), by_damage);
    QCOMPARE(Column(w.Rows(2), 1),
             (QStringList{QStringLiteral("110"), QStringLiteral("50"), QStringLiteral("30"),
                          QStringLiteral("20"), QStringLiteral("10")}));
    QCOMPARE(w.SelectedRow(2), 0);
    w.ClickHeader(2, 0);  // by name
    QCOMPARE(w.Names(2).mid(1),
             (QStringList{QStringLiteral("Brutus`s pet"), QStringLiteral("Brutus"),
                          QStringLiteral("Tarlen"), QStringLiteral("Zarra")}));
    w.ClickHeader(2, 1);

    // The export writes the rows as sorted.
    const QString report = w.Dir() + QStringLiteral("/detail.htm");
    w.dialogs().save_answers.push_back(report);
    w.Item("mnuExportEventDetail")->trigger();
    QCOMPARE(w.dialogs().shown.back().kind, QStringLiteral("save"));
    QCOMPARE(w.dialogs().shown.back().title, QStringLiteral("Save Event Details As"));
    QCOMPARE(w.dialogs().shown.back().text, QStringLiteral("Web files (*.htm)"));
    QVERIFY(w.dialogs().Messages().empty());
    const QByteArray html = ReadAll(report);
    QVERIFY(!html.isEmpty());
    const qsizetype zarra = html.indexOf("Zarra");
    const qsizetype tarlen = html.indexOf("Tarlen");
    QVERIFY(zarra > 0 && tarlen > 0);
    QVERIFY(zarra < tarlen);

    // Choosing the tab again rebuilds the list in its own order.
    w.ClickTab(1);
    w.ClickTab(2);
    QCOMPARE(w.Rows(2), unsorted);

    // The events report.
    const QString events = w.Dir() + QStringLiteral("/events.htm");
    w.dialogs().save_answers.push_back(events);
    w.Item("mnuExportEvents")->trigger();
    QCOMPARE(w.dialogs().shown.back().title, QStringLiteral("Save Events As"));
    QVERIFY(ReadAll(events).contains("<td>an orc</td>"));
    // A cancelled save dialog writes nothing.
    w.Item("mnuExportEvents")->trigger();
    QCOMPARE(w.dialogs().shown.back().kind, QStringLiteral("save"));
    QVERIFY(w.dialogs().Messages().empty());
  }

  void exportItemsThroughTheTabs() {
    WindowHarness w;
    QAction* events = w.Item("mnuExportEvents");
    QAction* detail = w.Item("mnuExportEventDetail");
    w.Parse(w.WriteLog("raid.txt", kTwoFightsLog));
    QVERIFY(events->isEnabled());
    QVERIFY(!detail->isEnabled());
    // tab index, then whether Export > Event Detail is enabled afterwards
    const std::pair<int, bool> steps[] = {{2, true}, {1, false}, {0, false}, {3, false},
                                          {2, true}, {0, true},  {3, true},  {1, false}};
    for (const auto& [tab, enabled] : steps) {
      w.ClickTab(tab);
      QCOMPARE(w.Tabs()->currentIndex(), tab);
      for (int page = 0; page < 4; ++page) QCOMPARE(w.Frame(page)->x() == 8, page == tab);
      QCOMPARE(detail->isEnabled(), enabled);
      QVERIFY(events->isEnabled());
    }
  }

  void optionsMarksWriteTheirFiles() {
    WindowHarness w;
    QAction* data = w.Item("mnuPrintData");
    data->trigger();
    QVERIFY(data->isChecked());
    QVERIFY(w.app().options().PrintData);
    data->trigger();
    QVERIFY(!data->isChecked());
    QVERIFY(!w.app().options().PrintData);
    const QString log = w.WriteLog("raid.txt", kTwoFightsLog);
    w.Parse(log);
    QVERIFY(!QFileInfo::exists(w.Dir() + QStringLiteral("/Data.csv")));
    QVERIFY(!QFileInfo::exists(w.Dir() + QStringLiteral("/Events.csv")));

    data->trigger();
    w.Item("mnuPrintEvents")->trigger();
    w.Item("mnuPrintDetails")->trigger();
    w.Item("mnuPrintPCDetails")->trigger();
    QVERIFY(w.app().options().PrintDetails && w.app().options().PrintPCDetails);
    w.Parse(log);
    QVERIFY(ReadAll(w.Dir() + QStringLiteral("/Data.csv")).startsWith("Date,Dealer,Taker"));
    QVERIFY(ReadAll(w.Dir() + QStringLiteral("/Events.csv")).startsWith("Mob,"));
    w.ClickTab(2);
    QVERIFY(QFileInfo::exists(w.Dir() + QStringLiteral("/textpclist.csv")));
    w.ClickTab(3);
    QVERIFY(QFileInfo::exists(w.Dir() + QStringLiteral("/PCdetail.csv")));
    QVERIFY(w.dialogs().Messages().empty());
  }

  void petBoxCountsFromTheNextParse() {
    WindowHarness w;
    const QString log = w.WriteLog("raid.txt", kTwoFightsLog);
    w.Parse(log);
    w.ClickTab(2);
    QCOMPARE(w.Names(2), kGnollRows);
    w.Find<QCheckBox>("chkPets")->setChecked(true);
    w.ClickTab(1);
    w.ClickTab(2);
    QCOMPARE(w.Names(2), kGnollRows);

    w.Parse(log);
    w.ClickTab(2);
    QCOMPARE(w.Names(2), (QStringList{QStringLiteral(" [ Total ] "), QStringLiteral("Tarlen"),
                                      QStringLiteral("Brutus + pet"), QStringLiteral("Zarra")}));
    QCOMPARE(Column(w.Rows(2), 1)[2], QStringLiteral("40"));
  }

  void pcDetailBeforeAnyEventDetail() {
    WindowHarness w;
    w.Parse(w.WriteLog("raid.txt", kTwoFightsLog));
    w.ClickTab(3);
    QCOMPARE(w.Tabs()->currentIndex(), 3);
    QCOMPARE(w.Frame(3)->x(), 8);
    QCOMPARE(w.List(3)->model()->rowCount(), 0);
    QCOMPARE(w.SelectedRow(3), -1);
    QVERIFY(w.dialogs().Messages().empty());
  }

  void unreadableLogLeavesEverything() {
    WindowHarness w;
    w.Parse(w.WriteLog("raid.txt", kTwoFightsLog));
    w.ClickTab(2);
    w.ClickTab(1);
    const QString title = w.form().windowTitle();
    const QStringList events = w.Rows(1);
    const QStringList detail = w.Rows(2);

    const QString missing = w.Dir() + QStringLiteral("/no such log.txt");
    w.Parse(missing);
    const auto messages = w.dialogs().Messages();
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].title, QStringLiteral("Cannot Read Log"));
    QVERIFY2(messages[0].text.startsWith(missing + QStringLiteral(": ")),
             qPrintable(messages[0].text));
    QVERIFY(messages[0].text.size() > missing.size() + 2);  // a reason follows
    QCOMPARE(w.form().windowTitle(), title);
    QCOMPARE(w.Frame(0)->title(), QStringLiteral("Settings"));
    QCOMPARE(w.Rows(1), events);
    QCOMPARE(w.Rows(2), detail);
    QCOMPARE(w.Tabs()->currentIndex(), 1);
    QVERIFY(w.Tabs()->isEnabled());
    QVERIFY(w.Find<QPushButton>("Command1")->isEnabled());

    // A folder as the log, before any parse.
    WindowHarness fresh;
    fresh.Parse(fresh.Dir());
    QCOMPARE(fresh.dialogs().Messages().size(), size_t(1));
    QCOMPARE(fresh.form().windowTitle(), QStringLiteral("Ombrel Raid by Zerrit"));
    QVERIFY(!fresh.Tabs()->isEnabled());
    QVERIFY(!fresh.Item("mnuExportEvents")->isEnabled());
  }

  void unwritableFilesAreReported() {
    WindowHarness w;
    w.Parse(w.WriteLog("raid.txt", kTwoFightsLog));
    // A path below a plain file cannot be created, whoever runs the test.
    const QString report = w.Dir() + QStringLiteral("/raid.txt/events.htm");
    w.dialogs().save_answers.push_back(report);
    w.Item("mnuExportEvents")->trigger();
    auto messages = w.dialogs().Messages();
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].title, QStringLiteral("Cannot Write File"));
    QVERIFY2(messages[0].text.startsWith(report + QStringLiteral(": ")),
             qPrintable(messages[0].text));

    w.ClickTab(2);
    w.dialogs().save_answers.push_back(report);
    w.Item("mnuExportEventDetail")->trigger();
    QCOMPARE(w.dialogs().Messages().size(), size_t(2));

    // The comma-separated files, into a folder that cannot exist.
    QTemporaryDir dir;
    const std::filesystem::path blocked = ombrel::gui::ToPath(dir.filePath(QStringLiteral("file")));
    std::ofstream(blocked) << "x";
    WindowHarness csv(blocked, &ombrel::RunParse);
    csv.Item("mnuPrintData")->trigger();
    csv.Item("mnuPrintEvents")->trigger();
    csv.Item("mnuPrintDetails")->trigger();
    csv.Parse(csv.WriteLog("raid.txt", kTwoFightsLog));
    messages = csv.dialogs().Messages();
    QCOMPARE(messages.size(), size_t(2));
    QVERIFY(messages[0].text.contains(QStringLiteral("Data.csv")));
    QVERIFY(messages[1].text.contains(QStringLiteral("Events.csv")));
    QCOMPARE(csv.Tabs()->currentIndex(), 1);  // the parse itself counts
    QCOMPARE(csv.Rows(1).size(), 2);
    csv.ClickTab(2);
    messages = csv.dialogs().Messages();
    QCOMPARE(messages.size(), size_t(3));
    QCOMPARE(messages[2].title, QStringLiteral("Cannot Write File"));
    QVERIFY(messages[2].text.contains(QStringLiteral("textpclist.csv")));
    QCOMPARE(csv.Names(2).size(), 5);
  }

  void selectionsReachTheApp() {
    WindowHarness w;
    w.Parse(w.WriteLog("raid.txt", kTwoFightsLog));
    w.ClickRow(1, 1);
    QCOMPARE(w.app().SelectedEvent(), size_t(1));
    // A control-click cannot leave the list without a selected row.
    QTreeView* events = w.List(1);
    QTest::mouseClick(events->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      events->visualRect(events->model()->index(1, 0)).center());
    QCOMPARE(w.SelectedRow(1), 1);
    QCOMPARE(w.app().SelectedEvent(), size_t(1));
    w.ClickTab(1 + 1);
    w.ClickRow(2, 2);
    QCOMPARE(w.app().SelectedCombatant(), size_t(2));
    // Back to the events and on to PC Detail: the combatant row stays chosen.
    w.ClickTab(1);
    QCOMPARE(w.SelectedRow(1), 1);
    w.ClickTab(3);
    QCOMPARE(w.Frame(3)->title(), QStringLiteral("PC Details - Zarra on an orc"));
  }
};

QTEST_MAIN(Form1WorkflowTest)
#include "Form1WorkflowTest.moc"
