#include "gui/Cp1252.h"

#include "shared/Cp1252.h"

namespace ombrel::gui {

QString FromCp1252(std::string_view bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (unsigned char b : bytes) *out++ = QChar(Cp1252ToUnicode(b));
  return text;
}

std::string ToCp1252(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      ++i;
      bytes.push_back('?');
      continue;
    }
    // A lone surrogate is no character of the code page either.
    bytes.push_back(UnicodeToCp1252(c.unicode()).value_or('?'));
  }
  return bytes;
}

}  // namespace ombrel::gui
