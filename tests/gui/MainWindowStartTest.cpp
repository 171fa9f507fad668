// The window as it opens: controls, captions, layout, lists and menus.
#include <QLabel>
#include <QMenuBar>
#include <QSet>
#include <QStatusBar>

#include "WindowHarness.h"

using ombrel::gui::MainWindow;
using ombrel::gui::testing::WindowHarness;

class MainWindowStartTest : public QObject {
  Q_OBJECT

 private slots:
  void controlsAndMenusAtStart() {
    WindowHarness w;
    // Captions carry their mnemonic marks; the last page is captioned when first shown.
    w.Expect(
        "Form1.windowTitle=Ombrel Raid by Zerrit|Form1.acceptDrops=true"
        "|TabStrip1.enabled=false|TabStrip1.currentIndex=0|Frame1(0).title=Settings"
        "|Frame1(1).title=Events|Frame1(2).title=Event Details|Frame1(3).title="
        "|Label1.text=&Character Name:|Label4.text=&Time Between Events:"
        "|Label5.text=&Line Rules:|Yourname.text=Type your name here"
        "|chkPets.text=&Include Pets|chkPets.checked=false|Command1.text=&Parse Log"
        "|cmbEventTimer.editable=true|cmbEventTimer.count=148"
        "|cmbEventTimer.currentIndex=-1|cmbEventTimer.currentText="
        "|cmbLineRules.currentIndex=0|ParseProgress.visible=false"
        "|mnuExportEvents.enabled=false|mnuExportEventDetail.enabled=false"
        "|mnuExportTimeline.enabled=false|mnuViewTimeline.checked=true"
        "|mnuOpenLog.enabled=true|mnuPrintData.checked=false"
        "|mnuPrintEvents.checked=false|mnuPrintDetails.checked=false"
        "|mnuPrintPCDetails.checked=false|mnuExtendedRules.checked=false");
    QTabBar* tabs = w.Tabs();
    QStringList texts;
    for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i) + "/" + tabs->tabToolTip(i);
    QCOMPARE(texts,
             (QStringList{"Settings/Basic Program Settings", "Events/Raid/Group Damage by Event",
                          "Event Detail/Raid/Group Damage Details",
                          "PC Detail/Detail on the individual player/npc dealing damage"}));
    QVERIFY(!w.form().windowIcon().isNull());
    QComboBox* gaps = w.Find<QComboBox>("cmbEventTimer");
    QComboBox* rules = w.Find<QComboBox>("cmbLineRules");
    QCOMPARE(gaps->itemText(0) + gaps->itemText(1) + gaps->itemText(7) + gaps->itemText(147) +
                 rules->itemText(0) + rules->itemText(1),
             QStringLiteral("00:00:1800:00:2400:01:0000:15:00DefaultExtended"));

