#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace ombrel {

// The command-line front end: parses the arguments (without the program name),
// runs the work and returns the exit code (0 success, 1 file error, 2 usage).
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ombrel
