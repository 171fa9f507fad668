// The window driven through parses, tabs, double-clicks, sorts and exports.
#include <QDir>
#include <QFileInfo>

#include "WindowHarness.h"

using ombrel::gui::testing::Split;
using ombrel::gui::testing::WindowHarness;

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QStringList kGnollRows = Split(" [ Total ] |Tarlen|Brutus`s pet|Brutus|Zarra");

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
      QCOMPARE(shown.kind + shown.title + shown.text,
               QStringLiteral("messageInvalid Character NameHey, use a real name eh?"));
    }
    // The initial text in small letters is a name: the open dialog follows,
    // and cancelled it changes nothing.
    w.dialogs().shown.clear();
    name->setText(QStringLiteral("type your name here"));
    QTest::mouseClick(parse, Qt::LeftButton);
    QCOMPARE(w.dialogs().shown.size(), size_t(1));
    QCOMPARE(w.dialogs().shown[0].kind + w.dialogs().shown[0].title + w.dialogs().shown[0].text,
             QStringLiteral("openPick a log file alreadyText files (*.txt);;All files (*)"));
    QCOMPARE(w.form().windowTitle(), QStringLiteral("Ombrel Raid by Zerrit"));
    QVERIFY(!w.Tabs()->isEnabled());

    // The name reaches the app as Windows-1252 bytes.
    name->setText(QString::fromUtf8("Zo\xC3\xAB"));
    QTest::mouseClick(parse, Qt::LeftButton);
    QVERIFY(w.app().settings().CharacterName == "Zo\xEB");
  }

  void eventGapFromTheGapBox() {
    WindowHarness w;
    w.Find<QLineEdit>("Yourname")->setText(QStringLiteral("Tarlen"));
    QComboBox* gaps = w.Find<QComboBox>("cmbEventTimer");
    auto gap_after_parse = [&] {
      w.app().settings().EventGap = -1;
      QTest::mouseClick(w.Find<QPushButton>("Command1"), Qt::LeftButton);  // dialog cancelled
      return w.app().settings().EventGap;
    };
    QCOMPARE(gap_after_parse(), 18);  // no item chosen
    for (const auto& [item, gap] : {std::pair{0, 18}, {147, 900}, {7, 60}}) {
      gaps->setCurrentIndex(item);
      QCOMPARE(gap_after_parse(), gap);
    }
    // Typed text, even one equal to an item, is no choice.
    gaps->lineEdit()->clear();
    QTest::keyClicks(gaps->lineEdit(), QStringLiteral("00:15:00"));
    QTest::keyClick(gaps->lineEdit(), Qt::Key_Return);
    QCOMPARE(gaps->currentIndex(), -1);
    QCOMPARE(gaps->count(), 148);
    QCOMPARE(gap_after_parse(), 18);
    // Nor when the box loses the focus, after an item was chosen before.
    gaps->setCurrentIndex(3);
    gaps->lineEdit()->setFocus();
    gaps->lineEdit()->selectAll();
    QTest::keyClicks(gaps->lineEdit(), QStringLiteral("00:05:18"));
    QTest::keyClick(gaps->lineEdit(), Qt::Key_Tab);
    QVERIFY(!gaps->lineEdit()->hasFocus());
    QCOMPARE(gaps->currentIndex(), -1);
    QCOMPARE(gaps->currentText(), QStringLiteral("00:05:18"));
    QCOMPARE(gap_after_parse(), 18);
  }

  void parseLandsOnEventsPage() {
    WindowHarness w;
    const QString log = w.WriteLog();
    w.Parse(log);
    QVERIFY(w.dialogs().Messages().empty());
    QCOMPARE(w.form().windowTitle(),
             QStringLiteral("Ombrel Raid - ") + QDir::toNativeSeparators(log));
    QVERIFY(w.Tabs()->isEnabled());
    QCOMPARE(w.Tabs()->currentIndex(), 1);
    QCOMPARE(w.Frame(0)->title(), QStringLiteral("Settings"));
    QCOMPARE(w.ShownPage(), 1);
    QVERIFY(w.Item("mnuExportEvents")->isEnabled());
    QVERIFY(!w.Item("mnuExportEventDetail")->isEnabled());
    QVERIFY(!w.Find<QProgressBar>("ParseProgress")->isVisible());
    const QStringList rows = w.Rows(1);
    QCOMPARE(rows, (QStringList{QStringLiteral("a gnoll|110|15|4|27.50|3.75|01/02/2006 15:04:05|"
                                               "01/02/2006 15:04:09|50|10|4|27.50|15|15|1|15.00"),
                                QStringLiteral("an orc|47|0|2|23.50|0.00|01/02/2006 15:06:00|"
                                               "01/02/2006 15:06:02|40|7|2|23.50|0|0|0|0")}));
    QCOMPARE(w.SelectedRow(1), 0);

    // A cancelled open dialog after the parse changes nothing.
    w.ClickRow(1, 1);
    QTest::mouseClick(w.Find<QPushButton>("Command1"), Qt::LeftButton);
    QVERIFY(!w.form().Busy());
    QCOMPARE(w.Rows(1), rows);
    QCOMPARE(w.SelectedRow(1), 1);
    QCOMPARE(w.Tabs()->currentIndex(), 1);

    // The PC Detail tab before any Event Detail visit: an empty list.
    w.ClickTab(3);
    QCOMPARE(w.ShownPage(), 3);
    QCOMPARE(w.List(3)->model()->rowCount(), 0);
    QCOMPARE(w.SelectedRow(3), -1);

    // Open Log... from another page parses again and comes back to the events.
    w.dialogs().open_answers.push_back(log);
    w.Item("mnuOpenLog")->trigger();
    w.WaitIdle();
    QCOMPARE(w.Tabs()->currentIndex(), 1);
    QCOMPARE(w.ShownPage(), 1);
    QCOMPARE(w.SelectedRow(1), 0);
    QVERIFY(w.dialogs().Messages().empty());
  }

  void doubleClicksOpenTheDetailPages() {
    WindowHarness w;
    w.Parse(w.WriteLog());
    w.DoubleClickRow(1, 1);
    QCOMPARE(w.Tabs()->currentIndex(), 2);
    QCOMPARE(w.Frame(2)->title(), QStringLiteral("Event Details - an orc"));
    QCOMPARE(w.ShownPage(), 2);
    QCOMPARE(w.Column(2), Split(" [ Total ] |Tarlen|Zarra"));
    QCOMPARE(w.SelectedRow(2), 0);
    QVERIFY(w.Item("mnuExportEventDetail")->isEnabled());

    w.DoubleClickRow(2, 2);
    QCOMPARE(w.Tabs()->currentIndex(), 3);
    QCOMPARE(w.Frame(3)->title(), QStringLiteral("PC Details - Zarra on an orc"));
    QCOMPARE(w.ShownPage(), 3);
    QCOMPARE(w.Column(3), Split("slashes"));
    QCOMPARE(w.SelectedRow(3), 0);

    // A control-click unselects the row for copying; it stays the list's
    // choice as its current row.
    w.ClickTab(1);
    QTreeView* events = w.List(1);
    QTest::mouseClick(events->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      events->visualRect(events->model()->index(1, 0)).center());
    QCOMPARE(w.SelectedRow(1), -1);
    QCOMPARE(w.app().SelectedEvent(), size_t(1));
    w.ClickRow(1, 0);
    QCOMPARE(w.app().SelectedEvent(), size_t(0));
    w.ClickTab(2);
    QCOMPARE(w.Frame(2)->title(), QStringLiteral("Event Details - a gnoll"));
    QCOMPARE(w.Column(2), kGnollRows);
    w.ClickRow(2, 4);
    QCOMPARE(w.app().SelectedCombatant(), size_t(4));
    w.ClickTab(3);
    QCOMPARE(w.Frame(3)->title(), QStringLiteral("PC Details - Zarra on a gnoll"));
  }

  void headerSortThenEventDetailExport() {
    WindowHarness w;
    w.Parse(w.WriteLog());
    w.ClickTab(2);
    const QStringList unsorted = w.Rows(2);
    for (int section : {5, 6, 24}) {  // headers past the fifth do nothing
      w.ClickHeader(2, section);
      QCOMPARE(w.Rows(2), unsorted);
    }
    w.ClickHeader(2, 0);  // by name
    QCOMPARE(w.Column(2), Split(" [ Total ] |Brutus`s pet|Brutus|Tarlen|Zarra"));
    w.ClickHeader(2, 1);  // "Dmg Dealt", largest first
    QCOMPARE(w.Column(2), Split(" [ Total ] |Zarra|Brutus`s pet|Tarlen|Brutus"));
    QCOMPARE(w.Column(2, 1), Split("110|50|30|20|10"));
    QCOMPARE(w.SelectedRow(2), 0);

    // The export writes the rows as sorted.
    const QString report = w.Dir() + QStringLiteral("/detail.htm");
    w.dialogs().save_answers.push_back(report);
    w.Item("mnuExportEventDetail")->trigger();
    const auto& save = w.dialogs().shown.back();
    QCOMPARE(save.kind + save.title + save.text,
             QStringLiteral("saveSave Event Details AsWeb files (*.htm)"));
    const QByteArray html = ReadAll(report);
    QVERIFY(html.indexOf("Zarra") > 0 && html.indexOf("Zarra") < html.indexOf("Tarlen"));

    // The events report; a cancelled save dialog writes nothing.
    const QString events = w.Dir() + QStringLiteral("/events.htm");
    w.dialogs().save_answers.push_back(events);
    w.Item("mnuExportEvents")->trigger();
    QCOMPARE(w.dialogs().shown.back().title, QStringLiteral("Save Events As"));
    QVERIFY(ReadAll(events).contains("<td>an orc</td>"));
    w.Item("mnuExportEvents")->trigger();
    QVERIFY(w.dialogs().Messages().empty());
  }

  void exportItemsThroughTheTabs() {
    WindowHarness w;
    QAction* events = w.Item("mnuExportEvents");
    QAction* detail = w.Item("mnuExportEventDetail");
    w.Parse(w.WriteLog());
    QVERIFY(!detail->isEnabled());
    // tab index, then whether Export > Event Detail is enabled afterwards
    const std::pair<int, bool> steps[] = {{2, true}, {1, false}, {0, false}, {3, false},
                                          {2, true}, {0, true},  {3, true},  {1, false}};
    for (const auto& [tab, enabled] : steps) {
      w.ClickTab(tab);
      QCOMPARE(w.Tabs()->currentIndex(), tab);
      QCOMPARE(w.ShownPage(), tab);
      QCOMPARE(detail->isEnabled(), enabled);
      QVERIFY(events->isEnabled());
    }
  }

  void petBoxCountsFromTheNextParse() {
    WindowHarness w;
    const QString log = w.WriteLog();
    w.Parse(log);
    w.Find<QCheckBox>("chkPets")->setChecked(true);
    w.ClickTab(2);
    QCOMPARE(w.Column(2), kGnollRows);
    w.Parse(log);
    w.ClickTab(2);
    QCOMPARE(w.Column(2), Split(" [ Total ] |Tarlen|Brutus + pet|Zarra"));
    QCOMPARE(w.Column(2, 1)[2], QStringLiteral("40"));
  }

  void unreadableLogLeavesEverything() {
    WindowHarness w;
    w.Parse(w.WriteLog());
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
    QVERIFY(w.Find<QPushButton>("Command1")->isEnabled());

    // A folder as the log, before any parse.
    WindowHarness fresh;
    fresh.Parse(fresh.Dir());
    QCOMPARE(fresh.dialogs().Messages().size(), size_t(1));
    QVERIFY(!fresh.Tabs()->isEnabled());
    QVERIFY(!fresh.Item("mnuExportEvents")->isEnabled());
  }

  void unwritableFilesAreReported() {
    WindowHarness w;
    w.Parse(w.WriteLog());
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
    WindowHarness csv(&ombrel::RunParse,
                      ombrel::gui::ToPath(w.Dir() + QStringLiteral("/raid.txt")));
    csv.Item("mnuPrintData")->trigger();
    csv.Item("mnuPrintEvents")->trigger();
    csv.Item("mnuPrintDetails")->trigger();
    csv.Parse(csv.WriteLog());
    csv.ClickTab(2);
    messages = csv.dialogs().Messages();
    QCOMPARE(messages.size(), size_t(3));
    for (int k = 0; k < 3; ++k) {
      QCOMPARE(messages[size_t(k)].title, QStringLiteral("Cannot Write File"));
      QVERIFY(messages[size_t(k)].text.contains(Split("Data.csv|Events.csv|textpclist.csv")[k]));
    }
    QCOMPARE(csv.Rows(1).size(), 2);  // the parse itself counts
    QCOMPARE(csv.Column(2).size(), 5);
  }
};

QTEST_MAIN(Form1WorkflowTest)
#include "Form1WorkflowTest.moc"
