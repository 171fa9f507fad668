#include "gui/Form1.h"

#include <algorithm>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStringList>
#include <QTabBar>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/Settings.h"
#include "app/SortEventDetail.h"
#include "gui/Cp1252.h"
#include "gui/Dialogs.h"
#include "gui/TextTableModel.h"
#include "gui/TimelinePane.h"
#include "shared/ListColumns.h"

// Resources of a static library are registered by name, outside any namespace.
static void InitGuiResources() {
  Q_INIT_RESOURCE(ombrel_gui);
}

namespace ombrel::gui {

namespace {

// The window's client area, in twips: its starting and smallest size.
constexpr int kClientWidth = 10560;
constexpr int kClientHeight = 7860;
// The Settings page's controls: where the labels and the fields start, in
// twips from the page's corner, and the fields' width.
constexpr int kLabelLeft = 960;
constexpr int kFieldLeft = 2760;
constexpr int kFieldTop = 1080;
constexpr int kFieldWidth = 1815;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 495;

// A line of the font the twips were measured against.
constexpr double kReferenceLineHeight = 13.0;
constexpr int kTwipsPerPixel = 15;

const char* const kTabToolTips[4] = {
    "Basic Program Settings",
    "Raid/Group Damage by Event",
    "Raid/Group Damage Details",
    "Detail on the individual player/npc dealing damage",
};

const QString kLogFilter = QStringLiteral("Text files (*.txt);;All files (*)");
const QString kReportFilter = QStringLiteral("Web files (*.htm)");
const QString kCannotWrite = QStringLiteral("Cannot Write File");

// Keys of the remembered folders.
constexpr const char* kOpenFolder = "open";
constexpr const char* kSaveFolder = "save";
constexpr const char* kCsvFolder = "csv";

// The hourglass while a command works on the window's thread.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// The gap items answer no text search, so that text typed into the gap box
// never chooses the item that reads the same when the box loses focus or
// Return is pressed: only a chosen item sets the gap.
class GapItemModel : public QStandardItemModel {
 public:
  using QStandardItemModel::QStandardItemModel;
  QModelIndexList match(const QModelIndex&, int, const QVariant&, int,
                        Qt::MatchFlags) const override {
    return {};
  }
};

#define OMBREL_TEXT(x) #x
#define OMBREL_NUMBER(x) OMBREL_TEXT(x)

std::span<const ListColumn> ColumnsOf(int list) {
  switch (list) {
    case 0:
      return kEventsColumns;
    case 1:
      return kEventDetailColumns;
    default:
      return kCombatantDetailColumns;
  }
}

const TextTable& TableOf(const App& app, int list) {
  switch (list) {
    case 0:
      return app.EventsList();
    case 1:
      return app.EventDetailList();
    default:
      return app.CombatantDetailList();
  }
}

QString FolderOf(const QString& path) {
  return QFileInfo(path).absolutePath();
}

// The one local file of a drag, if it carries exactly one.
QString DraggedFile(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls() || mime->urls().size() != 1) return {};
  const QUrl url = mime->urls().front();
  return url.isLocalFile() ? url.toLocalFile() : QString();
}

}  // namespace

std::filesystem::path ToPath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString FromPath(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

QString FailureText(const Failure& failure) {
  return QFile::decodeName(QByteArray::fromStdString(failure.path)) + QStringLiteral(": ") +
         QString::fromStdString(failure.reason);
}

int TwipsToPixels(int twips, const QFont& font) {
  const double scale = std::max(1.0, QFontMetricsF(font).height() / kReferenceLineHeight);
  return static_cast<int>(twips * scale / kTwipsPerPixel);
}

QString DefaultCsvFolder(const QString& program_dir) {
  if (QFileInfo(program_dir).isWritable()) return program_dir;
  QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (documents.isEmpty()) documents = QDir::homePath();
  const QString folder = QDir(documents).filePath(QStringLiteral("ombrel-raid"));
  QDir().mkpath(folder);
  return folder;
}

QString Form1::AboutText() {
  return QStringLiteral(
      "Parse the whole raid, very beta, not so much necro goodness in it yet.\r\n"
      "\r\n"
      "Zerrit\r\n"
      "\r\n"
      "Beta Version " OMBREL_NUMBER(OMBREL_VERSION_MAJOR) "." OMBREL_NUMBER(
          OMBREL_VERSION_MINOR) "." OMBREL_NUMBER(OMBREL_VERSION_PATCH));
}

Form1::Form1(App& app, Dialogs& dialogs, ParseRunner runner, QSettings* settings, QWidget* parent)
    : QMainWindow(parent),
      app_(app),
      dialogs_(dialogs),
      memory_(settings),
      worker_(std::move(runner)),
      caught_up_(std::make_shared<std::unique_ptr<LogFollow>>()),
      follow_worker_(
          [slot = caught_up_](const ParseRequest& request,
                              const Progress& progress) -> std::variant<ParsedRun, Failure> {
            auto follow = std::make_unique<LogFollow>(request);
            auto first = follow->Refresh(progress);
            if (auto* failure = std::get_if<Failure>(&first)) return std::move(*failure);
            ParsedRun run;
            run.cancelled = std::get<LogFollow::Refreshed>(first).cancelled;
            if (!run.cancelled) *slot = std::move(follow);
            return run;
          }) {
  InitGuiResources();
  setObjectName(QStringLiteral("Form1"));
  setWindowIcon(QIcon(QStringLiteral(":/ombrel-raid.svg")));
  setAcceptDrops(true);
  BuildControls();
  BuildMenus();
  BuildStatusBar();
  BuildShortcuts();
  Load();
  Remember();
  Connect();
}

Form1::~Form1() {
  if (busy_) {
    worker_.Abandon();
    follow_worker_.Abandon();
    QApplication::restoreOverrideCursor();
  }
}

void Form1::BuildControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  setCentralWidget(client);
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(TwipsToPixels(60, font()), TwipsToPixels(60, font()),
                             TwipsToPixels(60, font()), 0);
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
  column->addWidget(tab_strip_);

  // Only the shown page is a visible widget; the others are hidden, out of
  // reach of the keyboard.
  pages_ = new QStackedWidget(client);
  pages_->setObjectName(QStringLiteral("Pages"));
  column->addWidget(pages_, 1);
  for (int page = 0; page < 4; ++page) {
    auto* frame = new QGroupBox(pages_);
    frame->setObjectName(QStringLiteral("Frame1(%1)").arg(page));
    frames_[page] = frame;
    pages_->addWidget(frame);
  }
  BuildSettingsPage();
  for (int list = 0; list < 3; ++list) BuildList(list);
}

