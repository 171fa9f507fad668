#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStringList>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "FakeDialogs.h"
#include "app/App.h"
#include "gui/MainWindow.h"
#include "gui/Paths.h"
#include "gui/Twips.h"

namespace ombrel::gui::testing {

// Two fights of the character Tarlen: a gnoll (with Brutus, his pet and
// Zarra) and, two minutes later, an orc.
inline const std::string kTwoFightsLog =
    "[Mon Jan 02 15:04:05 2006] You hit a gnoll for 20 points of damage.\r\n"
    "[Mon Jan 02 15:04:06 2006] a gnoll hits YOU for 15 points of damage.\r\n"
    "[Mon Jan 02 15:04:07 2006] Brutus`s pet bites a gnoll for 30 points of damage.\r\n"
    "[Mon Jan 02 15:04:08 2006] Brutus hits a gnoll for 10 points of damage.\r\n"
    "[Mon Jan 02 15:04:09 2006] Zarra slashes a gnoll for 50 points of damage.\r\n"
    "[Mon Jan 02 15:06:00 2006] You hit an orc for 7 points of damage.\r\n"
    "[Mon Jan 02 15:06:02 2006] Zarra slashes an orc for 40 points of damage.\r\n";

// "a|b|c" as the list {"a", "b", "c"}.
inline QStringList Split(const char* cells) {
  return QString::fromLatin1(cells).split(QLatin1Char('|'));
}

// A parse that reports stage 2 at 42 % and then runs until it is told to
// stop; the first `real_runs` parses are real ones.
struct EndlessParse {
  std::atomic<int> real_runs{0};
  std::atomic<bool> started{false};
  std::atomic<bool> saw_cancel{false};
  ParseRequest request;

  ParseRunner Runner() {
    return [this](const ParseRequest& r,
                  const Progress& progress) -> std::variant<ParsedRun, Failure> {
      if (real_runs > 0) {
        --real_runs;
        return RunParse(r, progress);
      }
      request = r;
      progress.Stage(2);
      progress.Report(0.42);
      progress.Report(0.421);  // the same whole percent: not posted again
      started = true;
      while (!progress.Cancelled()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      saw_cancel = true;
      ParsedRun run;
      run.cancelled = true;
      return run;
    };
  }
};

// A window over a fresh app whose CSV files go to a temporary folder, driven
// the way a user drives it.
class WindowHarness {
 public:
  // CSV files go to `output_dir`, or to the temporary folder when it is empty.
  // With `settings` the window remembers there.
  explicit WindowHarness(ParseRunner runner = &RunParse, std::filesystem::path output_dir = {},
                         QSettings* settings = nullptr)
      : app_(std::make_unique<App>(output_dir.empty() ? ToPath(dir_.path()) : output_dir)),
        form_(std::make_unique<MainWindow>(*app_, dialogs_, std::move(runner), settings)) {
    form_->show();
    (void)QTest::qWaitForWindowExposed(form_.get());
  }

  App& app() { return *app_; }
  MainWindow& form() { return *form_; }
  FakeDialogs& dialogs() { return dialogs_; }
  QString Dir() const { return dir_.path(); }

