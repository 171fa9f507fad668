#pragma once

#include <QGroupBox>

#include "app/App.h"

class QCheckBox;
class QSplitter;
class QTabWidget;

namespace ombrel::gui {

class ListPage;
class WindowMemory;

// The Healing page (extended rules), of the chosen fight or the whole log,
// in two tabs: "By Healer", the healers over the chosen healer's healing by
// target and by spell; and "Received", the heals each target received over
// the chosen target's healers.
class HealingPage : public QGroupBox {
  Q_OBJECT

 public:
  // The page remembers its column widths, splits and tab in `memory`.
  HealingPage(App& app, WindowMemory& memory, QWidget* parent = nullptr);

  QCheckBox* WholeLog() const { return whole_log_; }
  // Every list of the page, the healers first.
  std::vector<ListPage*> Lists() const;
  void SaveLayout() const;

 signals:
  void Said(const QString& text);

 private:
  App& app_;
  WindowMemory& memory_;
  QCheckBox* whole_log_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QSplitter* healer_split_ = nullptr;
  QSplitter* detail_split_ = nullptr;
  QSplitter* received_split_ = nullptr;
  ListPage* healers_ = nullptr;
  ListPage* by_target_ = nullptr;
  ListPage* by_spell_ = nullptr;
  ListPage* targets_ = nullptr;
  ListPage* target_healers_ = nullptr;
};

}  // namespace ombrel::gui