QWidget* Form1::BuildSettingsPage() {
  QGroupBox* settings = frames_[0];
  const QFont& f = font();
  auto* grid = new QGridLayout(settings);
  grid->setContentsMargins(TwipsToPixels(kLabelLeft, f), TwipsToPixels(kFieldTop - 360, f), 0, 0);
  grid->setColumnMinimumWidth(0, TwipsToPixels(kFieldLeft - kLabelLeft - 120, f));
  grid->setHorizontalSpacing(TwipsToPixels(120, f));

  label1_ = new QLabel(QStringLiteral("&Character Name:"), settings);
  label1_->setObjectName(QStringLiteral("Label1"));
  yourname_ = new QLineEdit(FromCp1252(kInitialNameText), settings);
  yourname_->setObjectName(QStringLiteral("Yourname"));
  yourname_->setMinimumWidth(TwipsToPixels(kFieldWidth, f));
  label1_->setBuddy(yourname_);

  label4_ = new QLabel(QStringLiteral("&Time Between Events:"), settings);
  label4_->setObjectName(QStringLiteral("Label4"));
  cmb_event_timer_ = new QComboBox(settings);
  cmb_event_timer_->setObjectName(QStringLiteral("cmbEventTimer"));
  cmb_event_timer_->setModel(new GapItemModel(cmb_event_timer_));
  cmb_event_timer_->setMinimumWidth(TwipsToPixels(kFieldWidth, f));
  cmb_event_timer_->setEditable(true);
  // Typed text neither selects nor adds an item: only a chosen item sets the gap.
  cmb_event_timer_->setInsertPolicy(QComboBox::NoInsert);
  cmb_event_timer_->setDuplicatesEnabled(true);
  cmb_event_timer_->setCompleter(nullptr);
  cmb_event_timer_->lineEdit()->installEventFilter(this);
  cmb_event_timer_->setMaxVisibleItems(16);
  label4_->setBuddy(cmb_event_timer_);

  chk_pets_ = new QCheckBox(QStringLiteral("&Include Pets"), settings);
  chk_pets_->setObjectName(QStringLiteral("chkPets"));

  command1_ = new QPushButton(QStringLiteral("&Parse Log"), settings);
  command1_->setObjectName(QStringLiteral("Command1"));
  command1_->setMinimumSize(TwipsToPixels(kButtonWidth, f), TwipsToPixels(kButtonHeight, f));
  command1_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

  grid->addWidget(label1_, 0, 0);
  grid->addWidget(yourname_, 0, 1);
  grid->addWidget(label4_, 1, 0);
  grid->addWidget(cmb_event_timer_, 1, 1);
  grid->addWidget(chk_pets_, 2, 1);
  grid->addWidget(command1_, 3, 0);
  grid->setColumnStretch(2, 1);
  grid->setRowStretch(4, 1);

  setTabOrder(tab_strip_, yourname_);
  setTabOrder(yourname_, cmb_event_timer_);
  setTabOrder(cmb_event_timer_, chk_pets_);
  setTabOrder(chk_pets_, command1_);
  return settings;
}

void Form1::BuildList(int list) {
  QGroupBox* frame = frames_[list + 1];
  auto* box = new QVBoxLayout(frame);
  auto* view = new QTreeView(frame);
  if (list == 1) {
    // The event-detail list shares its page with the timeline, below it.
    event_detail_split_ = new QSplitter(Qt::Vertical, frame);
    event_detail_split_->setObjectName(QStringLiteral("EventDetailSplit"));
    event_detail_split_->setChildrenCollapsible(false);
    event_detail_split_->addWidget(view);
    timeline_pane_ = new TimelinePane(event_detail_split_);
    event_detail_split_->addWidget(timeline_pane_);
    event_detail_split_->setStretchFactor(0, 1);
    event_detail_split_->setStretchFactor(1, 1);
    box->addWidget(event_detail_split_);
  } else {
    box->addWidget(view);
  }
  view->setObjectName(QStringLiteral("ListView%1").arg(list + 1));
  view->setRootIsDecorated(false);
  view->setItemsExpandable(false);
  view->setUniformRowHeights(true);
  // Several rows may be selected for copying; the current row is the one the
  // detail pages use.
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setAllColumnsShowFocus(true);
  // Only the app layer orders rows (the header clicks of the event-detail list).
  view->setSortingEnabled(false);
  view->header()->setSectionsMovable(false);
  view->header()->setSectionsClickable(true);
  view->header()->setSortIndicatorShown(false);
  view->header()->setHighlightSections(false);
  view->header()->setStretchLastSection(false);
  view->header()->setMinimumSectionSize(8);
  view->installEventFilter(this);

  auto* copy = new QAction(QStringLiteral("&Copy"), view);
  copy->setObjectName(QStringLiteral("ListView%1Copy").arg(list + 1));
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  connect(copy, &QAction::triggered, this, [this, list] { CopyRows(list, false); });
  auto* copy_all = new QAction(QStringLiteral("Copy &All"), view);
  copy_all->setObjectName(QStringLiteral("ListView%1CopyAll").arg(list + 1));
  connect(copy_all, &QAction::triggered, this, [this, list] { CopyRows(list, true); });
  view->addActions({copy, copy_all});
  view->setContextMenuPolicy(Qt::ActionsContextMenu);

  models_[list] = new TextTableModel(TableOf(app_, list), ColumnsOf(list), this);
  list_views_[list] = view;
  setTabOrder(list == 0 ? static_cast<QWidget*>(command1_) : list_views_[list - 1], view);
}

