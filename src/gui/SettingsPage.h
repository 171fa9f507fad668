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

  QWidget* FirstControl() const;
  QWidget* LastControl() const;
  QPushButton* ParseButton() const { return parse_button_; }

 signals:
  // "Parse Log" pressed, or Return in the name box.
  void ParseRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* name_label_ = nullptr;
  QLineEdit* name_edit_ = nullptr;
  QLabel* gap_label_ = nullptr;
  QComboBox* gap_box_ = nullptr;
  QCheckBox* pets_box_ = nullptr;
  QPushButton* parse_button_ = nullptr;
};

}  // namespace ombrel::gui
