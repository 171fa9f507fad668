#include "gui/Form1.h"

#include <algorithm>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTreeView>

#include "app/ListColumns.h"
#include "app/Settings.h"
#include "gui/Cp1252.h"
#include "gui/Dialogs.h"
#include "gui/TabStrip.h"
#include "gui/TextTableModel.h"

namespace ombrel::gui {

namespace {

// The layout is given in twips; the screen has 15 twips to the pixel.
constexpr int Px(int twips) {
  return twips / 15;
}
QRect Twips(int left, int top, int width, int height) {
  return {Px(left), Px(top), Px(width), Px(height)};
}

constexpr int kClientWidth = 10560;
constexpr int kClientHeight = 7860;
// A page is shown at this left edge and parked outside the window at the other.
constexpr int kShownLeft = 120;
constexpr int kParkedLeft = -20000;

const char* const kTabToolTips[4] = {
    "Basic Program Settings",
    "Raid/Group Damage by Event",
    "Raid/Group Damage Details",
    "Detail on the individual player/npc dealing damage",
};

const QString kLogFilter = QStringLiteral("Text files (*.txt)");
const QString kReportFilter = QStringLiteral("Web files (*.htm)");

// The hourglass while a command works on the window's thread.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
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

}  // namespace

std::filesystem::path ToPath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString FailureText(const Failure& failure) {
  return QFile::decodeName(QByteArray::fromStdString(failure.path)) + QStringLiteral(": ") +
         QString::fromStdString(failure.reason);
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

Form1::Form1(App& app, Dialogs& dialogs, ParseRunner runner, QWidget* parent)
    : QMainWindow(parent), app_(app), dialogs_(dialogs), worker_(std::move(runner)) {
  setObjectName(QStringLiteral("Form1"));
  BuildControls();
  BuildMenus();
  Load();
  Connect();
}

Form1::~Form1() {
  if (busy_) {
    worker_.Abandon();
    QApplication::restoreOverrideCursor();
  }
}

void Form1::BuildControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  client->setFixedSize(Px(kClientWidth), Px(kClientHeight));
  // A small dialog font, so that every caption fits the fixed control sizes.
  QFont font = client->font();
  font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                    QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")});
  font.setPixelSize(11);
  client->setFont(font);
  menuBar()->setFont(font);
  setCentralWidget(client);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  tab_strip_ = new TabStrip(client);
  tab_strip_->setObjectName(QStringLiteral("TabStrip1"));
  tab_strip_->setGeometry(Twips(0, 480, 10455, 615));
  for (int i = 0; i < 4; ++i) {
    tab_strip_->addTab(FromCp1252(kTabCaptions[i]));
    tab_strip_->setTabToolTip(i, QString::fromLatin1(kTabToolTips[i]));
  }

  for (int page = 0; page < 4; ++page) {
    auto* frame = new QGroupBox(client);
    frame->setObjectName(QStringLiteral("Frame1(%1)").arg(page));
    frame->setGeometry(Twips(page == 0 ? kShownLeft : kParkedLeft, 1200, 10335, 6495));
    frames_[page] = frame;
  }

  QGroupBox* settings = frames_[0];
  label1_ = new QLabel(QStringLiteral("Character Name:"), settings);
  label1_->setObjectName(QStringLiteral("Label1"));
  label1_->setGeometry(Twips(960, 1200, 1215, 255));

  yourname_ = new QLineEdit(FromCp1252(kInitialNameText), settings);
  yourname_->setObjectName(QStringLiteral("Yourname"));
  yourname_->setGeometry(Twips(2760, 1080, 1815, 285));

  label4_ = new QLabel(QStringLiteral("Time Between Events:"), settings);
  label4_->setObjectName(QStringLiteral("Label4"));
  label4_->setGeometry(Twips(960, 1560, 1695, 255));

  cmb_event_timer_ = new QComboBox(settings);
  cmb_event_timer_->setObjectName(QStringLiteral("cmbEventTimer"));
  cmb_event_timer_->setGeometry(Twips(2760, 1440, 1815, 315));
  cmb_event_timer_->setEditable(true);
  // Typed text neither selects nor adds an item: only a chosen item sets the gap.
  cmb_event_timer_->setInsertPolicy(QComboBox::NoInsert);
  cmb_event_timer_->setDuplicatesEnabled(true);
  cmb_event_timer_->setCompleter(nullptr);
  cmb_event_timer_->lineEdit()->installEventFilter(this);
  cmb_event_timer_->setMaxVisibleItems(16);

  chk_pets_ = new QCheckBox(QStringLiteral("Include Pets"), settings);
  chk_pets_->setObjectName(QStringLiteral("chkPets"));
  chk_pets_->setGeometry(Twips(2760, 1920, 1815, 495));

  command1_ = new QPushButton(QStringLiteral("Parse Log"), settings);
  command1_->setObjectName(QStringLiteral("Command1"));
  command1_->setGeometry(Twips(960, 2400, 1215, 495));

  // A label keeps its place but grows to its text where this machine's font
  // is wider than the one the sizes were made for.
  for (QLabel* label : {label1_, label4_}) {
    const int needed = label->sizeHint().width();
    if (needed > label->width()) label->resize(needed, label->height());
  }

  // Above the tab strip, visible only while a parse runs, whichever page shows.
  progress_ = new QProgressBar(client);
  progress_->setObjectName(QStringLiteral("ParseProgress"));
  progress_->setGeometry(Twips(kShownLeft, 120, 10335, 255));
  progress_->setRange(0, 100);
  progress_->hide();

  for (int list = 0; list < 3; ++list) BuildList(list);
}

void Form1::BuildList(int list) {
  auto* view = new QTreeView(frames_[list + 1]);
  view->setObjectName(QStringLiteral("ListView%1").arg(list + 1));
  view->setGeometry(Twips(120, 240, 10095, 6135));
  view->setRootIsDecorated(false);
  view->setItemsExpandable(false);
  view->setUniformRowHeights(true);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
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
  models_[list] = new TextTableModel(TableOf(app_, list), ColumnsOf(list), this);
  list_views_[list] = view;
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
  mnu_file_ = menu("mnuFile", "File");
  mnu_open_log_ = item(mnu_file_, "mnuOpenLog", "Open Log...");
  mnu_quit_ = item(mnu_file_, "mnuQuit", "Quit");
  mnu_options_ = menu("mnuOptions", "Options");
  mnu_print_data_ = item(mnu_options_, "mnuPrintData", "Print Data", true);
  mnu_print_events_ = item(mnu_options_, "mnuPrintEvents", "Print Events", true);
  mnu_print_details_ = item(mnu_options_, "mnuPrintDetails", "Print Details", true);
  mnu_print_pc_details_ = item(mnu_options_, "mnuPrintPCDetails", "Print PC Details", true);
  mnu_options_->addSeparator();
  mnu_extended_rules_ = item(mnu_options_, "mnuExtendedRules", "Extended Line Rules", true);
  mnu_export_ = menu("mnuExport", "Export");
  mnu_export_events_ = item(mnu_export_, "mnuExportEvents", "Events");
  mnu_export_event_detail_ = item(mnu_export_, "mnuExportEventDetail", "Event Detail");
  mnu_help_ = menu("mnuHelp", "Help");
  mnu_about_ = item(mnu_help_, "mnuAbout", "About");
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

  app_.globals().AttackVerbs = kAttackVerbs;

  mnu_export_events_->setEnabled(false);
  mnu_export_event_detail_->setEnabled(false);

  for (int list = 0; list < 3; ++list) {
    QTreeView* view = list_views_[list];
    view->setModel(models_[list]);
    const std::span<const ListColumn> columns = ColumnsOf(list);
    for (size_t c = 0; c < columns.size(); ++c) {
      view->header()->resizeSection(static_cast<int>(c), Px(columns[c].width_twips));
    }
  }
}

void Form1::Connect() {
  connect(command1_, &QPushButton::clicked, this, &Form1::ParseCommand);
  connect(mnu_open_log_, &QAction::triggered, this, &Form1::ParseCommand);
  connect(mnu_quit_, &QAction::triggered, this, &Form1::close);
  connect(mnu_print_data_, &QAction::triggered, this,
          [this] { ToggleOption(mnu_print_data_, &PrintOptions::PrintData); });
  connect(mnu_print_events_, &QAction::triggered, this,
          [this] { ToggleOption(mnu_print_events_, &PrintOptions::PrintEvents); });
  connect(mnu_print_details_, &QAction::triggered, this,
          [this] { ToggleOption(mnu_print_details_, &PrintOptions::PrintDetails); });
  connect(mnu_print_pc_details_, &QAction::triggered, this,
          [this] { ToggleOption(mnu_print_pc_details_, &PrintOptions::PrintPCDetails); });
  connect(mnu_extended_rules_, &QAction::triggered, this,
          [this] { ToggleOption(mnu_extended_rules_, &PrintOptions::ExtendedLineRules); });
  connect(mnu_export_events_, &QAction::triggered, this, &Form1::ExportEvents);
  connect(mnu_export_event_detail_, &QAction::triggered, this, &Form1::ExportEventDetail);
  connect(mnu_about_, &QAction::triggered, this, &Form1::ShowAbout);

  connect(tab_strip_, &QTabBar::currentChanged, this, &Form1::TabChanged);
  for (int list = 0; list < 3; ++list) {
    connect(list_views_[list]->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, list] { SelectionChanged(list); });
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
}

void Form1::ParseCommand() {
  if (busy_) return;
  app_.TakeSettings(ToCp1252(yourname_->text()), cmb_event_timer_->currentIndex(),
                    chk_pets_->isChecked());
  if (!app_.CharacterNameIsValid()) {
    dialogs_.Message(this, FromCp1252(kInvalidNameTitle), FromCp1252(kInvalidNameMessage));
    return;
  }
  const std::optional<QString> path =
      dialogs_.OpenFile(this, QStringLiteral("Pick a log file already"), kLogFilter);
  if (!path) return;

  parse_path_ = *path;
  caption_before_parse_ = windowTitle();
  setWindowTitle(FromCp1252(kLogCaptionPrefix) + QDir::toNativeSeparators(*path));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  SetBusy(true);
  ParseStageEntered(1);
  progress_->setValue(0);
  progress_->show();
  // The events list keeps its rows until the new ones replace them, so that a
  // log that cannot be read leaves everything as it was.
  worker_.Start(app_.MakeParseRequest(ToPath(*path)));
}

void Form1::ParseStageEntered(int stage) {
  frames_[0]->setTitle(FromCp1252(stage >= 2 ? kCreatingEventsCaption : kParsingCaption));
}

void Form1::ParseFinished() {
  std::variant<ParsedRun, Failure> result = worker_.TakeResult();
  progress_->hide();
  QApplication::restoreOverrideCursor();
  SetBusy(false);

  auto* run = std::get_if<ParsedRun>(&result);
  if (run == nullptr || run->parse.cancelled) {
    setWindowTitle(caption_before_parse_);
    frames_[0]->setTitle(FromCp1252(app_.FrameCaption(0)));
    if (run == nullptr) {
      dialogs_.Message(this, QStringLiteral("Cannot Read Log"),
                       FailureText(std::get<Failure>(result)));
    }
    return;
  }

  const std::vector<Failure> write_failures = run->write_failures;
  for (TextTableModel* model : models_) model->BeginChange();
  app_.AdoptParse(std::move(*run), ToPath(parse_path_));
  for (TextTableModel* model : models_) model->EndChange();
  for (int list = 0; list < 3; ++list) SelectFromApp(list);
  ShowState();
  ShowFailures(write_failures, QStringLiteral("Cannot Write File"));
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
  }
  ShowState();
  ShowFailures(failures, QStringLiteral("Cannot Write File"));
}

