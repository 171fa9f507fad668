// ombrel-loggen: writes a synthetic combat log to stdout or a file.
#include "loggen/LogGen.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

void Usage() {
  std::cerr
      << "usage: ombrel-loggen [--seed N] [--size BYTES|64K|200M|1G] [--name NAME] [--out FILE]\n"
         "                     [--clock-back] [--malformed RATE] [--harmless] [--extended-kinds]\n"
         "                     [--every-extended-kind] [--fights-per-mib N [--other-share S]]\n"
         "                     [--stats]\n"
         "  --harmless  only insert broken lines that cannot disturb a parse\n"
         "              (short stubs, accented names)\n"
         "  --extended-kinds  also write the line kinds of older and newer logs\n"
         "  --every-extended-kind  with --extended-kinds, the first fight opens with one line\n"
         "              of each of those kinds\n"
         "  --fights-per-mib N  about N fights per MiB (short fights, short idle stretches)\n"
         "  --other-share S  with --fights-per-mib, the share (0 to below 1) of non-combat\n"
         "              bytes (default 0.3)\n"
         "  --stats     print line counts to stderr\n";
}

bool ParseU64(const char* s, uint64_t& v) {
  if (!*s) return false;
  char* end = nullptr;
  v = std::strtoull(s, &end, 10);
  return *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  using namespace ombrel::loggen;
  Options opt;
  std::string out_path;
  bool print_stats = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool has_value = i + 1 < argc;
    if (a == "--seed" && has_value) {
      if (!ParseU64(argv[++i], opt.seed)) {
        Usage();
        return 2;
      }
    } else if (a == "--size" && has_value) {
      if (!ParseSize(argv[++i], opt.target_bytes)) {
        Usage();
        return 2;
      }
    } else if (a == "--name" && has_value) {
      opt.character = argv[++i];
    } else if (a == "--out" && has_value) {
      out_path = argv[++i];
    } else if (a == "--malformed" && has_value) {
      char* end = nullptr;
      opt.malformed_rate = std::strtod(argv[++i], &end);
      if (*end != '\0' || opt.malformed_rate < 0 || opt.malformed_rate > 1) {
        Usage();
        return 2;
      }
    } else if (a == "--clock-back") {
      opt.clock_goes_back = true;
    } else if (a == "--harmless") {
      opt.malformed_kinds = kMalformedHarmless;
    } else if (a == "--extended-kinds") {
      opt.extended_kinds = true;
    } else if (a == "--every-extended-kind") {
      opt.every_extended_kind = true;
    } else if (a == "--fights-per-mib" && has_value) {
      uint64_t n = 0;
      if (!ParseU64(argv[++i], n) || n == 0 || n > 100000) {
        Usage();
        return 2;
      }
      opt.fights_per_mib = static_cast<uint32_t>(n);
    } else if (a == "--other-share" && has_value) {
      char* end = nullptr;
      opt.other_share = std::strtod(argv[++i], &end);
      if (*end != '\0' || !(opt.other_share >= 0) || opt.other_share >= 1) {
        Usage();
        return 2;
      }
    } else if (a == "--stats") {
      print_stats = true;
    } else {
      Usage();
      return a == "--help" || a == "-h" ? 0 : 2;
    }
  }
  if (opt.character.empty()) {
    Usage();
    return 2;
  }

  Stats st;
  if (out_path.empty()) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::ios::sync_with_stdio(false);
    st = Generate(opt, std::cout);
    std::cout.flush();
    if (!std::cout) {
      std::cerr << "ombrel-loggen: write error\n";
      return 1;
    }
  } else {
    std::ofstream f(out_path, std::ios::binary | std::ios::trunc);
    if (!f) {
      std::cerr << "ombrel-loggen: cannot open " << out_path << "\n";
      return 1;
    }
    st = Generate(opt, f);
    f.close();
    if (!f) {
      std::cerr << "ombrel-loggen: write error on " << out_path << "\n";
      return 1;
    }
  }
  if (print_stats) {
    std::cerr << "lines " << st.lines << ", bytes " << st.bytes << ", combat " << st.combat_lines
              << ", chat " << st.chat_lines << ", other " << st.other_lines << ", malformed "
              << st.malformed_lines << "\nfights " << st.fights << " (named " << st.named_fights
              << "), mobs slain " << st.mobs_slain << ", clock back at line " << st.clock_back_line
              << "\n";
  }
  return 0;
}
