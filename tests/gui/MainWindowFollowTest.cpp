// Following a log in the window: the lists updated in place, the open fight
// marked, stopping, and a log cut short (a replaced log is the same step to
// the window; the app's follow test covers both).
#include <filesystem>
#include <fstream>

#include <QFont>
#include <QLabel>
#include <QShortcut>
#include <QTimer>

#include "WindowHarness.h"
#include "gui/CommandLine.h"

using ombrel::gui::testing::WindowHarness;

namespace {

const std::string kGnollFight =
    "[Mon Jan 02 15:04:05 2006] You hit a gnoll for 20 points of damage.\r\n"
    "[Mon Jan 02 15:04:06 2006] a gnoll hits YOU for 15 points of damage.\r\n"
    "[Mon Jan 02 15:04:09 2006] Zarra slashes a gnoll for 50 points of damage.\r\n";
const std::string kOrcFight =
    "[Mon Jan 02 15:06:00 2006] You hit an orc for 7 points of damage.\r\n"
    "[Mon Jan 02 15:06:02 2006] Zarra slashes an orc for 40 points of damage.\r\n";

bool Bold(WindowHarness& w, int row) {
  QAbstractItemModel* model = w.List(1)->model();
  return model->data(model->index(row, 0), Qt::FontRole).value<QFont>().bold();
}

void Append(const QString& path, const std::string& text) {
  std::ofstream(ombrel::gui::ToPath(path), std::ios::binary | std::ios::app) << text;
}

// The events list and the status bar a parse of `path` shows in a window of its own.
QStringList OneShotRows(const QString& path) {
  WindowHarness once;
  once.Parse(path);
  return once.Rows(1);
}
QStringList OneShotEncounters(const QString& path) {
  WindowHarness once;
  once.Item("mnuGroupEncounters")->trigger();
  once.Parse(path);
  return once.TreeRows(1);
}
QString OneShotStatus(const QString& path) {
  WindowHarness once;
  once.Parse(path);
  return once.Status();
}

void StartFollowing(WindowHarness& w, const QString& path) {
  w.Find<QLineEdit>("Yourname")->setText(QStringLiteral("Tarlen"));
  w.dialogs().open_answers.push_back(path);
  w.Item("mnuFollowLog")->trigger();
  w.WaitIdle();
  QTRY_VERIFY(w.app().Following());
}

}  // namespace

class MainWindowFollowTest : public QObject {
  Q_OBJECT

 private slots:
  void listsUpdateInPlaceAndTheOpenFightIsMarked() {
    WindowHarness w;
    const QString log = w.WriteLog("raid.txt", kGnollFight);
    StartFollowing(w, log);
    QVERIFY(w.form().windowTitle().endsWith(QStringLiteral("raid.txt (following)")));
    QVERIFY(w.Item("mnuStopFollowing")->isEnabled() && Bold(w, 0));
    QCOMPARE(w.Rows(1), OneShotRows(log));
    QVERIFY(w.Status().contains(QStringLiteral("a gnoll (live)")));

    // The orc fight starts long after: the gnoll's is over, the orc's open.
    // The log is watched, not polled: the change alone refreshes the lists.
    QVERIFY(!w.Find<QTimer>("followTimer")->isActive());
    Append(log, kOrcFight);
    QTRY_COMPARE(w.Rows(1), OneShotRows(log));
    QVERIFY(!Bold(w, 0) && Bold(w, 1));
    for (int c = 0; c < w.List(1)->model()->columnCount(); ++c) {  // bold texts are not cut
      QVERIFY(w.List(1)->header()->sectionSize(c) >=
              w.List(1)->sizeHintForIndex(w.List(1)->model()->index(1, c)).width());
    }
    QVERIFY(w.Status().contains("an orc (live)") && !w.Status().contains("a gnoll (live)"));

    // The orc selected, then shown on the Event Detail page.
    w.ClickRow(1, 1);
    QCOMPARE(w.app().SelectedEvent(), size_t{1});
    w.ClickTab(2);
    const QStringList detail = w.Rows(2);

    // The character hits Zarra: her hits count as hers from the start, and
    // her first fight (at the gnoll's time) lands before the orc's row. The
    // orc's fight grows too: its detail is built again.
    Append(log,
           "[Mon Jan 02 15:06:05 2006] You hit Zarra for 3 points of damage.\r\n"
           "[Mon Jan 02 15:06:06 2006] You hit an orc for 9 points of damage.\r\n"
           "[Mon Jan 02 15:06:07 2006] You hit an orc for 11 points of");  // unended
    w.form().RefreshFollowed();
    const QStringList rows = w.Rows(1);
    QVERIFY(rows.size() == 4 && rows[1].startsWith(QStringLiteral("Zarra|")));
    QVERIFY(w.app().SelectedEvent() == 2 && w.List(1)->currentIndex().row() == 2);
    QVERIFY(w.Rows(2) != detail && w.ShownPage() == 2);

    // Stopping counts the unended line and shows what a parse shows.
    w.Item("mnuStopFollowing")->trigger();
    QVERIFY(!w.app().Following() && !w.Item("mnuStopFollowing")->isEnabled());
    QVERIFY(!w.form().windowTitle().contains(QStringLiteral("following")));
    QCOMPARE(w.Rows(1), OneShotRows(log));
    QCOMPARE(w.Status(), OneShotStatus(log));
    QVERIFY(!Bold(w, 3) && w.app().SelectedEvent() == 2);

    // A log without a fight of the character's: the status says so, as after
    // a parse.
    const QString quiet =
        w.WriteLog("quiet.txt",
                   "[Mon Jan 02 15:04:09 2006] Zarra slashes a gnoll for 50 points of damage.\r\n");
    StartFollowing(w, quiet);
    w.Item("mnuStopFollowing")->trigger();
    QCOMPARE(w.Status(), OneShotStatus(quiet));
  }