void Form1::BuildStatusBar() {
  status_text_ = new QLabel(statusBar());
  status_text_->setObjectName(QStringLiteral("StatusText"));
  // A long text is cut at the window's edge rather than widening the window.
  status_text_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  statusBar()->addWidget(status_text_, 1);
  // Beside the figures, visible only while a parse runs, whichever page shows.
  progress_ = new QProgressBar(statusBar());
  progress_->setObjectName(QStringLiteral("ParseProgress"));
  progress_->setRange(0, 100);
  progress_->setMaximumWidth(TwipsToPixels(3000, font()));
  progress_->hide();
  cancel_ = new QPushButton(QStringLiteral("Cancel"), statusBar());
  cancel_->setObjectName(QStringLiteral("CancelParse"));
  cancel_->setToolTip(QStringLiteral("Stop the parse; the earlier results stay (Esc)"));
  cancel_->hide();
  statusBar()->addPermanentWidget(progress_);
  statusBar()->addPermanentWidget(cancel_);
}

void Form1::BuildMenus() {
  auto item = [](QMenu* menu, const char* name, const char* caption, bool checkable = false) {
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(checkable);
    return action;
  };
  auto menu = [this](const char* name, const char* caption) {
    QMenu* m = menuBar()->addMenu(QString::fromLatin1(caption));
    m->setObjectName(QString::fromLatin1(name));
    return m;
  };
  mnu_file_ = menu("mnuFile", "&File");
  mnu_open_log_ = item(mnu_file_, "mnuOpenLog", "&Open Log...");
  mnu_open_log_->setShortcut(QKeySequence::Open);
  mnu_parse_again_ = item(mnu_file_, "mnuParseAgain", "Parse &Again");
  mnu_parse_again_->setShortcut(QKeySequence(Qt::Key_F5));
  mnu_parse_again_->setEnabled(false);
  mnu_follow_log_ = item(mnu_file_, "mnuFollowLog", "&Follow Log...");
  mnu_stop_following_ = item(mnu_file_, "mnuStopFollowing", "&Stop Following");
  mnu_stop_following_->setEnabled(false);
  mnu_recent_ = mnu_file_->addMenu(QStringLiteral("Recent &Logs"));
  mnu_recent_->setObjectName(QStringLiteral("mnuRecentLogs"));
  mnu_file_->addSeparator();
  mnu_quit_ = item(mnu_file_, "mnuQuit", "&Quit");
  mnu_quit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  mnu_options_ = menu("mnuOptions", "&Options");
  mnu_print_data_ = item(mnu_options_, "mnuPrintData", "Print &Data", true);
  mnu_print_events_ = item(mnu_options_, "mnuPrintEvents", "Print &Events", true);
  mnu_print_details_ = item(mnu_options_, "mnuPrintDetails", "Print De&tails", true);
  mnu_print_pc_details_ = item(mnu_options_, "mnuPrintPCDetails", "Print &PC Details", true);
  mnu_options_->addSeparator();
  mnu_csv_folder_ = item(mnu_options_, "mnuCsvFolder", "&CSV Folder...");
  mnu_options_->addSeparator();
  mnu_extended_rules_ = item(mnu_options_, "mnuExtendedRules", "Extended &Line Rules", true);
  mnu_view_ = menu("mnuView", "&View");
  mnu_view_timeline_ = item(mnu_view_, "mnuViewTimeline", "&Timeline", true);
  mnu_view_timeline_->setChecked(true);
  mnu_export_ = menu("mnuExport", "&Export");
  mnu_export_events_ = item(mnu_export_, "mnuExportEvents", "&Events");
  mnu_export_event_detail_ = item(mnu_export_, "mnuExportEventDetail", "Event &Detail");
  mnu_export_timeline_ = item(mnu_export_, "mnuExportTimeline", "&Timeline Picture...");
  mnu_help_ = menu("mnuHelp", "&Help");
  mnu_about_ = item(mnu_help_, "mnuAbout", "&About");
  mnu_about_->setShortcut(QKeySequence(Qt::Key_F1));
}

void Form1::BuildShortcuts() {
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
  connect(cancel, &QShortcut::activated, this, &Form1::CancelParse);
}

void Form1::Load() {
  setWindowTitle(QFile::decodeName(QByteArray::fromStdString(app_.WindowCaption())));
  tab_strip_->setEnabled(false);

  for (const std::string& text : GapItems()) cmb_event_timer_->addItem(FromCp1252(text));
  cmb_event_timer_->setCurrentIndex(-1);
  cmb_event_timer_->setEditText(QString());

  for (int page = 0; page < 4; ++page) frames_[page]->setTitle(FromCp1252(app_.FrameCaption(page)));

  app_.options() = PrintOptions{};
  for (QAction* mark : {mnu_print_data_, mnu_print_events_, mnu_print_details_,
                        mnu_print_pc_details_, mnu_extended_rules_}) {
    mark->setChecked(false);
  }

  mnu_export_events_->setEnabled(false);
  mnu_export_event_detail_->setEnabled(false);
  mnu_export_timeline_->setEnabled(false);

  for (int list = 0; list < 3; ++list) {
    QTreeView* view = list_views_[list];
    view->setModel(models_[list]);
    const std::span<const ListColumn> columns = ColumnsOf(list);
    for (size_t c = 0; c < columns.size(); ++c) {
      view->header()->resizeSection(static_cast<int>(c),
                                    TwipsToPixels(columns[c].width_twips, view->font()));
    }
  }
  FitToScreen();
}

