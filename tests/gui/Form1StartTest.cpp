// The window as it opens: controls, captions, layout, lists and menus.
#include <QLabel>
#include <QMenuBar>

#include "WindowHarness.h"
#include "app/ListColumns.h"

using ombrel::ListColumn;
using ombrel::gui::Form1;
using ombrel::gui::testing::WindowHarness;

namespace {

// Twips to pixels, as the layout is given.
QRect Twips(int left, int top, int width, int height) {
  return {left / 15, top / 15, width / 15, height / 15};
}

}  // namespace

class Form1StartTest : public QObject {
  Q_OBJECT

 private slots:
  void controlsStartAsLoadLeavesThem() {
    WindowHarness w;
    QCOMPARE(w.form().windowTitle(), QStringLiteral("Ombrel Raid by Zerrit"));

    QTabBar* tabs = w.Tabs();
    QVERIFY(!tabs->isEnabled());
    QCOMPARE(tabs->currentIndex(), 0);
    QStringList texts;
    for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i) + "/" + tabs->tabToolTip(i);
    QCOMPARE(texts,
             (QStringList{"Settings/Basic Program Settings", "Events/Raid/Group Damage by Event",
                          "Event Detail/Raid/Group Damage Details",
                          "PC Detail/Detail on the individual player/npc dealing damage"}));
    QCOMPARE(w.Frame(0)->title() + "|" + w.Frame(1)->title() + "|" + w.Frame(2)->title() + "|" +
                 w.Frame(3)->title(),  // the last is captioned when first shown
             QStringLiteral("Settings|Events|Event Details|"));
    QCOMPARE(w.Find<QLabel>("Label1")->text(), QStringLiteral("Character Name:"));
    QCOMPARE(w.Find<QLabel>("Label4")->text(), QStringLiteral("Time Between Events:"));
    QCOMPARE(w.Find<QLineEdit>("Yourname")->text(), QStringLiteral("Type your name here"));
    QCOMPARE(w.Find<QCheckBox>("chkPets")->text(), QStringLiteral("Include Pets"));
    QVERIFY(!w.Find<QCheckBox>("chkPets")->isChecked());
    QCOMPARE(w.Find<QPushButton>("Command1")->text(), QStringLiteral("Parse Log"));

