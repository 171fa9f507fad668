// The window as a desktop program: keyboard, copying, memory between runs,
// logs opened without the dialog, the status bar, the CSV folder, and a parse
// on the worker thread: progress, cancelling, refused commands, closing meanwhile.
#include <csignal>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>

#include "WindowHarness.h"
#include "gui/CommandLine.h"
#include "gui/EventsViewModel.h"
#include "gui/LiveMeterWindow.h"
#include "gui/SessionEnd.h"
#include "shared/FileOutput.h"

using ombrel::gui::testing::EndlessParse;
using ombrel::gui::testing::WindowHarness;

namespace {

void Key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(target, key, modifiers);
}

// Whether the sort arrow of the header's sorted section points down, read
// from its pixels: those darker than with the other order's arrow, widest at
// the top for a downward arrow.
bool ArrowPointsDown(QHeaderView* header) {
  const int section = header->sortIndicatorSection();
  const Qt::SortOrder order = header->sortIndicatorOrder();
  const QRect cell(header->sectionViewportPosition(section), 0, header->sectionSize(section),
                   header->height());
  const QImage shown = header->viewport()->grab(cell).toImage();
  const QSignalBlocker quiet(header);
  header->setSortIndicator(section,
                           order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
  const QImage other = header->viewport()->grab(cell).toImage();
  header->setSortIndicator(section, order);
  std::vector<int> widths;
  for (int y = 0; y < shown.height(); ++y) {
    int width = 0;
    for (int x = 0; x < shown.width(); ++x)
      width += qGray(shown.pixel(x, y)) + 40 < qGray(other.pixel(x, y));
    if (width > 0) widths.push_back(width);
  }
  return !widths.empty() && widths.front() > widths.back();
}

}  // namespace

class MainWindowDesktopTest : public QObject {
  Q_OBJECT