    // The menu bar is built from the action table, each item with its
    // object name, caption, shortcut and mark.
    const QList<QAction*> bar = w.form().menuBar()->actions();
    QCOMPARE(bar.size(), qsizetype(ombrel::gui::MenuTable().size()));
    for (size_t m = 0; m < ombrel::gui::MenuTable().size(); ++m) {
      const ombrel::gui::MenuEntry& entry = ombrel::gui::MenuTable()[m];
      QMenu* menu = bar[qsizetype(m)]->menu();
      QCOMPARE(menu->objectName() + menu->title(), QString(entry.object_name) + entry.caption);
      QCOMPARE(menu->actions().size(), qsizetype(entry.lines.size()));
      for (size_t i = 0; i < entry.lines.size(); ++i) {
        const ombrel::gui::MenuLine& line = entry.lines[i];
        QAction* item = menu->actions()[qsizetype(i)];
        const QString name = item->menu() ? item->menu()->objectName() : item->objectName();
        QCOMPARE(
            name + item->text() + item->shortcut().toString() + (item->isCheckable() ? "x" : ""),
            QString(line.object_name) + line.caption + line.shortcut + (line.checkable ? "x" : ""));
      }
    }
    // A disabled export item does nothing even when triggered.
    w.Item("mnuExportEvents")->trigger();
    QVERIFY(w.dialogs().shown.empty());
    w.Item("mnuAbout")->trigger();
    QCOMPARE(w.dialogs().shown.size(), size_t(1));
    QCOMPARE(w.dialogs().Last(),
             QStringLiteral(
                 "message|About Ombrel|Parse the whole raid, very beta, not so much "
                 "necro goodness in it yet.\r\n\r\nZerrit\r\n\r\nBeta Version " OMBREL_VERSION));
  }

  // The layout follows the window; hidden pages are out of reach.
  void layoutAndFocus() {
    WindowHarness w;
    MainWindow& form = w.form();
    // The client area's twips are the starting and smallest size (the
    // offscreen screen has the room), plus the menu and status bars.
    const QFont font = form.font();
    const QSize client(ombrel::gui::TwipsToPixels(10560, font),
                       ombrel::gui::TwipsToPixels(7860, font));
    QCOMPARE(form.minimumSize(), form.size());
    QCOMPARE(form.width(), client.width());
    QCOMPARE(form.height(),
             client.height() + form.menuBar()->height() + form.statusBar()->height());
    QVERIFY(form.maximumWidth() > 4000 && form.maximumHeight() > 4000);

    // The tab strip stands on the page, with no band between them.
    QCOMPARE(w.Frame(0)->mapTo(&form, QPoint(0, 0)).y(),
             w.Tabs()->mapTo(&form, QPoint(0, w.Tabs()->height())).y());
    // The Settings page's controls keep their reading order: each label left
    // of its field, the fields one below the other.
    auto at = [&](const char* name) { return w.Find<QWidget>(name)->geometry(); };
    QVERIFY(at("Label1").right() < at("Yourname").left());
    QVERIFY(at("Label4").right() < at("cmbEventTimer").left());
    const QStringList column = {"Yourname", "cmbEventTimer", "cmbLineRules", "chkPets", "Command1"};
    for (int k = 0; k + 1 < column.size(); ++k) {
      QVERIFY(at(qPrintable(column[k])).bottom() < at(qPrintable(column[k + 1])).top());
    }
    QCOMPARE(at("chkPets").left(), at("Yourname").left());
    QVERIFY(at("Yourname").width() >= ombrel::gui::TwipsToPixels(1815, font));

    w.Parse(w.WriteLog());
    QCOMPARE(w.ShownPage(), 1);  // the Events page after the parse
    QLineEdit* name = w.Find<QLineEdit>("Yourname");
    // Tab goes round every control of the window; none on a hidden page.
    w.List(1)->setFocus();
    QSet<QWidget*> reached;
    for (int step = 0; step < 40; ++step) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QWidget* focus = QApplication::focusWidget();
      QVERIFY(focus != nullptr);
      QVERIFY2(focus->isVisible(), qPrintable(focus->objectName()));
      for (int page : {0, 2, 3}) QVERIFY(!w.Frame(page)->isAncestorOf(focus));
      reached << focus;
    }
    QVERIFY(reached.contains(w.List(1)) && reached.contains(w.Tabs()));
    // Typing on the Events page never reaches the name box.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("xyz"));
    QCOMPARE(name->text(), QStringLiteral("Tarlen"));

    // On the Settings page the order is name, gap, pets, Parse Log.
    w.ClickTab(0);
    name->setFocus();
    QStringList order;
    for (int step = 0; step < 5; ++step) {
      order << QApplication::focusWidget()->objectName();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(order, column);

    // Grown, the pages and their lists grow with it.
    w.ClickTab(1);
    const QSize list_before = w.List(1)->size();
    form.resize(form.size() + QSize(300, 200));
    QTRY_COMPARE(w.List(1)->size(), list_before + QSize(300, 200));
    form.resize(100, 100);  // never below the starting size
    QCOMPARE(form.size(), form.minimumSize());
    form.showMaximized();
    QTRY_VERIFY(form.isMaximized());
  }
};

QTEST_MAIN(MainWindowStartTest)
#include "MainWindowStartTest.moc"
