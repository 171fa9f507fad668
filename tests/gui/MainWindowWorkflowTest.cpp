// The window driven through parses, tabs, double-clicks, sorts and exports.
#include <QAbstractItemModelTester>
#include <QDir>
#include <QFileInfo>

#include "WindowHarness.h"
#include "gui/EventsViewModel.h"
#include "gui/FindDialog.h"
#include "gui/LogViewPane.h"

using ombrel::gui::testing::WindowHarness;

class MainWindowWorkflowTest : public QObject {
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
    QCOMPARE(w.dialogs().Last(),
             QStringLiteral("message|Invalid Character Name|Hey, use a real name eh?"));
    QCOMPARE(w.dialogs().shown[0].text, w.dialogs().shown[1].text);
    // The initial text in small letters is a name: the open dialog follows,
    // and cancelled it changes nothing.
    w.dialogs().shown.clear();
    name->setText(QStringLiteral("type your name here"));
    QTest::mouseClick(parse, Qt::LeftButton);
    QCOMPARE(w.dialogs().shown.size(), size_t(1));
    QCOMPARE(w.dialogs().Last(),
             QStringLiteral("open|Pick a log file already|Text files (*.txt);;All files (*)"));
    w.Expect("Form1.windowTitle=Ombrel Raid by Zerrit|TabStrip1.enabled=false");

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

  // The parse, the detail pages reached by double-clicks, the Export items
  // through the tabs and the export dialogs; the lists' texts are the app's
  // (its tests check them).
  void parseDetailPagesAndExports() {
    WindowHarness w;
    QAction* events = w.Item("mnuExportEvents");
    QAction* detail = w.Item("mnuExportEventDetail");
    const QString log = w.WriteLog();
    w.Parse(log);
    QVERIFY(w.dialogs().Messages().empty());
    w.Expect("Form1.windowTitle=Ombrel Raid - " + QDir::toNativeSeparators(log) +
             "|TabStrip1.enabled=true|TabStrip1.currentIndex=1|mnuExportEvents.enabled=true"
             "|mnuExportEventDetail.enabled=false|ParseProgress.visible=false");
    QVERIFY(w.ShownPage() == 1 && w.Rows(1).size() == 2 && w.SelectedRow(1) == 0);

    // A cancelled open dialog after the parse changes nothing.
    w.ClickRow(1, 1);
    const QStringList rows = w.Rows(1);
    QTest::mouseClick(w.Find<QPushButton>("Command1"), Qt::LeftButton);
    QVERIFY(!w.form().Busy());
    QCOMPARE(w.Rows(1), rows);
    QCOMPARE(w.SelectedRow(1), 1);

    w.DoubleClickRow(1, 1);
    w.Expect("TabStrip1.currentIndex=2|Frame1(2).title=Event Details - an orc");
    QVERIFY(w.ShownPage() == 2 && w.SelectedRow(2) == 0);
    w.DoubleClickRow(2, 2);
    w.Expect("TabStrip1.currentIndex=3|Frame1(3).title=PC Details - Zarra on an orc");
    QVERIFY(w.ShownPage() == 3 && w.SelectedRow(3) == 0);

    // A control-click unselects the row for copying; it stays the list's
    // choice as its current row.
    w.ClickTab(1);
    QTreeView* list = w.List(1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->visualRect(list->model()->index(1, 0)).center());
    QCOMPARE(w.SelectedRow(1), -1);
    QCOMPARE(w.app().SelectedEvent(), size_t(1));
    // A control-click on another row adds its fight: the detail pages show both as one.
    w.ClickRow(1, 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->visualRect(list->model()->index(1, 0)).center());
    w.ClickTab(2);
    QCOMPARE(w.Frame(2)->title(), QStringLiteral("Event Details - a gnoll + 1 more"));
    w.ClickTab(1);
    w.ClickRow(1, 0);
    w.ClickTab(2);
    QCOMPARE(w.Frame(2)->title(), QStringLiteral("Event Details - a gnoll"));
    w.ClickRow(2, 4);
    QCOMPARE(w.app().SelectedCombatant(), size_t(4));

    // Export > Event Detail follows the pages: tab, then whether it is enabled.
    const std::pair<int, bool> steps[] = {{1, false}, {0, false}, {3, false}, {2, true},
                                          {0, true},  {3, true},  {1, false}, {2, true}};
    for (const auto& [tab, enabled] : steps) {
      w.ClickTab(tab);
      QCOMPARE(w.ShownPage(), tab);
      QCOMPARE(detail->isEnabled(), enabled);
      QVERIFY(events->isEnabled());
    }
    const QString report = w.Dir() + QStringLiteral("/detail.htm");
    w.dialogs().save_answers.push_back(report);
    detail->trigger();
    QCOMPARE(w.dialogs().Last(), QStringLiteral("save|Save Event Details As|Web files (*.htm)"));
    QVERIFY(QFileInfo(report).size() > 0);
    events->trigger();  // cancelled: nothing written, nothing said
    QCOMPARE(w.dialogs().shown.back().title, QStringLiteral("Save Events As"));
    QVERIFY(w.dialogs().Messages().empty());

    // Open Log... from another page parses again and comes back to the events.
    w.dialogs().open_answers.push_back(log);
    w.Item("mnuOpenLog")->trigger();
    w.WaitIdle();
    QCOMPARE(w.ShownPage(), 1);
    QCOMPARE(w.SelectedRow(1), 0);
  }

