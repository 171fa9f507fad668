// The generator's random numbers: splitmix64, the same sequence on every platform.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ombrel::loggen {

class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [lo, hi] (slight modulo bias is irrelevant here).
  int64_t Range(int64_t lo, int64_t hi) {
    return lo + static_cast<int64_t>(Next() % static_cast<uint64_t>(hi - lo + 1));
  }
  size_t Below(size_t n) { return static_cast<size_t>(Next() % n); }
  // True with probability num/den.
  bool Chance(uint64_t num, uint64_t den) { return Next() % den < num; }
  template <class T, size_t N>
  const T& Pick(const std::array<T, N>& a) {
    return a[Below(N)];
  }
  template <class T>
  const T& Pick(const std::vector<T>& v) {
    return v[Below(v.size())];
  }

 private:
  uint64_t state_;
};

}  // namespace ombrel::loggen
