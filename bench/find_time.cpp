// Counts the lines of a log that hold a text or match an expression, as
// `grep -c` does, through the window's and the batch's search; for
// scripts/bench.sh, which times it beside grep.
//   find_time LOG TEXT [--regex] [--case]
#include <cstdio>
#include <cstring>
#include <string>

#include "logtext/LogSearch.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: find_time LOG TEXT [--regex] [--case]\n");
    return 2;
  }
  ombrel::SearchQuery query;
  query.text = argv[2];
  for (int k = 3; k < argc; ++k) {
    if (std::strcmp(argv[k], "--regex") == 0) query.regex = true;
    if (std::strcmp(argv[k], "--case") == 0) query.match_case = true;
  }
  auto matcher = ombrel::LineMatcher::Make(query);
  if (auto* problem = std::get_if<std::string>(&matcher)) {
    std::fprintf(stderr, "find_time: %s\n", problem->c_str());
    return 2;
  }
  auto searched = ombrel::SearchLog(argv[1], nullptr, std::get<ombrel::LineMatcher>(matcher), {});
  if (auto* failure = std::get_if<ombrel::Failure>(&searched)) {
    std::fprintf(stderr, "find_time: %s\n", failure->Message().c_str());
    return 2;
  }
  std::printf("%lld\n", static_cast<long long>(std::get<ombrel::SearchSummary>(searched).matches));
  return 0;
}
