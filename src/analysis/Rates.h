#pragma once

#include <cstdint>
#include <string>

#include "shared/Display.h"

namespace ombrel {

// "##0.00%" of part / whole; "0.00%" when fewer than one swing or miss is
// there to divide by.
inline std::string PercentOf(int64_t part, int64_t whole) {
  if (whole < 1) return display::Percent(0.0);
  return display::Percent(static_cast<double>(part) / static_cast<double>(whole));
}

// A damage sum per second; durations are at least 1, but a row built by hand
// may still hold 0.
inline double PerSecond(int64_t damage, int64_t seconds) {
  return static_cast<double>(damage) / static_cast<double>(seconds < 1 ? 1 : seconds);
}

// The avoidances of a row's swings: what the opponent parried, dodged,
// riposted or blocked.
template <typename Row>
int64_t Avoidances(const Row& row) {
  return int64_t{row.Parries} + row.Dodges + row.Ripostes + row.Blocks;
}

}  // namespace ombrel
