#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace ombrel::gui {

// Log texts are Windows-1252 bytes (shared/Cp1252.h); the window turns them
// into Qt strings for display, and typed text back into bytes.

// Each byte as its Windows-1252 character; every byte survives a round trip.
QString FromCp1252(std::string_view bytes);

// Each character as its Windows-1252 byte; a character outside the code page
// becomes "?" (a surrogate pair counts as one character).
std::string ToCp1252(const QString& text);

}  // namespace ombrel::gui
