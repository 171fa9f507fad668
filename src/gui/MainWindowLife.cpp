// The main window's Deaths and Healing pages (extended rules): their tabs,
// which follow the four for a log read under those rules, their lists kept
// up with the app's, and their CSV exports.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>

#include "gui/Cp1252.h"
#include "gui/DeathsPage.h"
#include "gui/Dialogs.h"
#include "gui/HealingPage.h"
#include "gui/ListPage.h"
#include "gui/MainWindow.h"
#include "gui/Paths.h"
#include "gui/StatusLine.h"
#include "gui/TextTableModel.h"
#include "gui/WaitCursor.h"

namespace ombrel::gui {

namespace {

const char* const kLifeTabToolTips[2] = {
    "Who died, and what they took before",
    "Who healed whom, and with what",
};
constexpr const char* kSaveFolder = "save";

}  // namespace

void MainWindow::BuildLifePages() {
  deaths_page_ = new DeathsPage(app_, memory_, pages_);
  healing_page_ = new HealingPage(app_, memory_, pages_);
  pages_->addWidget(deaths_page_);
  pages_->addWidget(healing_page_);
}

void MainWindow::ConnectLifePages() {
  for (QCheckBox* whole : {deaths_page_->WholeLog(), healing_page_->WholeLog()}) {
    connect(whole, &QCheckBox::toggled, this, [this](bool checked) {
      if (!busy_) {
        const WaitCursor wait;
        ChangeLifeLists([&] { app_.SetLifeWholeLog(checked); });
      }
      ShowState();
    });
  }
  connect(deaths_page_, &DeathsPage::Said, this,
          [this](const QString& text) { status_->SetText(text); });
  connect(healing_page_, &HealingPage::Said, this,
          [this](const QString& text) { status_->SetText(text); });
  const WindowMenus& m = *menus_;
  connect(m[Command::kExportDeaths], &QAction::triggered, this, [this] {
    ExportLifeCsv(QStringLiteral("Save Deaths As"), "deaths.csv", &App::ExportDeathsCsv);
  });
  connect(m[Command::kExportHealing], &QAction::triggered, this, [this] {
    ExportLifeCsv(QStringLiteral("Save Heals As"), "healing.csv", &App::ExportHealingCsv);
  });
  connect(m[Command::kExportRecap], &QAction::triggered, this, [this] {
    if (app_.SelectedDeath() < app_.DeathsList().Rows())
      ExportLifeCsv(QStringLiteral("Save Death Recap As"), "recap.csv", &App::ExportRecapCsv);
  });
}

std::vector<ListPage*> MainWindow::LifeLists() const {
  std::vector<ListPage*> lists = healing_page_->Lists();
  lists.insert(lists.begin(), {deaths_page_->Deaths(), deaths_page_->Recap()});
  return lists;
}

void MainWindow::ChangeLifeLists(const std::function<void()>& change) {
  ChangeLists(LifeLists(), change);
  life_builds_seen_ = app_.LifeBuilds();
  deaths_page_->Reload();
}

void MainWindow::ChooseLifeTab(int tab) {
  {
    const WaitCursor wait;
    ChangeLifeLists([&] { app_.ChooseTab(tab); });
  }
  ShowState();
}

void MainWindow::ShowLifePages() {
  const bool available = app_.LifePagesAvailable();
  if (available != (tab_strip_->count() > 4)) {
    const QSignalBlocker quiet(tab_strip_);
    for (int i = 0; i < 2; ++i) {
      if (available) {
        const int tab = tab_strip_->addTab(FromCp1252(kLifeTabCaptions[i]));
        tab_strip_->setTabToolTip(tab, QString::fromLatin1(kLifeTabToolTips[i]));
      } else {
        tab_strip_->removeTab(tab_strip_->count() - 1);
      }
    }
  }
  deaths_page_->setTitle(FromCp1252(app_.FrameCaption(4)));
  healing_page_->setTitle(FromCp1252(app_.FrameCaption(5)));
  // Lists built again or dropped with the log they viewed.
  if (app_.LifeBuilds() != life_builds_seen_) ChangeLifeLists([] {});
  for (QCheckBox* whole : {deaths_page_->WholeLog(), healing_page_->WholeLog()}) {
    const QSignalBlocker quiet(whole);
    whole->setChecked(app_.LifeWholeLog());
  }
  const WindowMenus& m = *menus_;
  const bool shown = available && app_.ShownPage() >= 4;
  m[Command::kExportDeaths]->setEnabled(shown);
  m[Command::kExportHealing]->setEnabled(shown);
  m[Command::kExportRecap]->setEnabled(shown && app_.SelectedDeath() < app_.DeathsList().Rows());
}

void MainWindow::KeepLifeListsShown() {
  // A followed log's refresh built them again: the rows chosen and the
  // scroll stay.
  if (app_.LifeBuilds() == life_builds_seen_) return;
  const std::vector<ListPage*> lists = LifeLists();
  for (ListPage* list : lists) list->BeginRefresh();
  for (ListPage* list : lists) list->EndRefresh();
  for (ListPage* list : lists) {
    list->SelectFromApp();
    list->RestoreScroll();
  }
  life_builds_seen_ = app_.LifeBuilds();
  deaths_page_->Reload();
}

void MainWindow::ExportLifeCsv(const QString& title, const char* name, ReportExport export_csv) {
  if (busy_ || !app_.LifePagesAvailable() || app_.ShownPage() < 4) return;
  const QString folder = memory_.Folder(kSaveFolder);
  const std::optional<QString> path = dialogs_.SaveFile(
      this, title, QStringLiteral("CSV files (*.csv)"),
      QDir(folder.isEmpty() ? CsvFolder() : folder).filePath(QLatin1String(name)));
  if (!path) return;
  memory_.SetFolder(kSaveFolder, FolderOf(*path));
  std::optional<Failure> failure;
  {
    const WaitCursor wait;
    failure = (app_.*export_csv)(ToPath(*path));
  }
  if (failure) {
    ShowFailures({*failure}, QStringLiteral("Cannot Write File"));
  } else {
    status_->SetText(QStringLiteral("Wrote %1.").arg(QDir::toNativeSeparators(*path)));
  }
}

}  // namespace ombrel::gui
