// A parse on the worker thread: progress, refused commands, closing meanwhile.
#include <fstream>

#include "WindowHarness.h"
#include "loggen/LogGen.h"

using ombrel::gui::testing::EndlessParse;
using ombrel::gui::testing::WindowHarness;

class Form1LongWorkTest : public QObject {
  Q_OBJECT

 private slots:
  void commandsAreRefusedWhileTheParseRuns() {
    EndlessParse parse;
    WindowHarness w(parse.Runner());
    w.Find<QComboBox>("cmbEventTimer")->setCurrentIndex(147);
    w.Item("mnuPrintEvents")->trigger();
    w.Item("mnuExtendedRules")->trigger();
    const QString log = w.WriteLog();
    w.StartParse(log);

    QVERIFY(w.form().Busy());
    QCOMPARE(w.form().windowTitle(),
             QStringLiteral("Ombrel Raid - ") + QDir::toNativeSeparators(log));
    QTRY_VERIFY(parse.started);
    // The settings travel with the request.
    QVERIFY(parse.request.character_name == "Tarlen" && parse.request.event_gap == 900);
    QVERIFY(parse.request.print_events && !parse.request.print_data);
    QVERIFY(parse.request.rules == ombrel::LineRules::kExtended &&
            parse.request.verbs.size() == ombrel::kExtendedAttackVerbs.size());
    QTRY_COMPARE(w.Frame(0)->title(), QStringLiteral("Settings - 2/2 Creating Events"));
    QProgressBar* progress = w.Find<QProgressBar>("ParseProgress");
    QVERIFY(progress->isVisible());
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
    w.Tabs()->setCurrentIndex(2);
    QCOMPARE(w.Tabs()->currentIndex(), 0);
    QCOMPARE(w.ShownPage(), 0);

    // Closing the window stops the parse and drops it.
    QVERIFY(w.form().close());
    QVERIFY(parse.saw_cancel);
    QVERIFY(!w.form().Busy() && !w.form().isVisible());
  }

  void closingDuringARealParse() {
    WindowHarness w;
    ombrel::loggen::Options options;
    options.target_bytes = 8u << 20;
    const QString log = w.Dir() + QStringLiteral("/big.txt");
    {
      std::ofstream out(ombrel::gui::ToPath(log), std::ios::binary);
      ombrel::loggen::Generate(options, out);
    }
    w.StartParse(log);
    QVERIFY(w.form().Busy());
    QVERIFY(w.form().close());
    QVERIFY(!w.form().Busy());
    QTest::qWait(20);  // whatever the worker posted arrives and is ignored
    QVERIFY(w.app().EventsList().Empty() && !w.Tabs()->isEnabled());
    QVERIFY(w.dialogs().Messages().empty());
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }
};

QTEST_MAIN(Form1LongWorkTest)
#include "Form1LongWorkTest.moc"
