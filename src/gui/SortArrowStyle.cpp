#include "gui/SortArrowStyle.h"

#include <QStyleOptionHeader>

namespace ombrel::gui {

void SortArrowStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                   QPainter* painter, const QWidget* widget) const {
  const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
  if (element != PE_IndicatorHeaderArrow || header == nullptr ||
      header->sortIndicator == QStyleOptionHeader::None) {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    return;
  }
  QStyleOptionHeader turned(*header);
  turned.sortIndicator = header->sortIndicator == QStyleOptionHeader::SortUp
                             ? QStyleOptionHeader::SortDown
                             : QStyleOptionHeader::SortUp;
  QProxyStyle::drawPrimitive(element, &turned, painter, widget);
}

}  // namespace ombrel::gui
