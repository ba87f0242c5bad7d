// A small deterministic random source: the same seed gives the same numbers on
// every platform and library version (unlike the standard distributions).
#pragma once

#include <cstdint>

namespace quillmore::tools {

// Mixes `value` into a well-spread 64-bit number (the splitmix64 finaliser).
std::uint64_t Mix64(std::uint64_t value);

// A seed for the sub-stream named by the numbers `a`, `b`, `c` under `seed`, so
// that one block's numbers do not depend on how many were drawn before it.
std::uint64_t StreamSeed(std::uint64_t seed, std::uint64_t a, std::uint64_t b = 0,
                         std::uint64_t c = 0);

class SplitMix64 {
 public:
  explicit SplitMix64(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next();
  // Uniform in [0, 1), 53 random bits.
  double Uniform();
  // Uniform in [lo, hi) on a logarithmic scale; lo and hi positive.
  double LogUniform(double lo, double hi);
  // Uniform integer in [lo, hi]; lo <= hi.
  int IntBetween(int lo, int hi);
  // True with probability `p`.
  bool Chance(double p) { return Uniform() < p; }

 private:
  std::uint64_t state_;
};

}  // namespace quillmore::tools