  template <class T>
  T* Find(const char* name) {
    return form_->findChild<T*>(QString::fromLatin1(name));
  }
  QTabBar* Tabs() { return Find<QTabBar>("TabStrip1"); }
  QGroupBox* Frame(int page) {
    return form_->findChild<QGroupBox*>(QStringLiteral("Frame1(%1)").arg(page));
  }
  QTreeView* List(int number) {
    return form_->findChild<QTreeView*>(QStringLiteral("ListView%1").arg(number));
  }
  QAction* Item(const char* name) { return Find<QAction>(name); }
  // Checks a table of what the window shows, "object.property=value" entries
  // joined by "|" (the window itself is "Form1"); values as QVariant writes
  // them ("true", "7").
  void Expect(const QString& table) {
    for (const QString& entry : table.split(QLatin1Char('|'))) {
      const qsizetype dot = entry.indexOf(QLatin1Char('.'));
      const qsizetype equals = entry.indexOf(QLatin1Char('='), dot);
      const QString name = entry.left(dot);
      QObject* object =
          name == form_->objectName() ? form_.get() : form_->findChild<QObject*>(name);
      QVERIFY2(object != nullptr, qPrintable(name));
      const QString shown =
          object->property(qPrintable(entry.mid(dot + 1, equals - dot - 1))).toString();
      QVERIFY2(shown == entry.mid(equals + 1), qPrintable(entry + " is " + shown));
    }
  }
  QString Status() { return Find<QLabel>("StatusText")->text(); }
  // The page the window shows (0 to 3); the others are hidden.
  int ShownPage() {
    int shown = -1;
    for (int page = 0; page < 4; ++page) {
      if (Frame(page)->isVisible()) {
        if (shown >= 0) return -2;  // two pages at once
        shown = page;
      }
    }
    return shown;
  }

  // Writes `text` as a log file in the temporary folder.
  QString WriteLog(const char* name = "raid.txt", const std::string& text = kTwoFightsLog) {
    const QString path = dir_.filePath(QString::fromLatin1(name));
    std::ofstream(ToPath(path), std::ios::binary) << text;
    return path;
  }

  // Types the name, answers the open dialog with `path` and presses "Parse
  // Log"; waits for the parse to end.
  void Parse(const QString& path, const QString& name = QStringLiteral("Tarlen")) {
    StartParse(path, name);
    WaitIdle();
  }
  void StartParse(const QString& path, const QString& name = QStringLiteral("Tarlen")) {
    Find<QLineEdit>("Yourname")->setText(name);
    dialogs_.open_answers.push_back(path);
    QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);
  }
  void WaitIdle() { QTRY_VERIFY_WITH_TIMEOUT(!form_->Busy(), 60000); }

  void ClickTab(int index) {
    QTabBar* tabs = Tabs();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
  }
  void ClickRow(int list, int row) {
    QTreeView* view = List(list);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, RowCenter(view, row));
  }
  void DoubleClickRow(int list, int row) {
    QTreeView* view = List(list);
    const QPoint at = RowCenter(view, row);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
  }
  void ClickHeader(int list, int section) {
    QHeaderView* header = List(list)->header();
    const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
  }

  // Every cell text of a list, row by row, cells joined by "|".
  QStringList Rows(int list) {
    QAbstractItemModel* model = List(list)->model();
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
      QStringList cells;
      for (int c = 0; c < model->columnCount(); ++c) {
        cells << model->data(model->index(r, c)).toString();
      }
      rows << cells.join(QLatin1Char('|'));
    }
    return rows;
  }
  // The same with each row's unfolding rows after it, each "> " and its cells.
  QStringList TreeRows(int list) {
    QAbstractItemModel* model = List(list)->model();
    QStringList rows;
    auto add = [&](const QModelIndex& parent, const QString& mark, auto& self) -> void {
      for (int r = 0; r < model->rowCount(parent); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
          cells << model->data(model->index(r, c, parent)).toString();
        rows << mark + cells.join(QLatin1Char('|'));
        self(model->index(r, 0, parent), QStringLiteral("> "), self);
      }
    };
    add({}, QString(), add);
    return rows;
  }
  // The selected row of a list, -1 for none.
  int SelectedRow(int list) {
    const QModelIndexList rows = List(list)->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.front().row() : -1;
  }

 private:
  static QPoint RowCenter(QTreeView* view, int row) {
    return view->visualRect(view->model()->index(row, 0)).center();
  }

  QTemporaryDir dir_;
  FakeDialogs dialogs_;
  std::unique_ptr<App> app_;
  std::unique_ptr<MainWindow> form_;
};

}  // namespace ombrel::gui::testing