  // Failures show one message each, naming the path, and leave the window as it was.
  void failuresAreReportedAndChangeNothing() {
    WindowHarness w;
    w.Parse(w.WriteLog());
    const QString title = w.form().windowTitle();
    const QStringList events = w.Rows(1);
    const QString missing = w.Dir() + QStringLiteral("/no such log.txt");
    w.Parse(missing);
    // A path below a plain file cannot be created, whoever runs the test.
    const QString report = w.Dir() + QStringLiteral("/raid.txt/events.htm");
    w.dialogs().save_answers.push_back(report);
    w.Item("mnuExportEvents")->trigger();
    const auto messages = w.dialogs().Messages();
    QCOMPARE(messages.size(), size_t(2));
    QCOMPARE(messages[0].title, QStringLiteral("Cannot Read Log"));
    QCOMPARE(messages[1].title, QStringLiteral("Cannot Write File"));
    QVERIFY2(messages[0].text.startsWith(missing + QStringLiteral(": ")) &&
                 messages[0].text.size() > missing.size() + 2,  // a reason follows
             qPrintable(messages[0].text));
    QVERIFY2(messages[1].text.startsWith(report + QStringLiteral(": ")),
             qPrintable(messages[1].text));
    QCOMPARE(w.Rows(1), events);
    w.Expect("Form1.windowTitle=" + title +
             "|Frame1(0).title=Settings|TabStrip1.currentIndex=1|Command1.enabled=true");

    // A folder as the log, before any parse; the comma-separated files into a
    // folder that cannot exist: the parse itself counts.
    WindowHarness csv(&ombrel::RunParse,
                      ombrel::gui::ToPath(w.Dir() + QStringLiteral("/raid.txt")));
    csv.Parse(csv.Dir());
    QCOMPARE(csv.dialogs().Messages().size(), size_t(1));
    QVERIFY(!csv.Tabs()->isEnabled() && !csv.Item("mnuExportEvents")->isEnabled());
    csv.Item("mnuPrintData")->trigger();
    csv.Parse(csv.WriteLog());
    QCOMPARE(csv.dialogs().Messages().size(), size_t(2));
    QVERIFY(csv.dialogs().Messages()[1].text.contains(QStringLiteral("Data.csv")));
    QCOMPARE(csv.Rows(1).size(), 2);
  }

  // View > Group Into Encounters shows the app's encounters, each unfolding
  // into its fights, and choosing one chooses its fights; Hide Small Fights
  // and the filter box hide rows while every fight keeps its row number, and
  // a fight chosen then hidden stays chosen.
  void encountersSmallFightsAndTheFilter() {
    WindowHarness w;
    // A gnoll and a rat at once (85 and 35 damage), an orc (47) later.
    w.Parse(
        w.WriteLog("raid.txt",
                   "[Mon Jan 02 15:04:05 2006] You hit a gnoll for 20 points of damage.\r\n"
                   "[Mon Jan 02 15:04:06 2006] You hit a rat for 5 points of damage.\r\n"
                   "[Mon Jan 02 15:04:07 2006] a gnoll hits YOU for 15 points of damage.\r\n"
                   "[Mon Jan 02 15:04:08 2006] Zarra slashes a rat for 30 points of damage.\r\n"
                   "[Mon Jan 02 15:04:09 2006] Zarra slashes a gnoll for 50 points of damage.\r\n"
                   "[Mon Jan 02 15:06:00 2006] You hit an orc for 7 points of damage.\r\n"
                   "[Mon Jan 02 15:06:02 2006] Zarra slashes an orc for 40 points of damage.\r\n"));
    QTreeView* list = w.List(1);
    QAbstractItemModelTester tester(list->model());
    const QStringList flat = w.Rows(1);
    w.Item("mnuGroupEncounters")->trigger();
    QStringList grouped;
    const ombrel::Encounters encounters = w.app().GroupedEncounters();
    for (size_t e = 0; e < encounters.size(); ++e) {
      const auto fights = encounters.FightsOf(e);
      if (fights.size() > 1) grouped << w.Rows(1)[int(e)];
      for (const int32_t n : fights) grouped << (fights.size() > 1 ? "> " : "") + flat[n - 1];
    }
    QCOMPARE(w.TreeRows(1), grouped);
    QCOMPARE(grouped.size(), 4);
    QCOMPARE(grouped[0].section(QLatin1Char('|'), 0, 3), QStringLiteral("a gnoll + 1|105|15|4"));
    w.ClickRow(1, 0);
    QCOMPARE(w.app().SelectedEvents(), (std::vector<size_t>{0, 1}));
    list->expand(list->model()->index(0, 0));

    // The rat is small; each shown fight is its own row still.
    w.dialogs().small_fight_answers.push_back({40, 0});
    w.Item("mnuHideSmallFights")->trigger();
    QCOMPARE(w.TreeRows(1), (QStringList{grouped[0], grouped[1], grouped[3]}));
    QCOMPARE(w.Find<QLabel>("HiddenFights")->text(), QStringLiteral("1 small fight hidden"));
    QCOMPARE(w.app().SelectedEvents(), (std::vector<size_t>{0, 1}));
    w.Item("mnuGroupEncounters")->trigger();
    QCOMPARE(w.Rows(1), (QStringList{flat[0], flat[2]}));
    w.ClickRow(1, 1);
    QCOMPARE(w.app().SelectedEvent(), size_t(2));
    QLineEdit* filter = w.Find<QLineEdit>("EventsFilter");
    QTest::keyClicks(filter, QStringLiteral("ORC"));
    QCOMPARE(w.Rows(1), QStringList{flat[2]});
    QTest::keyClicks(filter, QStringLiteral("x"));
    QVERIFY(w.Rows(1).isEmpty() && w.app().SelectedEvent() == 2);
    QTest::keyClick(filter, Qt::Key_Escape);
    QVERIFY(filter->text().isEmpty());
    QCOMPARE(w.SelectedRow(1), 1);
    // 0 and 0 hide nothing: the list is the app's again.
    w.dialogs().small_fight_answers.push_back({0, 0});
    w.Item("mnuHideSmallFights")->trigger();
    QVERIFY(w.Rows(1) == flat && !w.Find<QLabel>("HiddenFights")->isVisible());
  }

