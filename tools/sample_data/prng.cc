#include "sample_data/prng.h"

#include <cmath>

namespace quillmore::tools {

std::uint64_t Mix64(std::uint64_t value) {
  value ^= value >> 30;
  value *= 0xbf58476d1ce4e5b9ULL;
  value ^= value >> 27;
  value *= 0x94d049bb133111ebULL;
  return value ^ (value >> 31);
}

std::uint64_t StreamSeed(std::uint64_t seed, std::uint64_t a, std::uint64_t b, std::uint64_t c) {
  return Mix64(Mix64(Mix64(Mix64(seed) ^ a) ^ b) ^ c);
}

std::uint64_t SplitMix64::Next() {
  state_ += 0x9e3779b97f4a7c15ULL;
  return Mix64(state_);
}

double SplitMix64::Uniform() {
  return static_cast<double>(Next() >> 11) * 0x1.0p-53;
}

double SplitMix64::LogUniform(double lo, double hi) {
  return lo * std::exp(Uniform() * std::log(hi / lo));
}

int SplitMix64::IntBetween(int lo, int hi) {
  const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo + 1);
  return static_cast<int>(lo + static_cast<std::int64_t>(Next() % span));
}

}  // namespace quillmore::tools
