#pragma once

#include <string>

namespace ombrel {

// A file that could not be read or written: the path and the reason, as the
// user is told.
struct Failure {
  std::string path;
  std::string reason;

  std::string Message() const { return path + ": " + reason; }
};

}  // namespace ombrel