  void findShowAndSaveInLog() {
    using ombrel::gui::FindDialog;
    using ombrel::gui::LogViewPane;
    WindowHarness w;
    const QString log = w.WriteLog();
    w.Parse(log);
    w.Item("mnuFindInLog")->trigger();
    auto* find = w.form().findChild<FindDialog*>(QStringLiteral("FindDialog"));
    QVERIFY(find != nullptr && find->isVisible());
    auto* count = find->findChild<QLabel*>(QStringLiteral("FindCount"));
    auto search = [&](const char* text, bool regex) {
      find->TextBox()->setText(QString::fromLatin1(text));
      find->RegexBox()->setChecked(regex);
      QTest::mouseClick(find->findChild<QPushButton*>(QStringLiteral("FindStart")), Qt::LeftButton);
      QTRY_VERIFY(!find->Searching());
      QCoreApplication::processEvents();
    };
    // Any case by default; each result with its time, line number and text.
    search("ORC", false);
    QCOMPARE(count->text(), QStringLiteral("2 lines found"));
    QAbstractItemModel* results = find->Results()->model();
    QCOMPARE(results->data(results->index(1, 0)).toString() + "|" +
                 results->data(results->index(1, 1)).toString(),
             QStringLiteral("2006-01-02 15:06:02|7"));
    search("(a+", true);
    QCOMPARE(count->text(), QStringLiteral("not a valid regular expression: missing ): (a+"));
    search("^\\[.*(Brutus|Zarra)", true);
    QCOMPARE(count->text(), QStringLiteral("4 lines found"));

    // A double-click on a result shows its line in the log view, marked.
    auto* pane = w.form().findChild<LogViewPane*>(QStringLiteral("LogView"));
    const QRect third = find->Results()->visualRect(results->index(2, 2));
    QTest::mouseClick(find->Results()->viewport(), Qt::LeftButton, {}, third.center());
    QTest::mouseDClick(find->Results()->viewport(), Qt::LeftButton, {}, third.center());
    // Line 5: Zarra on the gnoll.
    QVERIFY(pane->isVisible() && pane->Model()->Marked() == 4 && pane->Model()->rowCount() == 7);
    QCOMPARE(pane->View()->currentIndex().row(), 4);
    QVERIFY(pane->Model()
                ->data(pane->Model()->index(6, 1))
                .toString()
                .endsWith("40 points of damage."));

    // Show in Log on the second fight: its first line; Save Fight Log: its lines.
    w.ClickRow(1, 1);
    w.Item("mnuShowInLog")->trigger();
    QCOMPARE(pane->Model()->Marked(), 5);
    const QString saved = w.Dir() + QStringLiteral("/fight.txt");
    w.dialogs().save_answers.push_back(saved);
    w.Item("mnuSaveFightLog")->trigger();
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const std::string& all = ombrel::gui::testing::kTwoFightsLog;
    QCOMPARE(file.readAll().toStdString(), all.substr(all.find("[Mon Jan 02 15:06:00")));

    // A log that changed since the parse is told, not shown.
    w.WriteLog("raid.txt", "[Mon Jan 02 15:04:05 2006] Another log.\r\n");
    w.Item("mnuShowInLog")->trigger();
    QCOMPARE(pane->Model()->rowCount(), 0);
    QVERIFY(pane->findChild<QLabel*>(QStringLiteral("LogViewCaption"))
                ->text()
                .contains(QStringLiteral("changed after it was parsed")));
  }
};

QTEST_MAIN(MainWindowWorkflowTest)
#include "MainWindowWorkflowTest.moc"
