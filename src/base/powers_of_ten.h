// Powers of ten at extended precision, for reading and rendering numbers.
#pragma once

#include <array>
#include <cstddef>

namespace quillmore::base {

// 10^0 to 10^64, each the product of the one before and 10. Up to 10^27 they
// are exact (5^27 < 2^64 fits the extended mantissa), so a scaling by one of
// them rounds once; beyond, each product is rounded to nearest, a relative
// error far below what the callers' margins allow.
inline constexpr int kMaxExactPowerOfTen = 27;
inline constexpr int kMaxPowerOfTen = 64;
inline constexpr std::array<long double, kMaxPowerOfTen + 1> kPowersOfTen = [] {
  std::array<long double, kMaxPowerOfTen + 1> powers{};
  powers[0] = 1.0L;
  for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10.0L;
  return powers;
}();

}  // namespace quillmore::base
