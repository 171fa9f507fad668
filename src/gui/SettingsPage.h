#pragma once

#include <QGroupBox>
#include <QString>

#include "gui/WindowMemory.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ombrel::gui {

// The Settings page: the character's name, the idle gap that closes a fight,
// whether pets count with their owners, and the "Parse Log" button.
class SettingsPage : public QGroupBox {
  Q_OBJECT

 public:
  explicit SettingsPage(QWidget* parent = nullptr);

  // The page as typed and chosen; `gap_item` is -1 while no gap item is chosen.
  WindowMemory::Page Values() const;
  void SetValues(const WindowMemory::Page& values);
  void SetName(const QString& name);
  // The line rules chosen: the default rules (first) or the extended ones.
  bool ExtendedRules() const;
  void SetExtendedRules(bool extended);
  // The controls that must not change while a log is read.
  void SetBusy(bool busy);

  QWidget* FirstControl() const;
  QWidget* LastControl() const;
  QPushButton* ParseButton() const { return parse_button_; }

 signals:
  // "Parse Log" pressed, or Return in the name box.
  void ParseRequested();
  // The user chose the line rules.
  void RulesChosen(bool extended);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* name_label_ = nullptr;
  QLineEdit* name_edit_ = nullptr;
  QLabel* gap_label_ = nullptr;
  QComboBox* gap_box_ = nullptr;
  QLabel* rules_label_ = nullptr;
  QComboBox* rules_box_ = nullptr;
  QCheckBox* pets_box_ = nullptr;
  QPushButton* parse_button_ = nullptr;
};

}  // namespace ombrel::gui
