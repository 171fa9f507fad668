// The library's entry points: Generate runs a Generator over the options; ParseSize reads sizes.
#include "loggen/LogGen.h"

#include "loggen/Generator.h"

namespace ombrel::loggen {

Stats Generate(const Options& options, std::ostream& out) {
  Generator g(options, out);
  return g.Run();
}

bool ParseSize(const std::string& text, uint64_t& bytes) {
  if (text.empty()) return false;
  uint64_t v = 0;
  size_t i = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (v > (UINT64_MAX - 9) / 10) return false;
    v = v * 10 + static_cast<uint64_t>(text[i] - '0');
  }
  if (i == 0) return false;
  uint64_t mul = 1;
  if (i < text.size()) {
    switch (text[i]) {
      case 'k':
      case 'K':
        mul = uint64_t{1} << 10;
        break;
      case 'm':
      case 'M':
        mul = uint64_t{1} << 20;
        break;
      case 'g':
      case 'G':
        mul = uint64_t{1} << 30;
        break;
      default:
        return false;
    }
    ++i;
    if (i < text.size() && (text[i] == 'B' || text[i] == 'b')) ++i;
    if (i != text.size()) return false;
  }
  if (v > UINT64_MAX / mul) return false;
  bytes = v * mul;
  return true;
}

}  // namespace ombrel::loggen