void Form1::FitToScreen() {
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

void Form1::Remember() {
  const WindowMemory::Page page = memory_.LastPage();
  yourname_->setText(page.name);
  if (page.gap_item >= 0) cmb_event_timer_->setCurrentIndex(page.gap_item);
  chk_pets_->setChecked(page.pets);

  app_.options() = memory_.Options();
  mnu_print_data_->setChecked(app_.options().PrintData);
  mnu_print_events_->setChecked(app_.options().PrintEvents);
  mnu_print_details_->setChecked(app_.options().PrintDetails);
  mnu_print_pc_details_->setChecked(app_.options().PrintPCDetails);
  mnu_extended_rules_->setChecked(app_.options().ExtendedLineRules);

  const QString csv_folder = memory_.Folder(kCsvFolder);
  if (!csv_folder.isEmpty() && QFileInfo(csv_folder).isDir()) app_.SetOutputDir(ToPath(csv_folder));

  const QByteArray geometry = memory_.Bytes("geometry");
  if (!geometry.isEmpty()) restoreGeometry(geometry);
  for (int list = 0; list < 3; ++list) {
    const QByteArray state = memory_.Bytes(qPrintable(QStringLiteral("columns%1").arg(list + 1)));
    if (!state.isEmpty()) list_views_[list]->header()->restoreState(state);
    list_views_[list]->header()->setSortIndicatorShown(false);
  }
  const QByteArray split = memory_.Bytes("timelineSplit");
  if (!split.isEmpty()) event_detail_split_->restoreState(split);
  timeline_pane_->SetWindowSeconds(memory_.Number("timelineWindow", kDefaultDpsWindow));
  ShowTimelinePane(memory_.Flag("timelineShown", true));
  FillRecentLogs();
}

void Form1::Connect() {
  connect(command1_, &QPushButton::clicked, this, &Form1::ParseCommand);
  connect(yourname_, &QLineEdit::returnPressed, this, &Form1::ParseCommand);
  connect(mnu_open_log_, &QAction::triggered, this, &Form1::ParseCommand);
  connect(mnu_parse_again_, &QAction::triggered, this, [this] {
    if (!parse_path_.isEmpty()) ParseFile(parse_path_);
  });
  connect(mnu_recent_, &QMenu::aboutToShow, this, &Form1::FillRecentLogs);
  connect(mnu_quit_, &QAction::triggered, this, &Form1::close);
  connect(mnu_print_data_, &QAction::triggered, this,
          [this] { ToggleOption(mnu_print_data_, &PrintOptions::PrintData); });
  connect(mnu_print_events_, &QAction::triggered, this,
          [this] { ToggleOption(mnu_print_events_, &PrintOptions::PrintEvents); });
  connect(mnu_print_details_, &QAction::triggered, this,
          [this] { ToggleOption(mnu_print_details_, &PrintOptions::PrintDetails); });
  connect(mnu_print_pc_details_, &QAction::triggered, this,
          [this] { ToggleOption(mnu_print_pc_details_, &PrintOptions::PrintPCDetails); });
  connect(mnu_csv_folder_, &QAction::triggered, this, &Form1::ChooseCsvFolder);
  connect(mnu_extended_rules_, &QAction::triggered, this,
          [this] { ToggleOption(mnu_extended_rules_, &PrintOptions::ExtendedLineRules); });
  connect(mnu_export_events_, &QAction::triggered, this, &Form1::ExportEvents);
  connect(mnu_export_event_detail_, &QAction::triggered, this, &Form1::ExportEventDetail);
  connect(mnu_export_timeline_, &QAction::triggered, this, &Form1::ExportTimeline);
  connect(mnu_view_timeline_, &QAction::triggered, this, &Form1::ShowTimelinePane);
  connect(timeline_pane_, &TimelinePane::WindowSecondsChanged, this,
          [this](int seconds) { memory_.SetNumber("timelineWindow", seconds); });
  connect(mnu_about_, &QAction::triggered, this, &Form1::ShowAbout);
  connect(cancel_, &QPushButton::clicked, this, &Form1::CancelParse);

  connect(tab_strip_, &QTabBar::currentChanged, this, &Form1::TabChanged);
  for (int list = 0; list < 3; ++list) {
    connect(list_views_[list]->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, list](const QModelIndex& current) { CurrentRowChanged(list, current.row()); });
  }
  connect(list_views_[0], &QTreeView::doubleClicked, this, [this] { ListDoubleClicked(0); });
  connect(list_views_[1], &QTreeView::doubleClicked, this, [this] { ListDoubleClicked(1); });
  connect(list_views_[1]->header(), &QHeaderView::sectionClicked, this,
          &Form1::EventDetailHeaderClicked);

  // A typed gap text selects no item, whatever was chosen before.
  connect(cmb_event_timer_->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
    if (cmb_event_timer_->currentIndex() < 0) return;
    QLineEdit* edit = cmb_event_timer_->lineEdit();
    const int cursor = edit->cursorPosition();
    cmb_event_timer_->setCurrentIndex(-1);
    cmb_event_timer_->setEditText(text);
    edit->setCursorPosition(cursor);
  });

  connect(&worker_, &ParseWorker::StageEntered, this, &Form1::ParseStageEntered);
  connect(&worker_, &ParseWorker::ProgressChanged, progress_, &QProgressBar::setValue);
  connect(&worker_, &ParseWorker::Finished, this, &Form1::ParseFinished);

  connect(mnu_follow_log_, &QAction::triggered, this, &Form1::FollowCommand);
  connect(mnu_stop_following_, &QAction::triggered, this, &Form1::StopFollowing);
  connect(&follow_worker_, &ParseWorker::ProgressChanged, progress_, &QProgressBar::setValue);
  connect(&follow_worker_, &ParseWorker::Finished, this, &Form1::FollowCaughtUp);
  follow_timer_ = new QTimer(this);
  follow_timer_->setObjectName(QStringLiteral("followTimer"));
  follow_timer_->setInterval(1000);  // at most once a second
  connect(follow_timer_, &QTimer::timeout, this, &Form1::RefreshFollowed);
  models_[0]->SetBoldRows([this](size_t row) { return app_.EventIsOpen(row); });
}