    QComboBox* gaps = w.Find<QComboBox>("cmbEventTimer");
    QVERIFY(gaps->isEditable());
    QCOMPARE(gaps->count(), 148);
    QCOMPARE(gaps->currentIndex(), -1);
    QCOMPARE(gaps->currentText(), QString());
    for (const auto& [item, text] :
         {std::pair{0, "00:00:18"}, {1, "00:00:24"}, {7, "00:01:00"}, {147, "00:15:00"}}) {
      QCOMPARE(gaps->itemText(item), QString::fromLatin1(text));
    }
    QVERIFY(!w.Find<QProgressBar>("ParseProgress")->isVisible());
  }

  void menus() {
    WindowHarness w;
    // Each menu as "object name:title" followed by its items the same way.
    const char* menus[4] = {
        "mnuFile:File|mnuOpenLog:Open Log...|mnuQuit:Quit",
        "mnuOptions:Options|mnuPrintData:Print Data|mnuPrintEvents:Print Events|"
        "mnuPrintDetails:Print Details|mnuPrintPCDetails:Print PC Details|:|"
        "mnuExtendedRules:Extended Line Rules",
        "mnuExport:Export|mnuExportEvents:Events|mnuExportEventDetail:Event Detail",
        "mnuHelp:Help|mnuAbout:About"};
    const QList<QAction*> bar = w.form().menuBar()->actions();
    QCOMPARE(bar.size(), 4);
    for (int m = 0; m < 4; ++m) {
      QMenu* menu = qobject_cast<QMenu*>(bar[m]->menu());
      QVERIFY(menu != nullptr);
      QStringList texts{menu->objectName() + ":" + menu->title()};
      for (QAction* item : menu->actions()) texts << item->objectName() + ":" + item->text();
      QCOMPARE(texts.join(QLatin1Char('|')), QString::fromLatin1(menus[m]));
    }
    for (const char* mark : {"mnuPrintData", "mnuPrintEvents", "mnuPrintDetails",
                             "mnuPrintPCDetails", "mnuExtendedRules"}) {
      QVERIFY(w.Item(mark)->isCheckable());
      QVERIFY(!w.Item(mark)->isChecked());
    }
    QVERIFY(!w.Item("mnuExportEvents")->isEnabled());
    QVERIFY(!w.Item("mnuExportEventDetail")->isEnabled());
    QVERIFY(w.Item("mnuOpenLog")->isEnabled());
    // A disabled export item does nothing even when triggered.
    w.Item("mnuExportEvents")->trigger();
    QVERIFY(w.dialogs().shown.empty());
  }

  void layoutInTwips() {
    WindowHarness w;
    QWidget* client = w.form().centralWidget();
    QCOMPARE(client->size(), QSize(704, 524));
    QCOMPARE(w.form().minimumSize(), w.form().maximumSize());  // fixed size

    QCOMPARE(w.Tabs()->geometry(), Twips(0, 480, 10455, 615));
    QCOMPARE(w.Frame(0)->geometry(), Twips(120, 1200, 10335, 6495));
    for (int page = 1; page < 4; ++page) {
      QCOMPARE(w.Frame(page)->geometry(), Twips(-20000, 1200, 10335, 6495));
      QCOMPARE(w.List(page)->geometry(), Twips(120, 240, 10095, 6135));
    }
    // Labels may grow to their text; everything else sits exactly where the layout puts it.
    const std::pair<const char*, QRect> controls[] = {
        {"Label1", Twips(960, 1200, 1215, 255)},   {"Yourname", Twips(2760, 1080, 1815, 285)},
        {"Label4", Twips(960, 1560, 1695, 255)},   {"cmbEventTimer", Twips(2760, 1440, 1815, 315)},
        {"chkPets", Twips(2760, 1920, 1815, 495)}, {"Command1", Twips(960, 2400, 1215, 495)},
    };
    for (const auto& [name, rect] : controls) {
      QWidget* control = w.Find<QWidget>(name);
      QCOMPARE(control->parentWidget(), w.Frame(0));
      QCOMPARE(control->pos(), rect.topLeft());
      QCOMPARE(control->height(), rect.height());
      if (qobject_cast<QLabel*>(control) != nullptr)
        QVERIFY(control->width() >= rect.width());
      else
        QCOMPARE(control->width(), rect.width());
    }
  }

  void listColumns() {
    WindowHarness w;
    const std::span<const ListColumn> columns[3] = {
        ombrel::kEventsColumns, ombrel::kEventDetailColumns, ombrel::kCombatantDetailColumns};
    for (int list = 0; list < 3; ++list) {
      QTreeView* view = w.List(list + 1);
      QVERIFY(!view->rootIsDecorated() && view->uniformRowHeights() && !view->isSortingEnabled());
      QCOMPARE(view->selectionMode(), QAbstractItemView::SingleSelection);
      QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
      QAbstractItemModel* model = view->model();
      QCOMPARE(model->rowCount(), 0);
      QCOMPARE(model->columnCount(), int(columns[list].size()));
      for (int c = 0; c < model->columnCount(); ++c) {
        const ListColumn& column = columns[list][size_t(c)];
        QCOMPARE(model->headerData(c, Qt::Horizontal).toString(),
                 QString::fromLatin1(column.header.data(), qsizetype(column.header.size())));
        QCOMPARE(view->header()->sectionSize(c), column.width_twips / 15);
        // Events: all left; the detail lists: the first column left, the rest right.
        const int align = model->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).toInt();
        QCOMPARE(bool(align & Qt::AlignRight), list > 0 && c > 0);
      }
    }
    QCOMPARE(w.List(1)->model()->headerData(0, Qt::Horizontal).toString() + "|" +
                 w.List(2)->model()->headerData(24, Qt::Horizontal).toString() + "|" +
                 w.List(3)->model()->headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("Mob|Defense|Damage Source"));
    QCOMPARE(w.List(2)->model()->columnCount() * 100 + w.List(3)->model()->columnCount(), 2516);
  }

  void aboutBoxAndQuit() {
    WindowHarness w;
    w.Item("mnuAbout")->trigger();
    QCOMPARE(w.dialogs().shown.size(), size_t(1));
    QCOMPARE(w.dialogs().shown[0].kind, QStringLiteral("message"));
    QCOMPARE(w.dialogs().shown[0].title, QStringLiteral("About Ombrel"));
    QCOMPARE(w.dialogs().shown[0].text,
             QStringLiteral("Parse the whole raid, very beta, not so much necro goodness in it "
                            "yet.\r\n\r\nZerrit\r\n\r\nBeta Version 0.0.11"));
    QCOMPARE(Form1::AboutText(), w.dialogs().shown[0].text);

    QVERIFY(w.form().isVisible());
    w.Item("mnuQuit")->trigger();
    QVERIFY(!w.form().isVisible());
  }
};

QTEST_MAIN(Form1StartTest)
#include "Form1StartTest.moc"
