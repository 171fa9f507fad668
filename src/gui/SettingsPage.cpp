#include "gui/SettingsPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>

#include "app/Settings.h"
#include "gui/Cp1252.h"
#include "gui/Twips.h"

namespace ombrel::gui {

namespace {

// The controls' object names, by which the window's users and tests find them.
constexpr struct {
  const char* page = "Frame1(0)";
  const char* name_label = "Label1";
  const char* name_edit = "Yourname";
  const char* gap_label = "Label4";
  const char* gap_box = "cmbEventTimer";
  const char* rules_label = "Label5";
  const char* rules_box = "cmbLineRules";
  const char* pets_box = "chkPets";
  const char* parse_button = "Command1";
} kNames;

// Where the labels and the fields start, in twips from the page's corner, and
// the fields' and the button's size.
constexpr int kLabelLeft = 960;
constexpr int kFieldLeft = 2760;
constexpr int kFieldTop = 1080;
constexpr int kFieldWidth = 1815;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 495;

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

template <class Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace

SettingsPage::SettingsPage(QWidget* parent) : QGroupBox(parent) {
  setObjectName(QString::fromLatin1(kNames.page));
  const QFont& f = font();
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(TwipsToPixels(kLabelLeft, f), TwipsToPixels(kFieldTop - 360, f), 0, 0);
  grid->setColumnMinimumWidth(0, TwipsToPixels(kFieldLeft - kLabelLeft - 120, f));
  grid->setHorizontalSpacing(TwipsToPixels(120, f));

  name_label_ = Named(new QLabel(QStringLiteral("&Character Name:"), this), kNames.name_label);
  name_edit_ = Named(new QLineEdit(FromCp1252(kInitialNameText), this), kNames.name_edit);
  name_edit_->setMinimumWidth(TwipsToPixels(kFieldWidth, f));
  name_label_->setBuddy(name_edit_);

  gap_label_ = Named(new QLabel(QStringLiteral("&Time Between Events:"), this), kNames.gap_label);
  gap_box_ = Named(new QComboBox(this), kNames.gap_box);
  gap_box_->setModel(new GapItemModel(gap_box_));
  gap_box_->setMinimumWidth(TwipsToPixels(kFieldWidth, f));
  gap_box_->setEditable(true);
  // Typed text neither selects nor adds an item: only a chosen item sets the gap.
  gap_box_->setInsertPolicy(QComboBox::NoInsert);
  gap_box_->setDuplicatesEnabled(true);
  gap_box_->setCompleter(nullptr);
  gap_box_->lineEdit()->installEventFilter(this);
  gap_box_->setMaxVisibleItems(16);
  for (const std::string& text : GapItems()) gap_box_->addItem(FromCp1252(text));
  gap_box_->setCurrentIndex(-1);
  gap_box_->setEditText(QString());
  gap_label_->setBuddy(gap_box_);

  rules_label_ = Named(new QLabel(QStringLiteral("&Line Rules:"), this), kNames.rules_label);
  rules_box_ = Named(new QComboBox(this), kNames.rules_box);
  rules_box_->addItems({QStringLiteral("Default"), QStringLiteral("Extended")});
  rules_box_->setToolTip(
      QStringLiteral("The extended rules also read the line kinds of older and newer logs"));
  rules_box_->setMinimumWidth(TwipsToPixels(kFieldWidth, f));
  rules_label_->setBuddy(rules_box_);

  pets_box_ = Named(new QCheckBox(QStringLiteral("&Include Pets"), this), kNames.pets_box);

  parse_button_ = Named(new QPushButton(QStringLiteral("&Parse Log"), this), kNames.parse_button);
  parse_button_->setMinimumSize(TwipsToPixels(kButtonWidth, f), TwipsToPixels(kButtonHeight, f));
  parse_button_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

  grid->addWidget(name_label_, 0, 0);
  grid->addWidget(name_edit_, 0, 1);
  grid->addWidget(gap_label_, 1, 0);
  grid->addWidget(gap_box_, 1, 1);
  grid->addWidget(rules_label_, 2, 0);
  grid->addWidget(rules_box_, 2, 1);
  grid->addWidget(pets_box_, 3, 1);
  grid->addWidget(parse_button_, 4, 0);
  grid->setColumnStretch(2, 1);
  grid->setRowStretch(5, 1);

  setTabOrder(name_edit_, gap_box_);
  setTabOrder(gap_box_, rules_box_);
  setTabOrder(rules_box_, pets_box_);
  setTabOrder(pets_box_, parse_button_);

  connect(parse_button_, &QPushButton::clicked, this, &SettingsPage::ParseRequested);
  connect(name_edit_, &QLineEdit::returnPressed, this, &SettingsPage::ParseRequested);
  connect(rules_box_, &QComboBox::activated, this,
          [this](int item) { emit RulesChosen(item == 1); });
  // A typed gap text selects no item, whatever was chosen before.
  connect(gap_box_->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
    if (gap_box_->currentIndex() < 0) return;
    QLineEdit* edit = gap_box_->lineEdit();
    const int cursor = edit->cursorPosition();
    gap_box_->setCurrentIndex(-1);
    gap_box_->setEditText(text);
    edit->setCursorPosition(cursor);
  });
}

WindowMemory::Page SettingsPage::Values() const {
  return {name_edit_->text(), gap_box_->currentIndex(), pets_box_->isChecked()};
}

void SettingsPage::SetValues(const WindowMemory::Page& values) {
  name_edit_->setText(values.name);
  if (values.gap_item >= 0) gap_box_->setCurrentIndex(values.gap_item);
  pets_box_->setChecked(values.pets);
}

void SettingsPage::SetName(const QString& name) {
  name_edit_->setText(name);
}

bool SettingsPage::ExtendedRules() const {
  return rules_box_->currentIndex() == 1;
}

void SettingsPage::SetExtendedRules(bool extended) {
  rules_box_->setCurrentIndex(extended ? 1 : 0);
}

void SettingsPage::SetBusy(bool busy) {
  parse_button_->setEnabled(!busy);
  rules_box_->setEnabled(!busy);
}

QWidget* SettingsPage::FirstControl() const {
  return name_edit_;
}

QWidget* SettingsPage::LastControl() const {
  return parse_button_;
}

bool SettingsPage::eventFilter(QObject* watched, QEvent* event) {
  // Return in the gap box would choose the item that matches the typed text.
  if (watched == gap_box_->lineEdit() && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
  }
  return QGroupBox::eventFilter(watched, event);
}

}  // namespace ombrel::gui
