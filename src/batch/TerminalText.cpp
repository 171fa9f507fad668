#include "batch/TerminalText.h"

#include <algorithm>

#include "shared/Cp1252.h"

namespace ombrel {
namespace {

constexpr char32_t kEllipsis = 0x2026;

bool IsControl(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {  // Windows-1252 reaches no further than U+FFFF
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

size_t AppendTerminalCell(std::string& out, std::string_view cp1252) {
  const bool cut = cp1252.size() > kTerminalCellCharacters;
  const size_t shown = cut ? kTerminalCellCharacters - 1 : cp1252.size();
  // Printable ASCII, most cells of a list, is the same in UTF-8: the run of
  // it at the start is copied whole.
  size_t k = 0;
  while (k < shown && cp1252[k] >= 0x20 && cp1252[k] < 0x7F) ++k;
  out.append(cp1252.substr(0, k));
  for (; k < shown; ++k) {
    const char32_t c = Cp1252ToUnicode(static_cast<unsigned char>(cp1252[k]));
    AppendUtf8(out, IsControl(c) ? U'?' : c);
  }
  if (cut) AppendUtf8(out, kEllipsis);
  return cut ? kTerminalCellCharacters : shown;
}

TerminalCell ToTerminalCell(std::string_view cp1252) {
  TerminalCell cell;
  cell.text.reserve(std::min(cp1252.size(), kTerminalCellCharacters) + 3);
  cell.width = AppendTerminalCell(cell.text, cp1252);
  return cell;
}

std::string ToTerminalText(std::string_view cp1252, std::string_view kept) {
  std::string text;
  text.reserve(cp1252.size() + cp1252.size() / 8);
  for (const char byte : cp1252) {
    const char32_t c = Cp1252ToUnicode(static_cast<unsigned char>(byte));
    const bool shown = !IsControl(c) || c == U'\t' || kept.find(byte) != std::string_view::npos;
    AppendUtf8(text, shown ? c : U'?');
  }
  return text;
}

}  // namespace ombrel
