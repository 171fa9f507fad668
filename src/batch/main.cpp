#include <iostream>
#include <string>
#include <vector>

#include "batch/Batch.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return ombrel::RunBatch(args, std::cout, std::cerr);
}
