#include "integration/lognormal_sum.h"

#include <cmath>

#include "integration/extended.h"

namespace quillmore::integration {
namespace {

// The 95th percentile of the standard normal distribution.
constexpr Extended kZ95 = 1.64485362695147271486L;

}  // namespace

LognormalFactors LognormalFactorsOf(double sigma) {
  const Extended s2 = Extended(sigma) * sigma;
  return {Stored(std::exp(s2 / 2)), Stored(std::exp(s2) * std::expm1(s2))};
}

void AddLognormalTerm(double atMedian, double sigma, Moments& sum) {
  AddLognormalTerm(atMedian, LognormalFactorsOf(sigma), sum);
}

std::optional<MatchedLognormal> MatchLognormal(const Moments& moments) {
  if (!(moments.mean > 0)) return std::nullopt;
  // A value known exactly is its own lognormal, with no exponentials to form.
  if (!(moments.variance > 0)) return MatchedLognormal{moments.mean, 1, moments.mean, moments.mean};
  const Extended mean = moments.mean;
  const Extended ratio = Extended(moments.variance) / (mean * mean);
  const Extended sigma = std::sqrt(std::log1p(ratio));
  // exp(sigma^2 / 2) = sqrt(1 + Var / E^2): one exponential the fewer.
  const Extended gm = mean / std::sqrt(1 + ratio);
  // The percentiles' factor in double: its own rounding stays far below
  // what a percentile is used for, and it costs a fraction of the extended one.
  const double spread = std::exp(static_cast<double>(kZ95 * sigma));
  return MatchedLognormal{Stored(gm), Stored(std::exp(sigma)), Stored(gm / spread),
                          Stored(gm * spread)};
}

}  // namespace quillmore::integration