bool Form1::TakeSettings() {
  app_.TakeSettings(ToCp1252(yourname_->text()), cmb_event_timer_->currentIndex(),
                    chk_pets_->isChecked());
  if (!app_.CharacterNameIsValid()) {
    dialogs_.Message(this, FromCp1252(kInvalidNameTitle), FromCp1252(kInvalidNameMessage));
    return false;
  }
  memory_.SetLastPage(
      {yourname_->text(), cmb_event_timer_->currentIndex(), chk_pets_->isChecked()});
  return true;
}

std::optional<QString> Form1::PickLog(const QString& title) {
  const std::optional<QString> path =
      dialogs_.OpenFile(this, title, kLogFilter, memory_.Folder(kOpenFolder));
  if (path) memory_.SetFolder(kOpenFolder, FolderOf(*path));
  return path;
}

void Form1::ParseCommand() {
  if (busy_ || !TakeSettings()) return;
  if (const auto path = PickLog(QStringLiteral("Pick a log file already"))) StartParse(*path);
}

void Form1::ParseFile(const QString& path) {
  if (busy_ || !TakeSettings()) return;
  StartParse(path);
}

void Form1::OpenAtStart(const std::optional<QString>& name, const QString& log, bool follow) {
  if (name) yourname_->setText(*name);
  if (log.isEmpty()) return;
  if (follow) {
    FollowFile(log);
  } else {
    ParseFile(log);
  }
}

void Form1::BeginReading(const QString& path, const QString& caption_suffix,
                         const QString& status) {
  parse_path_ = path;
  caption_before_parse_ = windowTitle();
  status_before_parse_ = status_text_->text();
  setWindowTitle(FromCp1252(kLogCaptionPrefix) + QDir::toNativeSeparators(path) + caption_suffix);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  SetBusy(true);
  ParseStageEntered(1);
  progress_->setValue(0);
  progress_->show();
  cancel_->show();
  status_text_->setText(status.arg(QDir::toNativeSeparators(path)));
}

void Form1::EndReading() {
  progress_->hide();
  cancel_->hide();
  QApplication::restoreOverrideCursor();
  SetBusy(false);
}

void Form1::ReadingFailed(const std::variant<ParsedRun, Failure>& result) {
  setWindowTitle(caption_before_parse_);
  frames_[0]->setTitle(FromCp1252(app_.FrameCaption(0)));
  status_text_->setText(status_before_parse_);
  if (const auto* failure = std::get_if<Failure>(&result))
    dialogs_.Message(this, QStringLiteral("Cannot Read Log"), FailureText(*failure));
}

void Form1::StartParse(const QString& path) {
  BeginReading(path, QString(), QStringLiteral("Parsing %1..."));
  // The events list keeps its rows until the new ones replace them, so that a
  // log that cannot be read leaves everything as it was.
  worker_.Start(app_.MakeParseRequest(ToPath(path)));
}

void Form1::ParseStageEntered(int stage) {
  frames_[0]->setTitle(FromCp1252(stage >= 2 ? kCreatingEventsCaption : kParsingCaption));
}

void Form1::ParseFinished() {
  std::variant<ParsedRun, Failure> result = worker_.TakeResult();
  EndReading();

  auto* run = std::get_if<ParsedRun>(&result);
  if (run == nullptr || run->cancelled) {
    ReadingFailed(result);
    return;
  }

  const std::vector<Failure> write_failures = run->write_failures;
  for (TextTableModel* model : models_) model->BeginChange();
  app_.AdoptParse(std::move(*run), ToPath(parse_path_));  // ends following
  for (TextTableModel* model : models_) model->EndChange();
  follow_timer_->stop();
  mnu_stop_following_->setEnabled(false);
  for (int list = 0; list < 3; ++list) SelectFromApp(list);
  memory_.AddRecentLog(QFileInfo(parse_path_).absoluteFilePath());
  FillRecentLogs();
  mnu_parse_again_->setEnabled(true);
  ShowState();
  ShowRunStatus(write_failures);
}

void Form1::ShowRunStatus(const std::vector<Failure>& write_failures) {
  const ParsedRun& last = app_.LastRun();
  const QLocale locale;
  const QString figures = QStringLiteral("%1 lines, %2 records, %3 unreadable lines")
                              .arg(locale.toString(static_cast<qlonglong>(last.lines)),
                                   locale.toString(static_cast<qlonglong>(last.records)),
                                   locale.toString(static_cast<qlonglong>(last.unreadable_lines)));
  const QString log = QFileInfo(parse_path_).fileName();
  // A log without a fight still lists the empty event; the status bar says why.
  ShowStatus(app_.LastParseFoundNoFight()
                 ? QStringLiteral("No fight found in %1 for %2: %3.")
                       .arg(log, FromCp1252(app_.settings().CharacterName), figures)
                 : QStringLiteral("%1: %2, %3 events.")
                       .arg(log, figures, locale.toString(static_cast<qlonglong>(last.fights))));
  ShowFailures(write_failures, kCannotWrite);
}

