#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ombrel {

// Converts UTF-8 text to Windows-1252 bytes, the encoding of game logs. Fails
// on malformed UTF-8 and on a character that Windows-1252 cannot hold. The
// five byte values that Windows-1252 leaves unassigned (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) are reached through the control characters of the same number, as
// Windows itself converts them, so every log byte can be named.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);

// The character of one Windows-1252 byte (the five unassigned bytes give the
// control characters of the same number).
char32_t Cp1252Character(unsigned char byte);

// Appends the UTF-8 form of a character.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace ombrel