void Form1::ListDoubleClicked(int list) {
  if (busy_) return;
  // The shortcut to the next tab: events to Event Detail, combatants to PC Detail.
  tab_strip_->setCurrentIndex(list == 0 ? 2 : 3);
}

void Form1::EventDetailHeaderClicked(int section) {
  const int column = section + 1;
  if (busy_ || column < 1 || column > 5) return;
  const WaitCursor wait;
  models_[1]->BeginChange();
  app_.EventDetailHeaderClicked(column);
  models_[1]->EndChange();
  SelectFromApp(1);
}

void Form1::ToggleOption(QAction* item, bool PrintOptions::*mark) {
  bool& value = app_.options().*mark;
  if (!busy_) value = !value;
  item->setChecked(value);
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
  const std::optional<QString> path = dialogs_.SaveFile(this, title, kReportFilter);
  if (!path) return;
  std::optional<Failure> failure;
  {
    const WaitCursor wait;
    failure = (app_.*export_report)(ToPath(*path));
  }
  if (failure) ShowFailures({*failure}, QStringLiteral("Cannot Write File"));
}

void Form1::ShowAbout() {
  dialogs_.Message(this, QStringLiteral("About Ombrel"), AboutText());
}

void Form1::ShowState() {
  for (int page = 0; page < 4; ++page) {
    QGroupBox* frame = frames_[page];
    frame->move(Px(page == app_.ShownPage() ? kShownLeft : kParkedLeft), frame->y());
    // While a parse runs the Settings caption tells its stage.
    if (!(busy_ && page == 0)) frame->setTitle(FromCp1252(app_.FrameCaption(page)));
  }
  tab_strip_->setEnabled(!busy_ && app_.TabStripAvailable());
  {
    const QSignalBlocker quiet(tab_strip_);
    tab_strip_->setCurrentIndex(std::clamp(app_.SelectedTab(), 1, 4) - 1);
  }
  mnu_export_events_->setEnabled(app_.ExportEventsEnabled());
  mnu_export_event_detail_->setEnabled(app_.ExportEventDetailEnabled());
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

void Form1::SelectionChanged(int list) {
  if (syncing_) return;
  const QModelIndexList rows = list_views_[list]->selectionModel()->selectedRows();
  if (rows.isEmpty()) {
    // A filled list always keeps a selected row.
    SelectFromApp(list);
    return;
  }
  const auto row = static_cast<size_t>(rows.front().row());
  if (list == 0) app_.SelectEvent(row);
  if (list == 1) app_.SelectCombatant(row);
}

void Form1::SetBusy(bool busy) {
  busy_ = busy;
  command1_->setEnabled(!busy);
  mnu_open_log_->setEnabled(!busy);
  mnu_options_->menuAction()->setEnabled(!busy);
  mnu_export_->menuAction()->setEnabled(!busy);
  ShowState();
}

void Form1::ShowFailures(const std::vector<Failure>& failures, const QString& title) {
  for (const Failure& failure : failures) dialogs_.Message(this, title, FailureText(failure));
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  // Return in the gap box would choose the item that matches the typed text.
  if (watched == cmb_event_timer_->lineEdit() && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent* event) {
  if (busy_) {
    // Stop the parse and wait for its thread; its results are dropped.
    worker_.Abandon();
    progress_->hide();
    QApplication::restoreOverrideCursor();
    SetBusy(false);
    setWindowTitle(caption_before_parse_);
    frames_[0]->setTitle(FromCp1252(app_.FrameCaption(0)));
  }
  event->accept();
}

}  // namespace ombrel::gui