void Form1::CancelParse() {
  if (!busy_) return;
  // Stop the parse and wait for its thread; its results are dropped and the
  // earlier ones stay.
  worker_.Abandon();
  follow_worker_.Abandon();
  progress_->hide();
  cancel_->hide();
  QApplication::restoreOverrideCursor();
  SetBusy(false);
  setWindowTitle(caption_before_parse_);
  frames_[0]->setTitle(FromCp1252(app_.FrameCaption(0)));
  status_text_->setText(QStringLiteral("Parse cancelled."));
}

void Form1::TabChanged(int index) {
  if (busy_ || !app_.TabStripAvailable()) {
    ShowState();  // puts the tab strip back on the app's tab
    return;
  }
  const int tab = index + 1;
  // Choosing a detail tab rebuilds its list.
  TextTableModel* rebuilt = tab == 3 ? models_[1] : tab == 4 ? models_[2] : nullptr;
  std::vector<Failure> failures;
  if (rebuilt == nullptr) {
    failures = app_.ChooseTab(tab);
  } else {
    const WaitCursor wait;
    rebuilt->BeginChange();
    failures = app_.ChooseTab(tab);
    rebuilt->EndChange();
    SelectFromApp(tab - 2);
    // A rebuilt event-detail list is in its own order again.
    if (tab == 3) {
      list_views_[1]->header()->setSortIndicatorShown(false);
      DrawTimeline();
    }
  }
  ShowState();
  if (tab >= 3) ShowStatus({});
  ShowFailures(failures, kCannotWrite);
}

void Form1::StepTab(int step) {
  if (busy_ || !tab_strip_->isEnabled()) return;
  tab_strip_->setCurrentIndex((tab_strip_->currentIndex() + step + 4) % 4);
}

void Form1::ListDoubleClicked(int list) {
  if (busy_) return;
  // The shortcut to the next tab: events to Event Detail, combatants to PC Detail.
  tab_strip_->setCurrentIndex(list == 0 ? 2 : 3);
}

void Form1::EventDetailHeaderClicked(int section) {
  QHeaderView* header = list_views_[1]->header();
  const auto column = static_cast<EventDetailColumn>(section);
  if (busy_ || section < 0 || !IsSortKey(column)) {
    // The header flips its indicator on any click; put back the sorted one.
    const QSignalBlocker quiet(header);
    header->setSortIndicator(sort_section_, sort_order_);
    return;
  }
  const WaitCursor wait;
  models_[1]->BeginChange();
  app_.EventDetailHeaderClicked(section + 1);
  models_[1]->EndChange();
  SelectFromApp(1);
  HighlightTimelineRow();
  // Names ascend, the figures descend.
  sort_section_ = section;
  sort_order_ = column == EventDetailColumn::kDamageBy ? Qt::AscendingOrder : Qt::DescendingOrder;
  header->setSortIndicatorShown(true);
  header->setSortIndicator(sort_section_, sort_order_);
}

void Form1::ToggleOption(QAction* item, bool PrintOptions::*mark) {
  bool& value = app_.options().*mark;
  if (!busy_) value = !value;
  item->setChecked(value);
  memory_.SetOptions(app_.options());
}

void Form1::ChooseCsvFolder() {
  if (busy_) return;
  const std::optional<QString> folder =
      dialogs_.ChooseFolder(this, QStringLiteral("CSV Folder"), CsvFolder());
  if (!folder) return;
  app_.SetOutputDir(ToPath(*folder));
  memory_.SetFolder(kCsvFolder, *folder);
  status_text_->setText(
      QStringLiteral("CSV files go to %1.").arg(QDir::toNativeSeparators(*folder)));
}

QString Form1::CsvFolder() const {
  return FromPath(app_.OutputDir());
}

void Form1::ExportEvents() {
  if (app_.ExportEventsEnabled())
    ExportReport(QStringLiteral("Save Events As"), &App::ExportEvents);
}

void Form1::ExportEventDetail() {
  if (app_.ExportEventDetailEnabled())
    ExportReport(QStringLiteral("Save Event Details As"), &App::ExportEventDetail);
}

void Form1::ExportReport(const QString& title, ReportExport export_report) {
  if (busy_) return;
  const std::optional<QString> path =
      dialogs_.SaveFile(this, title, kReportFilter, memory_.Folder(kSaveFolder));
  if (!path) return;
  memory_.SetFolder(kSaveFolder, FolderOf(*path));
  std::optional<Failure> failure;
  {
    const WaitCursor wait;
    failure = (app_.*export_report)(ToPath(*path));
  }
  if (failure) {
    ShowFailures({*failure}, kCannotWrite);
  } else {
    status_text_->setText(QStringLiteral("Wrote %1.").arg(QDir::toNativeSeparators(*path)));
  }
}

void Form1::ShowTimelinePane(bool shown) {
  timeline_pane_->setVisible(shown);
  mnu_view_timeline_->setChecked(shown);
  memory_.SetFlag("timelineShown", shown);
  // A pane opened again shows the event of the list.
  if (shown && app_.ExportEventDetailEnabled()) DrawTimeline();
}

void Form1::DrawTimeline() {
  if (timeline_pane_->isHidden()) return;
  timeline_pane_->Show(app_.EventTimeline());
  HighlightTimelineRow();
}

void Form1::HighlightTimelineRow() {
  const TextTable& list = app_.EventDetailList();
  const size_t row = app_.SelectedCombatant();
  // The total row sums the opponent's side; it has no line of its own.
  timeline_pane_->HighlightRow(row > 0 && row < list.Rows()
                                   ? CellAt(list, row, EventDetailColumn::kDamageBy)
                                   : std::string());
}

