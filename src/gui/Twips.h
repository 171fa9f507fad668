#pragma once

#include <algorithm>

#include <QFont>
#include <QFontMetricsF>

namespace ombrel::gui {

// Pixels for a length given in twips, for text in `font`: 15 twips to the
// pixel for a line of 13 pixels, more where the font is larger.
inline int TwipsToPixels(int twips, const QFont& font) {
  constexpr double kReferenceLineHeight = 13.0;  // a line of the font the twips were measured on
  constexpr int kTwipsPerPixel = 15;
  const double scale = std::max(1.0, QFontMetricsF(font).height() / kReferenceLineHeight);
  return static_cast<int>(twips * scale / kTwipsPerPixel);
}

}  // namespace ombrel::gui