 private slots:
  void keyboardReachesEveryCommand() {
    WindowHarness w;
    QWidget* form = &w.form();
    const QString log = w.WriteLog();
    // Ctrl+O is the parse command, name check first.
    Key(form, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(w.dialogs().Messages().size(), size_t(1));
    // Return in the name box parses; Alt+P presses "Parse Log".
    QLineEdit* name = w.Find<QLineEdit>("Yourname");
    name->setText(QStringLiteral("Tarlen"));
    name->setFocus();
    w.dialogs().open_answers.push_back(log);
    Key(name, Qt::Key_Return);
    w.WaitIdle();
    QCOMPARE(w.Tabs()->currentIndex(), 1);
    w.ClickTab(0);
    Key(form, Qt::Key_P, Qt::AltModifier);  // cancelled dialog
    QCOMPARE(w.dialogs().shown.back().kind, QStringLiteral("open"));

    // Page changes: Ctrl+Tab and Ctrl+PgDown forward, with Shift or PgUp back.
    w.ClickTab(1);
    for (const auto& [key, shift, page] : {std::tuple{Qt::Key_Tab, false, 2},
                                           {Qt::Key_PageDown, false, 3},
                                           {Qt::Key_Backtab, true, 2},
                                           {Qt::Key_PageUp, false, 1}}) {
      Key(w.List(w.ShownPage()), key,
          Qt::ControlModifier | (shift ? Qt::ShiftModifier : Qt::NoModifier));
      QCOMPARE(w.ShownPage(), page);
    }

    // Return on a row does what a double-click does.
    w.List(1)->setFocus();
    Key(w.List(1), Qt::Key_Down);
    Key(w.List(1), Qt::Key_Return);
    QCOMPARE(w.Frame(2)->title(), QStringLiteral("Event Details - an orc"));
    w.List(2)->setFocus();
    Key(w.List(2), Qt::Key_End);
    Key(w.List(2), Qt::Key_Enter);
    QCOMPARE(w.Frame(3)->title(), QStringLiteral("PC Details - Zarra on an orc"));

    // F5 parses the same log again and lands on the events page, the fight
    // still selected.
    Key(form, Qt::Key_F5);
    w.WaitIdle();
    QCOMPARE(w.ShownPage(), 1);
    QVERIFY(w.SelectedRow(1) == 1 && w.app().SelectedEvent() == 1);
    QCOMPARE(w.dialogs().shown.back().kind, QStringLiteral("open"));  // no new dialog
    // F1 shows the About box; Ctrl+Q quits.
    Key(form, Qt::Key_F1);
    QCOMPARE(w.dialogs().shown.back().title, QStringLiteral("About Ombrel"));
    Key(form, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!form->isVisible());
  }

  void copyPutsRowsWithTheirHeader() {
    WindowHarness w;
    w.Parse(w.WriteLog());
    QTreeView* events = w.List(1);
    events->setFocus();
    const QString header =
        "Mob\tDmgTaken\tDmgDealt\tDuration\tDPSTaken\tDPSDealt\tStart\tEnd\tMax Hit Taken\t"
        "Min Hit Taken\tHits Taken\tAve Hit Taken\tMax Hit Dealt\tMin Hit Dealt\tHits Dealt\t"
        "Ave Hit Dealt\n";
    const QString orc = QString(w.Rows(1)[1]).replace('|', '\t') + "\n";
    const QString gnoll = QString(w.Rows(1)[0]).replace('|', '\t') + "\n";
    w.ClickRow(1, 1);
    Key(events, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), header + orc);
    Key(events, Qt::Key_A, Qt::ControlModifier);
    Key(events, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), header + gnoll + orc);
    // Selecting all chooses every fight, seen as one on the detail pages.
    QCOMPARE(w.app().SelectedEvents(), (std::vector<size_t>{0, 1}));
    // The context menu's Copy All takes every row whatever is selected.
    w.ClickRow(1, 0);
    QCOMPARE(events->contextMenuPolicy(), Qt::ActionsContextMenu);
    QStringList captions;
    for (QAction* a : events->actions()) captions << a->text();
    // The fights' own commands follow: the log view at the fight and its lines saved.
    QCOMPARE(captions, (QStringList{"&Copy", "Copy &All", "&Show in Log", "Save Fight &Log..."}));
    w.Item("ListView1CopyAll")->trigger();
    QCOMPARE(QApplication::clipboard()->text(), header + gnoll + orc);
  }

  void settingsSurviveARestart() {
    QTemporaryDir store;
    const QString file = store.filePath(QStringLiteral("ombrel-raid.conf"));
    QString log;
    QString other;
    QString first_dir;
    int list_width = 0;
    QSize size;
    {
      QSettings settings(file, QSettings::IniFormat);
      WindowHarness w(&ombrel::RunParse, {}, &settings);
      // A first start shows the defaults.
      w.Expect(
          "Yourname.text=Type your name here|cmbEventTimer.currentIndex=-1"
          "|chkPets.checked=false|mnuPrintEvents.checked=false"
          "|mnuExtendedRules.checked=false|mnuRecentLogs.enabled=false");

      // The logs outlive the first window's temporary folder.
      log = store.filePath(QStringLiteral("raid.txt"));
      other = store.filePath(QStringLiteral("other.txt"));
      QVERIFY(QFile::copy(w.WriteLog(), log) && QFile::copy(log, other));
      w.Find<QComboBox>("cmbEventTimer")->setCurrentIndex(7);
      w.Find<QCheckBox>("chkPets")->setChecked(true);
      w.Parse(other, QStringLiteral("Zarra"));
      w.Parse(log);
      // Marks set, and one set and cleared again.
      for (const char* mark :
           {"mnuPrintEvents", "mnuPrintPCDetails", "mnuExtendedRules", "mnuPrintData"}) {
        w.Item(mark)->trigger();
      }
      w.Item("mnuPrintData")->trigger();
      w.Item("mnuGroupEncounters")->trigger();
      w.dialogs().small_fight_answers.push_back({10, 1});
      w.Item("mnuHideSmallFights")->trigger();
      w.dialogs().save_answers.push_back(w.Dir() + "/report.htm");
      w.Item("mnuExportEvents")->trigger();
      QCOMPARE(w.Status(), "Wrote " + QDir::toNativeSeparators(w.Dir() + "/report.htm") + ".");
      w.List(1)->header()->resizeSection(0, 333);
      w.form().resize(w.form().size() + QSize(40, 30));
      size = w.form().size();
      first_dir = w.Dir();
      list_width = w.List(1)->header()->sectionSize(0);
      QVERIFY(w.form().close());
    }
    QFile::remove(other);
    QSettings settings(file, QSettings::IniFormat);
    WindowHarness w(&ombrel::RunParse, {}, &settings);
    w.Expect(
        "Yourname.text=Tarlen|cmbEventTimer.currentIndex=7|chkPets.checked=true"
        "|mnuPrintEvents.checked=true|mnuPrintPCDetails.checked=true"
        "|mnuExtendedRules.checked=true|cmbLineRules.currentIndex=1"
        "|mnuPrintData.checked=false|mnuGroupEncounters.checked=true");
    QVERIFY((qobject_cast<ombrel::gui::EventsViewModel*>(w.List(1)->model())->Limits() ==
             ombrel::gui::SmallFightLimits{10, 1}));
    QCOMPARE(w.form().size(), size);
    const ombrel::PrintOptions& options = w.app().options();
    QVERIFY(options.PrintEvents && options.PrintPCDetails && options.ExtendedLineRules &&
            !options.PrintData);
    QCOMPARE(w.List(1)->header()->sectionSize(0), list_width);

    // Recent logs, latest first; a log that is gone shows greyed.
    QMenu* recent = w.Find<QMenu>("mnuRecentLogs");
    emit recent->aboutToShow();
    QCOMPARE(recent->actions().size(), 2);
    QCOMPARE(recent->actions()[0]->data().toString(), QFileInfo(log).absoluteFilePath());
    QVERIFY(recent->actions()[0]->isEnabled() && !recent->actions()[1]->isEnabled());
    recent->actions()[0]->trigger();
    w.WaitIdle();
    QCOMPARE(w.Rows(1).size(), 2);

    // The dialogs start where the last ones ended.
    w.Item("mnuOpenLog")->trigger();
    w.Item("mnuExportEvents")->trigger();
    const auto& shown = w.dialogs().shown;
    QCOMPARE(shown[shown.size() - 2].folder, QFileInfo(log).absolutePath());
    QCOMPARE(shown.back().folder, first_dir);  // the first window's folder
  }

  // A name typed without an extension takes that of the type chosen.
  void saveDialogTakesTheChosenType() {
    QTemporaryDir dir;
    const QString proposed = dir.filePath(QStringLiteral("a gnoll"));
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
      types->setCurrentIndex(1);
      emit types->textActivated(types->currentText());
      static_cast<QDialog*>(dialog)->accept();
    });
    QCOMPARE(ombrel::gui::QtDialogs().SaveFile(
                 nullptr, {}, QStringLiteral("SVG picture (*.svg);;PNG picture (*.png)"), proposed),
             proposed + ".png");
  }

  void aWindowSavedMostlyOffTheScreenComesBackOnIt() {
    QTemporaryDir store;
    QSettings settings(store.filePath(QStringLiteral("ombrel-raid.conf")), QSettings::IniFormat);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    {
      WindowHarness w(&ombrel::RunParse, {}, &settings);
      // Saved on a screen since unplugged, only a corner left on this one.
      w.form().move(screen.bottomRight() - QPoint(30, 30));
      QVERIFY(w.form().close());
    }
    WindowHarness w(&ombrel::RunParse, {}, &settings);
    const QRect frame = w.form().geometry();
    const QRect shown = frame.intersected(screen);
    QVERIFY(shown.width() * 2 >= frame.width() && shown.height() * 2 >= frame.height());
  }

  void aSessionEndedBySigtermSavesTheWindowAsACloseDoes() {
    QTemporaryDir store;
    QSettings settings(store.filePath(QStringLiteral("ombrel-raid.conf")), QSettings::IniFormat);
    QSize size;
    {
      WindowHarness w(&ombrel::RunParse, {}, &settings);
      w.form().resize(w.form().size() + QSize(40, 30));
      size = w.form().size();
      w.List(1)->header()->resizeSection(0, 123);
      int exit_code = 0;
      ombrel::gui::SessionEnd end([&] { w.form().SaveState(); },
                                  [&](int code) { exit_code = code; });
      raise(SIGTERM);
      // No file is written once the session ends.
      QVERIFY(ombrel::WriteFileAtomically(ombrel::gui::ToPath(w.Dir()) / "a.csv",
                                          [](std::ostream&) {}));
      QTRY_COMPARE(exit_code, 128 + SIGTERM);
    }
    WindowHarness w(&ombrel::RunParse, {}, &settings);
    QCOMPARE(w.form().size(), size);
    QCOMPARE(w.List(1)->header()->sectionSize(0), 123);
  }

  void theLiveMeterOpensFromTheViewMenuAndKeepsItsPlace() {
    QTemporaryDir store;
    QSettings settings(store.filePath(QStringLiteral("ombrel-raid.conf")), QSettings::IniFormat);
    const auto meter = [] {
      for (QWidget* shown : QApplication::topLevelWidgets())
        if (shown->objectName() == QStringLiteral("LiveMeter"))
          return static_cast<ombrel::gui::LiveMeterWindow*>(shown);
      return static_cast<ombrel::gui::LiveMeterWindow*>(nullptr);
    };
    const QRect place(60, 70, 260, 150);
    {
      WindowHarness w(&ombrel::RunParse, {}, &settings);
      w.Parse(w.WriteLog());
      w.Item("mnuLiveMeter")->trigger();
      QVERIFY(meter() != nullptr && meter()->isVisible() && meter()->parent() == nullptr);
      // The last encounter is the fight against the orc: Zarra, then Tarlen's own bar.
      const auto& rows = meter()->Meter().Rows();
      QVERIFY(rows.size() == 2 && rows[0].Name == "Zarra" && rows[1].Own);
      meter()->SetFrameless(true);
      meter()->SetOpacityPercent(70);
      meter()->setGeometry(place);
      QVERIFY(w.form().close());
    }
    WindowHarness w(&ombrel::RunParse, {}, &settings);
    w.Item("mnuLiveMeter")->trigger();
    QVERIFY(meter()->Frameless() && meter()->OpacityPercent() == 70);
    QCOMPARE(meter()->geometry(), place);
    QVERIFY(qAbs(meter()->windowOpacity() - 0.7) < 0.01);
    // Closed by its own frame, the menu item is unchecked.
    meter()->close();
    QVERIFY(!w.Item("mnuLiveMeter")->isChecked());
  }

  void commandLine() {
    using ombrel::gui::ParseCommandLine;
    using Args = std::vector<std::string>;
    const auto line = ParseCommandLine(
        Args{"ombrel-raid", "-platform", "offscreen", "--name", "Zarra", "raid.txt"});
    QVERIFY(line.name == "Zarra" && line.log == "raid.txt" && line.error.empty());
    QVERIFY((line.rest == Args{"ombrel-raid", "-platform", "offscreen"}));
    QVERIFY(ParseCommandLine({"ombrel-raid", "--name=Ann Lee"}).name == "Ann Lee");
    QVERIFY(ParseCommandLine({"ombrel-raid", "--", "--odd.txt"}).log == "--odd.txt");
    QVERIFY(!ParseCommandLine({"ombrel-raid"}).log && !ParseCommandLine({"ombrel-raid"}).name);
    QVERIFY(!ParseCommandLine({"ombrel-raid", "a.txt", "b.txt"}).error.empty() &&
            !ParseCommandLine({"ombrel-raid", "--name"}).error.empty());
    QVERIFY(ParseCommandLine({"ombrel-raid", "--help"}).help);
  }

  void logsOpenWithoutTheDialog() {
    WindowHarness w;
    const QString log = w.WriteLog();
    // The command line: the name given there, then the log.
    w.form().OpenAtStart(QStringLiteral("Zarra"), log);
    w.WaitIdle();
    QVERIFY(w.app().settings().CharacterName == "Zarra");
    QCOMPARE(w.Rows(1).size(), 2);
    QVERIFY(w.dialogs().shown.empty());

    // A dropped file parses; a drop of two files is refused.
    w.ClickTab(0);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(w.WriteLog("dropped.txt"))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w.form(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w.form(), &drop);
    QTRY_VERIFY(w.form().windowTitle().endsWith(QStringLiteral("dropped.txt")));
    w.WaitIdle();
    QCOMPARE(w.ShownPage(), 1);
    QMimeData two;
    two.setUrls({QUrl::fromLocalFile(log), QUrl::fromLocalFile(log)});
    QDragEnterEvent refused(QPoint(50, 50), Qt::CopyAction, &two, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w.form(), &refused);
    QVERIFY(!refused.isAccepted());
  }

  void statusBarAndCsvFolder() {
    WindowHarness w;
    // A log without a fight says so.
    w.Parse(w.WriteLog("quiet.txt", "[Mon Jan 02 15:04:05 2006] You say, 'hello'\r\n"));
    QCOMPARE(w.Status(),
             QStringLiteral("No fight found in quiet.txt for Tarlen: 2 lines, 0 records, 0 "
                            "unreadable lines."));
    // So does a file without a time stamp.
    w.Parse(w.WriteLog("random.bin", std::string("\x01\xfe\xfe\x82 damage\n", 12)));
    QVERIFY(w.Status().startsWith("random.bin does not look like a combat log: no line holds"));
    // Under the default rules, signs that the extended rules would read a log
    // better are offered once, with their counts; the offer parses it again.
    const QString log = w.WriteLog("old.txt",
                                   "[Mon Jan 02 15:04:05 2006] You hit a gnoll for 2 "
                                   "points of damage.\r\n[Mon Jan 02 15:04:06 2006] A "
                                   "gnoll hits YOU for 3 points of damage.\r\n[Mon Jan "
                                   "02 15:04:07 2006] a gnoll was hit by non-melee for 5 "
                                   "points of damage.\r\n");
    w.Parse(log);
    QVERIFY(
        w.Status().startsWith("Better read with the extended rules: 1 name with both a capital "
                              "and a small first letter, 1 damage line the default rules "
                              "cannot read. old.txt: 4 lines"));
    QPushButton* offer = w.Find<QPushButton>("UseExtendedRules");
    QVERIFY(offer->isVisible());
    QTest::mouseClick(offer, Qt::LeftButton);
    w.WaitIdle();
    QVERIFY(w.app().options().ExtendedLineRules && w.Item("mnuExtendedRules")->isChecked());
    QCOMPARE(w.Find<QComboBox>("cmbLineRules")->currentText(), QStringLiteral("Extended"));
    QVERIFY(w.Status().startsWith("old.txt: 4 lines") && !offer->isVisible());
    w.Find<QComboBox>("cmbLineRules")->setCurrentIndex(0);
    emit w.Find<QComboBox>("cmbLineRules")->activated(0);
    QVERIFY(!w.Item("mnuExtendedRules")->isChecked());
    w.Parse(log);  // once only
    QVERIFY(w.Status().startsWith("old.txt: 4 lines") && !offer->isVisible());

    // Options > CSV Folder... sends the files elsewhere; the status bar names them.
    QTemporaryDir elsewhere;
    w.dialogs().folder_answers.push_back(elsewhere.path());
    w.Item("mnuCsvFolder")->trigger();
    QCOMPARE(w.dialogs().shown.back().folder, w.Dir());
    QCOMPARE(w.form().CsvFolder(), elsewhere.path());
    w.Item("mnuPrintEvents")->trigger();
    w.Item("mnuPrintDetails")->trigger();
    w.Parse(w.WriteLog());
    const QString events_csv = QDir::toNativeSeparators(elsewhere.filePath("Events.csv"));
    QVERIFY(QFile::exists(events_csv));
    QVERIFY(w.Status().endsWith(" 2 events. Wrote " + events_csv + "."));
    w.ClickTab(2);
    QCOMPARE(w.Status(),
             "Wrote " + QDir::toNativeSeparators(elsewhere.filePath("textpclist.csv")) + ".");

    // Where no folder was chosen: the program's folder when writable, else a
    // folder in the documents folder.
    QCOMPARE(ombrel::gui::DefaultCsvFolder(w.Dir()), w.Dir());
    const QByteArray home = qgetenv("HOME");
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", w.Dir().toUtf8());
    qputenv("XDG_CONFIG_HOME", (w.Dir() + "/config").toUtf8());
    const QString fallback = ombrel::gui::DefaultCsvFolder(w.Dir() + "/not-there");
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", config);
    QCOMPARE(fallback, w.Dir() + "/Documents/ombrel-raid");
    QVERIFY(QFileInfo(fallback).isDir());
  }

  void sortIndicatorAndColumnFit() {
    WindowHarness w;
    w.Parse(w.WriteLog());
    w.ClickTab(2);
    QHeaderView* header = w.List(2)->header();
    QVERIFY(!header->isSortIndicatorShown());
    w.ClickHeader(2, 1);
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorSection(), 1);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    QVERIFY(ArrowPointsDown(header));
    w.ClickHeader(2, 7);  // not a sorting column: the indicator stays
    QCOMPARE(header->sortIndicatorSection(), 1);
    w.ClickHeader(2, 0);
    QCOMPARE(header->sortIndicatorSection(), 0);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QVERIFY(!ArrowPointsDown(header));
    w.ClickTab(1);
    w.ClickTab(2);  // rebuilt in its own order
    QVERIFY(!header->isSortIndicatorShown());

    // A double-click on a header's edge fits the column to its texts.
    header->resizeSection(0, 20);
    const QPoint edge(header->sectionViewportPosition(0) + header->sectionSize(0) - 1,
                      header->height() / 2);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, edge);
    QVERIFY(header->sectionSize(0) >=
            QFontMetrics(w.List(2)->font()).horizontalAdvance(QStringLiteral("Brutus`s pet")));
  }

  // A parse on the worker: the settings travel with it, the commands are
  // refused meanwhile, Cancel keeps the earlier results and closing stops it.
  void aParseThatRunsUntilCancelled() {
    EndlessParse parse;
    parse.real_runs = 1;  // the first parse is real
    WindowHarness w(parse.Runner());
    w.Parse(w.WriteLog());
    const QStringList rows = w.Rows(1);
    const QString caption = w.form().windowTitle();
    QCOMPARE(w.Status(),
             QStringLiteral("raid.txt: 8 lines, 7 records, 0 unreadable lines, 2 events."));
    w.Find<QComboBox>("cmbEventTimer")->setCurrentIndex(147);
    w.Item("mnuPrintEvents")->trigger();
    w.Item("mnuExtendedRules")->trigger();
    const QString second = w.WriteLog("second.txt");
    w.StartParse(second);

    QVERIFY(w.form().Busy());
    QCOMPARE(w.form().windowTitle(),
             QStringLiteral("Ombrel Raid - ") + QDir::toNativeSeparators(second));
    QTRY_VERIFY(parse.started);
    QVERIFY(parse.request.character_name == "Tarlen" && parse.request.event_gap == 900);
    QVERIFY(parse.request.print_events && !parse.request.print_data);
    QVERIFY(parse.request.rules == ombrel::LineRules::kExtended &&
            parse.request.verbs.size() == ombrel::kExtendedAttackVerbs.size());
    QTRY_COMPARE(w.Frame(0)->title(), QStringLiteral("Settings - 2/2 Creating Events"));
    QProgressBar* progress = w.Find<QProgressBar>("ParseProgress");
    QPushButton* cancel = w.Find<QPushButton>("CancelParse");
    QVERIFY(progress->isVisible() && cancel->isVisible());
    QCOMPARE(cancel->parentWidget(), progress->parentWidget());
    QTRY_COMPARE(progress->value(), 42);

    for (QObject* control : std::initializer_list<QObject*>{
             w.Find<QPushButton>("Command1"), w.Item("mnuOpenLog"), w.Tabs(),
             w.Find<QMenu>("mnuOptions")->menuAction(), w.Find<QMenu>("mnuExport")->menuAction()}) {
      QVERIFY2(!control->property("enabled").toBool(), qPrintable(control->objectName()));
    }
    // Triggered anyway (a shortcut, a test): nothing happens.
    const size_t dialogs_before = w.dialogs().shown.size();
    w.Item("mnuOpenLog")->trigger();
    w.Item("mnuExportEvents")->trigger();
    w.Item("mnuPrintData")->trigger();
    QCOMPARE(w.dialogs().shown.size(), dialogs_before);
    QVERIFY(!w.app().options().PrintData && !w.Item("mnuPrintData")->isChecked());
    const int tab = w.Tabs()->currentIndex();
    const int page = w.ShownPage();
    w.Tabs()->setCurrentIndex(tab == 2 ? 3 : 2);
    QCOMPARE(w.Tabs()->currentIndex(), tab);
    QCOMPARE(w.ShownPage(), page);

    QTest::mouseClick(cancel, Qt::LeftButton);
    QVERIFY(parse.saw_cancel);
    QVERIFY(!w.form().Busy());
    QCOMPARE(w.Rows(1), rows);
    w.Expect("Form1.windowTitle=" + caption +
             "|Frame1(0).title=Settings|TabStrip1.enabled=true"
             "|StatusText.text=Parse cancelled.|CancelParse.visible=false");
    QVERIFY(QApplication::overrideCursor() == nullptr);

    // Closing the window stops the parse and drops it.
    parse.started = false;
    parse.saw_cancel = false;
    w.StartParse(second);
    QTRY_VERIFY(parse.started);
    QVERIFY(w.form().close());
    QVERIFY(parse.saw_cancel);
    QVERIFY(!w.form().Busy() && !w.form().isVisible());
  }
};

QTEST_MAIN(MainWindowDesktopTest)
#include "MainWindowDesktopTest.moc"
