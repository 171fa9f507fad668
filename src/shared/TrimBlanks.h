#pragma once

#include <string_view>

namespace ombrel {

// Removes blanks (only blanks, not tabs or line ends) at both ends.
inline std::string_view TrimBlanks(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  return text.substr(begin, end - begin);
}

}  // namespace ombrel
