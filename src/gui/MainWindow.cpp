#include "gui/MainWindow.h"

#include <utility>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTreeView>
#include <QVBoxLayout>

#include "gui/Cp1252.h"
#include "gui/Dialogs.h"
#include "gui/EventDetailPage.h"
#include "gui/EventsPage.h"
#include "gui/FollowController.h"
#include "gui/LiveMeterWindow.h"
#include "gui/LogRoom.h"
#include "gui/Paths.h"
#include "gui/SettingsPage.h"
#include "gui/StatusLine.h"
#include "gui/TextTableModel.h"
#include "gui/Twips.h"
#include "gui/WaitCursor.h"

// Resources of a static library are registered by name, outside any namespace.
static void InitGuiResources() {
  Q_INIT_RESOURCE(ombrel_gui);
}

namespace ombrel::gui {

namespace {

// The window's client area, in twips: its starting and smallest size.
constexpr int kClientWidth = 10560;
constexpr int kClientHeight = 7860;

const char* const kTabToolTips[4] = {
    "Basic Program Settings",
    "Raid/Group Damage by Event",
    "Raid/Group Damage Details",
    "Detail on the individual player/npc dealing damage",
};

// The key of the remembered CSV folder.
constexpr const char* kCsvFolder = "csv";

}  // namespace

QString MainWindow::AboutText() {
  return QStringLiteral(
      "Parse the whole raid, very beta, not so much necro goodness in it yet.\r\n"
      "\r\n"
      "Zerrit\r\n"
      "\r\n"
      "Beta Version " OMBREL_VERSION);
}

MainWindow::MainWindow(App& app, Dialogs& dialogs, ParseRunner runner, QSettings* settings,
                       QWidget* parent)
    : QMainWindow(parent),
      app_(app),
      dialogs_(dialogs),
      memory_(settings),
      worker_(std::move(runner)) {
  InitGuiResources();
  setObjectName(QStringLiteral("Form1"));
  setWindowIcon(QIcon(QStringLiteral(":/ombrel-raid.svg")));
  setAcceptDrops(true);
  BuildPages();
  menus_ = std::make_unique<WindowMenus>(menuBar());
  status_ = std::make_unique<StatusLine>(statusBar(), app_);
  follow_ = new FollowController(app_, list_pages_, this);
  log_room_ = new LogRoom(app_, dialogs_, this);
  live_meter_ = std::make_unique<LiveMeterWindow>(app_, memory_, (*menus_)[Command::kLiveMeter],
                                                  [this] { return busy_; });
  BuildShortcuts();
  setWindowTitle(QFile::decodeName(QByteArray::fromStdString(app_.WindowCaption())));
  FitToScreen();
  Remember();
  Connect();
  SetBusy(false);
}

MainWindow::~MainWindow() {
  if (busy_) {
    worker_.Abandon();
    follow_->Abandon();
    QApplication::restoreOverrideCursor();
  }
}

void MainWindow::BuildPages() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  setCentralWidget(client);
  auto* column = new QVBoxLayout(client);
  const int margin = TwipsToPixels(60, font());
  column->setContentsMargins(margin, margin, margin, 0);
  column->setSpacing(0);

  // The tabs stand straight on the shown page.
  tab_strip_ = new QTabBar(client);
  tab_strip_->setObjectName(QStringLiteral("TabStrip1"));
  tab_strip_->setExpanding(false);
  tab_strip_->setDrawBase(false);
  for (int i = 0; i < 4; ++i) {
    tab_strip_->addTab(FromCp1252(kTabCaptions[i]));
    tab_strip_->setTabToolTip(i, QString::fromLatin1(kTabToolTips[i]));
  }
  tab_strip_->setEnabled(false);
  column->addWidget(tab_strip_);

  // Only the shown page is a visible widget; the others are hidden, out of
  // reach of the keyboard.
  pages_ = new QStackedWidget(client);
  pages_->setObjectName(QStringLiteral("Pages"));
  column->addWidget(pages_, 1);
  settings_page_ = new SettingsPage(pages_);
  events_page_ = new EventsPage(app_, pages_);
  event_detail_page_ = new EventDetailPage(app_, memory_, pages_);
  combatant_page_ = new ListPage(kCombatantDetailPage, app_, pages_);
  list_pages_ = {events_page_, event_detail_page_, combatant_page_};
  pages_->addWidget(settings_page_);
  QWidget* before = settings_page_->LastControl();
  setTabOrder(tab_strip_, settings_page_->FirstControl());
  for (ListPage* page : list_pages_) {
    pages_->addWidget(page);
    setTabOrder(before, page->View());
    before = page->View();
  }
  // The App outlives the window, whose list may still ask while it closes.
  events_page_->Model()->SetBoldRows([&app = app_](size_t row) { return app.EventIsOpen(row); });
  BuildLifePages();
}