  // Grouped into encounters, the list is a one-shot parse's at each refresh
  // and the live encounter is bold.
  void encountersFollowTheLog() {
    WindowHarness w;
    w.Item("mnuGroupEncounters")->trigger();
    const QString log = w.WriteLog("raid.txt", kGnollFight);
    StartFollowing(w, log);
    Append(log, "[Mon Jan 02 15:04:10 2006] You hit a rat for 5 points of damage.\r\n");
    w.form().RefreshFollowed();
    QCOMPARE(w.TreeRows(1), OneShotEncounters(log));
    QVERIFY(w.TreeRows(1).size() == 3 && Bold(w, 0));
    Append(log, kOrcFight);
    w.form().RefreshFollowed();
    QCOMPARE(w.TreeRows(1), OneShotEncounters(log));
    QVERIFY(!Bold(w, 0) && Bold(w, 1));
  }

  void aLogCutShortIsReadAgain() {
    // ombrel-raid --name Tarlen --follow raid.txt
    const auto line =
        ombrel::gui::ParseCommandLine({"ombrel-raid", "--name", "Tarlen", "--follow", "raid.txt"});
    QVERIFY(line.follow && line.log == "raid.txt" && line.error.empty());
    WindowHarness w;
    const QString log = w.WriteLog("raid.txt", kGnollFight + kOrcFight);
    w.form().OpenAtStart(QStringLiteral("Tarlen"), log, true);
    w.WaitIdle();
    QTRY_VERIFY(w.app().Following());
    QCOMPARE(w.Rows(1).size(), 2);
    w.ClickRow(1, 1);

    std::filesystem::resize_file(ombrel::gui::ToPath(log), kGnollFight.size());
    w.form().RefreshFollowed();
    QCOMPARE(w.Rows(1), OneShotRows(log));
    QCOMPARE(w.app().SelectedEvent(), size_t{0});
    QVERIFY(
        w.Status().startsWith("The log was cut short or replaced and read again from its start."));

    // A parse of its own ends following.
    w.Parse(log);
    QVERIFY(!w.app().Following() && !w.Item("mnuStopFollowing")->isEnabled());
  }

  void aLargeAppendIsReadOffTheWindowsThreadAndCancelEndsFollowing() {
    WindowHarness w;
    const QString log = w.WriteLog("raid.txt", kGnollFight);
    StartFollowing(w, log);
    // More than a piece of the log at once: read by the worker, with
    // progress and Cancel, the window busy meanwhile.
    std::string large;
    while (large.size() < (size_t{9} << 20)) large += kOrcFight;
    Append(log, large);
    w.form().RefreshFollowed();
    QVERIFY(w.form().Busy() && w.Find<QWidget>("CancelParse")->isVisible());
    w.WaitIdle();
    QVERIFY(w.app().Following());
    QCOMPARE(w.Rows(1), OneShotRows(log));

    // Cancel (Esc) ends following with what was read.
    Append(log, large);
    w.form().RefreshFollowed();
    QVERIFY(w.form().Busy());
    emit w.Find<QShortcut>("CancelShortcut")->activated();
    QVERIFY(!w.form().Busy() && !w.app().Following());
    QVERIFY(!w.form().windowTitle().contains(QStringLiteral("following")));
  }
};

QTEST_MAIN(MainWindowFollowTest)
#include "MainWindowFollowTest.moc"
