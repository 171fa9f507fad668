#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace ombrel::gui {

// Log texts are Windows-1252 bytes; the window is the one place that turns
// them into Unicode for display, and typed text back into bytes.

// Each byte as its Windows-1252 character. The five bytes that code page
// leaves undefined map to the control character of the same number, so every
// byte survives a round trip.
QString FromCp1252(std::string_view bytes);

// Each character as its Windows-1252 byte; a character outside the code page
// becomes "?" (a surrogate pair counts as one character).
std::string ToCp1252(const QString& text);

}  // namespace ombrel::gui