void MainWindow::BuildShortcuts() {
  auto shortcut = [this](const char* name, std::initializer_list<QKeySequence> keys, int step) {
    for (const QKeySequence& key : keys) {
      auto* s = new QShortcut(key, this);
      s->setObjectName(QString::fromLatin1(name));
      connect(s, &QShortcut::activated, this, [this, step] { StepTab(step); });
    }
  };
  shortcut("NextPage",
           {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1);
  shortcut("PreviousPage",
           {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
            QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
           -1);
  auto* cancel = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  cancel->setObjectName(QStringLiteral("CancelShortcut"));
  connect(cancel, &QShortcut::activated, this, &MainWindow::CancelParse);
}

void MainWindow::FitToScreen() {
  const QSize wanted(TwipsToPixels(kClientWidth, font()), TwipsToPixels(kClientHeight, font()) +
                                                              menuBar()->sizeHint().height() +
                                                              statusBar()->sizeHint().height());
  // Never larger than the screen, leaving room for the window's frame.
  QSize room = wanted;
  if (const QScreen* s = screen()) room = s->availableGeometry().size() - QSize(16, 48);
  const QSize start = wanted.boundedTo(room);
  setMinimumSize(start);
  resize(start);
}

void MainWindow::PutOnAScreen() {
  // Its caption and at least half of it show on a screen: it stays.
  const QRect frame = geometry();
  for (const QScreen* s : QGuiApplication::screens()) {
    const QRect room = s->availableGeometry();
    const QRect shown = room.intersected(frame);
    if (room.contains(QPoint(frame.center().x(), frame.top())) &&
        shown.width() * 2 >= frame.width() && shown.height() * 2 >= frame.height())
      return;
  }
  // Saved on a screen that is gone, or mostly off every one: the middle of
  // the primary screen, never larger than it.
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary == nullptr) return;
  const QRect room = primary->availableGeometry();
  resize(size().boundedTo(room.size() - QSize(16, 48)));
  move(room.center() - QPoint(width() / 2, height() / 2));
}

void MainWindow::Remember() {
  settings_page_->SetValues(memory_.LastPage());
  app_.options() = memory_.Options();
  const PrintOptions& options = app_.options();
  for (const auto& [command, mark] : {std::pair{Command::kPrintData, options.PrintData},
                                      {Command::kPrintEvents, options.PrintEvents},
                                      {Command::kPrintDetails, options.PrintDetails},
                                      {Command::kPrintPCDetails, options.PrintPCDetails},
                                      {Command::kExtendedRules, options.ExtendedLineRules}}) {
    (*menus_)[command]->setChecked(mark);
  }
  settings_page_->SetExtendedRules(options.ExtendedLineRules);
  const QString csv_folder = memory_.Folder(kCsvFolder);
  if (!csv_folder.isEmpty() && QFileInfo(csv_folder).isDir()) app_.SetOutputDir(ToPath(csv_folder));

  const QByteArray geometry = memory_.Bytes("geometry");
  if (!geometry.isEmpty()) {
    restoreGeometry(geometry);
    PutOnAScreen();
  }
  events_page_->RestoreColumns(memory_);
  event_detail_page_->RestoreLayout();
  combatant_page_->RestoreColumns(memory_);
  (*menus_)[Command::kViewTimeline]->setChecked(event_detail_page_->TimelineShown());
  FillRecentLogs();
}

void MainWindow::Connect() {
  const WindowMenus& m = *menus_;
  connect(settings_page_, &SettingsPage::ParseRequested, this, &MainWindow::ParseCommand);
  connect(settings_page_, &SettingsPage::RulesChosen, this, &MainWindow::SetExtendedRules);
  connect(status_->RulesButton(), &QPushButton::clicked, this, [this] {
    SetExtendedRules(true);
    ParseAgain();
  });
  connect(m[Command::kOpenLog], &QAction::triggered, this, &MainWindow::ParseCommand);
  connect(m[Command::kParseAgain], &QAction::triggered, this, &MainWindow::ParseAgain);
  connect(m[Command::kFollowLog], &QAction::triggered, this, &MainWindow::FollowCommand);
  connect(m[Command::kStopFollowing], &QAction::triggered, this, &MainWindow::StopFollowing);
  connect(m.RecentLogs(), &QMenu::aboutToShow, this, &MainWindow::FillRecentLogs);
  connect(m[Command::kQuit], &QAction::triggered, this, &MainWindow::close);
  for (const auto& [command, mark] :
       {std::pair{Command::kPrintData, &PrintOptions::PrintData},
        {Command::kPrintEvents, &PrintOptions::PrintEvents},
        {Command::kPrintDetails, &PrintOptions::PrintDetails},
        {Command::kPrintPCDetails, &PrintOptions::PrintPCDetails},
        {Command::kExtendedRules, &PrintOptions::ExtendedLineRules}}) {
    connect(m[command], &QAction::triggered, this,
            [this, command, mark] { ToggleOption(command, mark); });
  }
  connect(m[Command::kFindInLog], &QAction::triggered, this, [this] {
    if (!busy_) log_room_->OpenFind();
  });
  connect(m[Command::kShowInLog], &QAction::triggered, this, &MainWindow::ShowInLog);
  connect(m[Command::kSaveFightLog], &QAction::triggered, this, &MainWindow::SaveFightLog);
  connect(log_room_, &LogRoom::Said, this, [this](const QString& text) { status_->SetText(text); });
  // The fights' and the PC Detail rows' own context menus.
  events_page_->View()->addActions({m[Command::kShowInLog], m[Command::kSaveFightLog]});
  combatant_page_->View()->addAction(m[Command::kShowInLog]);
  connect(m[Command::kCsvFolder], &QAction::triggered, this, &MainWindow::ChooseCsvFolder);
  connect(m[Command::kViewTimeline], &QAction::triggered, this, &MainWindow::ShowTimeline);
  connect(m[Command::kExportEvents], &QAction::triggered, this, [this] {
    if (app_.ExportEventsEnabled())
      ExportReport(QStringLiteral("Save Events As"), &App::ExportEvents);
  });
  connect(m[Command::kExportEventDetail], &QAction::triggered, this, [this] {
    if (app_.ExportEventDetailEnabled())
      ExportReport(QStringLiteral("Save Event Details As"), &App::ExportEventDetail);
  });
  connect(m[Command::kExportTimeline], &QAction::triggered, this, &MainWindow::ExportTimeline);
  connect(m[Command::kAbout], &QAction::triggered, this,
          [this] { dialogs_.Message(this, QStringLiteral("About Ombrel"), AboutText()); });
  connect(status_->CancelButton(), &QPushButton::clicked, this, &MainWindow::CancelParse);

  connect(tab_strip_, &QTabBar::currentChanged, this, &MainWindow::TabChanged);
  for (int list = 0; list < 3; ++list) {
    ListPage* page = list_pages_[list];
    connect(page, &ListPage::RowOpened, this, [this, list] { RowOpened(list); });
    connect(page, &ListPage::Said, this, [this](const QString& text) { status_->SetText(text); });
  }
  // One fight, or several seen as one on the detail pages.
  connect(events_page_, &ListPage::RowsChosen, this, [this](const std::vector<size_t>& rows) {
    if (rows.size() == 1)
      app_.SelectEvent(rows.front());
    else
      app_.SelectEvents(rows);
  });
  connect(event_detail_page_, &ListPage::CurrentRowChanged, this, [this](int row) {
    app_.SelectCombatant(static_cast<size_t>(row));
    event_detail_page_->HighlightTimelineRow();
  });
  connect(event_detail_page_->View()->header(), &QHeaderView::sectionClicked, this,
          [this](int section) { event_detail_page_->HeaderClicked(section, !busy_); });

  connect(&worker_, &ParseWorker::StageEntered, this, &MainWindow::ParseStageEntered);
  connect(&worker_, &ParseWorker::ProgressChanged, this,
          [this](int percent) { status_->SetProgress(percent); });
  connect(&worker_, &ParseWorker::Finished, this, &MainWindow::ParseFinished);
  connect(follow_, &FollowController::ProgressChanged, this,
          [this](int percent) { status_->SetProgress(percent); });
  connect(follow_, &FollowController::CaughtUp, this, &MainWindow::FollowCaughtUp);
  connect(follow_, &FollowController::CatchUpFailed, this, [this](const auto& result) {
    EndReading();
    ReadingFailed(result);
  });
  connect(follow_, &FollowController::RefreshDue, this, &MainWindow::RefreshFollowed);
  connect(follow_, &FollowController::AppendReading, this, [this] {
    SetBusy(true);
    status_->ShowProgress(true);
    status_->SetText(
        QStringLiteral("Reading what %1 gained...").arg(QDir::toNativeSeparators(parse_path_)));
  });
  connect(follow_, &FollowController::AppendRead, this, [this] {
    status_->ShowProgress(false);
    SetBusy(false);
  });
  connect(follow_, &FollowController::Refreshed, this, &MainWindow::Refreshed);
  connect(follow_, &FollowController::RefreshFailed, this,
          [this](const Failure& failure) { status_->SetText(FailureText(failure)); });
  ConnectEventsView();
  ConnectLifePages();
}

}  // namespace ombrel::gui
