#pragma once

#include <QProxyStyle>

namespace ombrel::gui {

// The style of a list header whose sort arrow points the way the list is
// sorted: up over an ascending column, down over a descending one. Qt hands a
// header's style "sort down" for an ascending order, and Fusion draws that as
// a downward arrow; players read an arrow as the order's direction.
class SortArrowStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};

}  // namespace ombrel::gui
