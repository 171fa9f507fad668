#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "batch/Batch.h"
#include "shared/Interrupt.h"

int main(int argc, char** argv) {
  // An interrupted run removes its temporary files and ends with 130 or 143.
  ombrel::RemoveTemporariesOnInterrupt();
  // A closed pipe on standard output is a write error to report, not a silent end.
  signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> args(argv + 1, argv + argc);
  const int code = ombrel::RunBatch(args, std::cout, std::cerr);
  // What the stream handed on may fail only now.
  errno = 0;
  if (code == 0 && (std::fflush(stdout) != 0 || std::ferror(stdout) != 0)) {
    std::fprintf(stderr, "ombrel-batch: cannot write to standard output: %s\n",
                 errno != 0 ? std::strerror(errno) : "write error");
    return 1;
  }
  return code;
}
