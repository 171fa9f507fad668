// Writes a log with the fight density of real play from a generated one:
// every LINES lines (default 25) the clock of the lines after moves a minute
// further on, past any idle gap that ends a fight, so that the fights are cut
// as short as a pull, a kill and the next pull:
//   dense_log IN OUT [LINES]
// Lines without a readable time stamp are copied as they are.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>

namespace {

// The stamp "[Sat Dec 31 22:30:00 2005]" at the start of a line.
constexpr size_t kStamp = 26;

bool ReadStamp(const std::string& line, time_t& seconds) {
  if (line.size() < kStamp || line[0] != '[' || line[kStamp - 1] != ']') return false;
  tm parts{};
  const char* end = strptime(line.c_str() + 1, "%a %b %d %H:%M:%S %Y", &parts);
  if (end != line.c_str() + kStamp - 1) return false;
  seconds = timegm(&parts);
  return true;
}

void WriteStamp(time_t seconds, char* out) {
  tm parts{};
  gmtime_r(&seconds, &parts);
  char text[64];
  std::strftime(text, sizeof text, "[%a %b %d %H:%M:%S %Y]", &parts);
  std::memcpy(out, text, kStamp);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: dense_log IN OUT [LINES]\n");
    return 2;
  }
  const long every = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 25;
  std::ifstream in(argv[1], std::ios::binary);
  std::ofstream out(argv[2], std::ios::binary);
  if (!in || !out || every <= 0) {
    std::fprintf(stderr, "dense_log: cannot read %s or write %s\n", argv[1], argv[2]);
    return 1;
  }
  std::string line;
  time_t shift = 0;
  long count = 0;
  // Neighbouring lines mostly share their stamp.
  std::string last_in;
  char last_out[kStamp] = {};
  time_t last_shift = -1;
  while (std::getline(in, line)) {
    if (++count % every == 0) shift += 60;
    time_t seconds = 0;
    if (!last_in.empty() && line.compare(0, kStamp, last_in) == 0 && shift == last_shift) {
      std::memcpy(line.data(), last_out, kStamp);
    } else if (ReadStamp(line, seconds)) {
      last_in.assign(line, 0, kStamp);
      WriteStamp(seconds + shift, line.data());
      std::memcpy(last_out, line.data(), kStamp);
      last_shift = shift;
    }
    out << line;
    if (!in.eof()) out << '\n';
  }
  return out.good() ? 0 : 1;
}
