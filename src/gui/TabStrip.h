#pragma once

#include <QTabBar>

namespace ombrel::gui {

// A tab bar drawn as a tab strip: the tabs stand on a framed pane that fills
// the rest of the strip's height, as a tab widget without pages looks.
class TabStrip : public QTabBar {
  Q_OBJECT

 public:
  explicit TabStrip(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace ombrel::gui