void Form1::ExportTimeline() {
  if (busy_ || !app_.ExportEventDetailEnabled()) return;
  const std::optional<QString> path = dialogs_.SaveFile(
      this, QStringLiteral("Save Timeline Picture As"),
      QStringLiteral("SVG picture (*.svg);;PNG picture (*.png)"), memory_.Folder(kSaveFolder));
  if (!path) return;
  memory_.SetFolder(kSaveFolder, FolderOf(*path));
  // A closed pane is drawn for the picture all the same.
  const bool hidden = timeline_pane_->isHidden();
  if (hidden) {
    timeline_pane_->resize(event_detail_split_->width(), event_detail_split_->height() / 2);
    timeline_pane_->Show(app_.EventTimeline());
    HighlightTimelineRow();
  }
  std::optional<QString> problem;
  {
    const WaitCursor wait;
    problem = timeline_pane_->SavePicture(*path);
  }
  if (problem) {
    dialogs_.Message(this, kCannotWrite,
                     QDir::toNativeSeparators(*path) + QStringLiteral(": ") + *problem);
  } else {
    status_text_->setText(QStringLiteral("Wrote %1.").arg(QDir::toNativeSeparators(*path)));
  }
}

void Form1::ShowAbout() {
  dialogs_.Message(this, QStringLiteral("About Ombrel"), AboutText());
}

void Form1::CopyRows(int list, bool all) {
  const QAbstractItemModel* model = list_views_[list]->model();
  QList<int> rows;
  if (all) {
    for (int r = 0; r < model->rowCount(); ++r) rows << r;
  } else {
    for (const QModelIndex& index : list_views_[list]->selectionModel()->selectedRows())
      rows << index.row();
    std::sort(rows.begin(), rows.end());
  }
  if (rows.isEmpty()) return;
  QStringList cells;
  for (int c = 0; c < model->columnCount(); ++c)
    cells << model->headerData(c, Qt::Horizontal).toString();
  QString text = cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
  for (const int r : rows) {
    cells.clear();
    for (int c = 0; c < model->columnCount(); ++c) cells << model->index(r, c).data().toString();
    text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
  }
  QApplication::clipboard()->setText(text);
  status_text_->setText(rows.size() == 1 ? QStringLiteral("Copied 1 row.")
                                         : QStringLiteral("Copied %1 rows.").arg(rows.size()));
}

void Form1::FillRecentLogs() {
  mnu_recent_->clear();
  const QStringList logs = memory_.RecentLogs();
  for (int i = 0; i < logs.size(); ++i) {
    const QString& log = logs[i];
    QAction* entry = mnu_recent_->addAction(
        QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(log)));
    entry->setObjectName(QStringLiteral("mnuRecentLog%1").arg(i + 1));
    entry->setData(log);
    // A log that was moved or deleted shows greyed.
    entry->setEnabled(QFileInfo::exists(log));
    connect(entry, &QAction::triggered, this, [this, log] { ParseFile(log); });
  }
  mnu_recent_->setEnabled(!logs.isEmpty() && !busy_);
}

void Form1::ShowState() {
  const int shown = std::clamp(app_.ShownPage(), 0, 3);
  for (int page = 0; page < 4; ++page) {
    // While a parse runs the Settings caption tells its stage.
    if (!(busy_ && page == 0)) frames_[page]->setTitle(FromCp1252(app_.FrameCaption(page)));
  }
  pages_->setCurrentIndex(shown);
  tab_strip_->setEnabled(!busy_ && app_.TabStripAvailable());
  {
    const QSignalBlocker quiet(tab_strip_);
    tab_strip_->setCurrentIndex(std::clamp(app_.SelectedTab(), 1, 4) - 1);
  }
  mnu_export_events_->setEnabled(app_.ExportEventsEnabled());
  mnu_export_event_detail_->setEnabled(app_.ExportEventDetailEnabled());
  mnu_export_timeline_->setEnabled(app_.ExportEventDetailEnabled());
}

