// A log from the generator as one string; links with ombrel_loggen.
#pragma once

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>

#include "loggen/LogGen.h"

namespace ombrel::testing {

inline std::string GeneratedLog(const loggen::Options& options) {
  std::ostringstream out;
  loggen::Generate(options, out);
  return out.str();
}

// The log of `seed` that stops at the first line end past `bytes`, with the
// other options as `adjust` leaves them.
inline std::string GeneratedLog(uint64_t seed, uint64_t bytes,
                                const std::function<void(loggen::Options&)>& adjust = {}) {
  loggen::Options options;
  options.seed = seed;
  options.target_bytes = bytes;
  if (adjust) adjust(options);
  return GeneratedLog(options);
}

}  // namespace ombrel::testing