void Form1::SelectFromApp(int list) {
  QTreeView* view = list_views_[list];
  TextTableModel* model = models_[list];
  syncing_ = true;
  const int rows = model->rowCount();
  if (rows == 0) {
    view->selectionModel()->clear();
  } else {
    const size_t wanted = list == 0   ? app_.SelectedEvent()
                          : list == 1 ? app_.SelectedCombatant()
                                      : 0;
    const int row = static_cast<int>(std::min<size_t>(wanted, static_cast<size_t>(rows - 1)));
    view->selectionModel()->setCurrentIndex(
        model->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  syncing_ = false;
}

void Form1::CurrentRowChanged(int list, int row) {
  // The current row (the one last clicked or moved to) is the list's choice;
  // further selected rows only matter for copying.
  if (syncing_ || row < 0) return;
  if (list == 0) app_.SelectEvent(static_cast<size_t>(row));
  if (list == 1) {
    app_.SelectCombatant(static_cast<size_t>(row));
    HighlightTimelineRow();
  }
}

void Form1::SetBusy(bool busy) {
  busy_ = busy;
  command1_->setEnabled(!busy);
  mnu_open_log_->setEnabled(!busy);
  mnu_parse_again_->setEnabled(!busy && !parse_path_.isEmpty() && app_.TabStripAvailable());
  mnu_follow_log_->setEnabled(!busy);
  mnu_stop_following_->setEnabled(!busy && app_.Following());
  mnu_recent_->setEnabled(!busy && !mnu_recent_->isEmpty());
  mnu_options_->menuAction()->setEnabled(!busy);
  mnu_export_->menuAction()->setEnabled(!busy);
  ShowState();
}

void Form1::ShowFailures(const std::vector<Failure>& failures, const QString& title) {
  for (const Failure& failure : failures) dialogs_.Message(this, title, FailureText(failure));
}

void Form1::ShowStatus(const QString& figures) {
  const std::vector<std::filesystem::path>& written = app_.WrittenFiles();
  if (written.empty()) {
    if (!figures.isEmpty()) status_text_->setText(figures);
    return;
  }
  QStringList names;
  for (const std::filesystem::path& path : written)
    names << QDir::toNativeSeparators(FromPath(path));
  const QString wrote = QStringLiteral("Wrote %1.").arg(names.join(QStringLiteral(", ")));
  status_text_->setText(figures.isEmpty() ? wrote : figures + QLatin1Char(' ') + wrote);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    // Return in the gap box would choose the item that matches the typed text.
    if (watched == cmb_event_timer_->lineEdit() && enter) return true;
    // Return on a list row does what a double-click does.
    for (int list = 0; list < 2; ++list) {
      if (watched == list_views_[list] && enter && list_views_[list]->currentIndex().isValid()) {
        ListDoubleClicked(list);
        return true;
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
  if (!busy_ && !DraggedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
  const QString path = DraggedFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  // The drop ends first; the name check's message box must not block it.
  QMetaObject::invokeMethod(
      this, [this, path] { ParseFile(path); }, Qt::QueuedConnection);
}

void Form1::closeEvent(QCloseEvent* event) {
  CancelParse();
  memory_.SetBytes("geometry", saveGeometry());
  memory_.SetBytes("timelineSplit", event_detail_split_->saveState());
  for (int list = 0; list < 3; ++list) {
    memory_.SetBytes(qPrintable(QStringLiteral("columns%1").arg(list + 1)),
                     list_views_[list]->header()->saveState());
  }
  event->accept();
}

// ---- Following a log while the game writes it ----

void Form1::FollowCommand() {
  if (busy_ || !TakeSettings()) return;
  if (const auto path = PickLog(QStringLiteral("Pick a log file to follow"))) FollowFile(*path);
}

void Form1::FollowFile(const QString& path) {
  if (busy_ || !TakeSettings()) return;
  BeginReading(path, FromCp1252(kFollowingCaptionSuffix), QStringLiteral("Reading %1..."));
  caught_up_->reset();
  follow_worker_.Start(app_.MakeParseRequest(ToPath(path)));
}

void Form1::FollowCaughtUp() {
  std::variant<ParsedRun, Failure> result = follow_worker_.TakeResult();
  EndReading();
  auto* run = std::get_if<ParsedRun>(&result);
  if (run == nullptr || run->cancelled || !*caught_up_) {
    ReadingFailed(result);
    return;
  }
  for (TextTableModel* model : models_) model->BeginChange();
  app_.AdoptFollow(std::move(*caught_up_));
  for (TextTableModel* model : models_) model->EndChange();
  for (int list = 0; list < 3; ++list) SelectFromApp(list);
  memory_.AddRecentLog(QFileInfo(parse_path_).absoluteFilePath());
  FillRecentLogs();
  SetBusy(false);
  setWindowTitle(FromCp1252(kLogCaptionPrefix) + QDir::toNativeSeparators(parse_path_) +
                 FromCp1252(kFollowingCaptionSuffix));
  ShowFollowStatus();
  follow_timer_->start();
}

void Form1::RefreshFollowed() {
  if (!app_.Following()) {
    follow_timer_->stop();
    mnu_stop_following_->setEnabled(false);
    return;
  }
  if (busy_) return;
  std::array<int, 3> scrolled{};
  for (int list = 0; list < 3; ++list) {
    scrolled[list] = list_views_[list]->verticalScrollBar()->value();
    models_[list]->BeginLayoutChange();
  }
  const auto step = app_.RefreshFollow();
  for (TextTableModel* model : models_) model->EndLayoutChange();
  if (const auto* failure = std::get_if<Failure>(&step)) {
    status_text_->setText(FailureText(*failure));
    return;
  }
  const App::FollowStep& done = std::get<App::FollowStep>(step);
  if (done.changed) {
    // The selected fight stays selected wherever its row went; the lists
    // stay where they were scrolled to.
    SelectFromApp(0);
    if (done.detail_changed) {
      SelectFromApp(1);
      DrawTimeline();
    }
    for (int list = 0; list < 3; ++list) {
      if (!done.started_over) list_views_[list]->verticalScrollBar()->setValue(scrolled[list]);
    }
    ShowState();
  }
  list_views_[0]->viewport()->update();  // the bold mark may have moved
  ShowFollowStatus();
}

void Form1::StopFollowing() {
  if (busy_ || !app_.Following()) return;
  follow_timer_->stop();
  std::variant<ParsedRun*, Failure> stopped;
  {
    const WaitCursor wait;
    for (TextTableModel* model : models_) model->BeginChange();
    stopped = app_.StopFollowing();
    for (TextTableModel* model : models_) model->EndChange();
  }
  for (int list = 0; list < 3; ++list) SelectFromApp(list);
  setWindowTitle(FromCp1252(kLogCaptionPrefix) + QDir::toNativeSeparators(parse_path_));
  mnu_stop_following_->setEnabled(false);
  mnu_parse_again_->setEnabled(true);
  ShowState();
  if (const auto* failure = std::get_if<Failure>(&stopped)) {
    dialogs_.Message(this, QStringLiteral("Cannot Read Log"), FailureText(*failure));
    return;
  }
  ShowRunStatus(app_.LastRun().write_failures);
}

void Form1::ShowFollowStatus() {
  const ParsedRun& last = app_.LastRun();
  const QLocale locale;
  QStringList open;
  const TextTable& events = app_.EventsList();
  for (size_t row = 0; row < events.Rows(); ++row) {
    if (app_.EventIsOpen(row))
      open << FromCp1252(CellAt(events, row, EventsColumn::kMob)) + QStringLiteral(" (live)");
  }
  QString text = QStringLiteral("Following %1: %2 lines, %3 events.")
                     .arg(QFileInfo(parse_path_).fileName(),
                          locale.toString(static_cast<qlonglong>(last.lines)),
                          locale.toString(static_cast<qlonglong>(last.fights)));
  if (!open.isEmpty()) text += QLatin1Char(' ') + open.join(QStringLiteral(", "));
  status_text_->setText(text);
}

}  // namespace ombrel::gui
