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
  const Extended mean = moments.mean;
  const Extended s2 = std::log1p(Extended(moments.variance) / (mean * mean));
  const Extended sigma = std::sqrt(s2);
  const Extended gm = mean / std::exp(s2 / 2);
  return MatchedLognormal{Stored(gm), Stored(std::exp(sigma)), Stored(gm * std::exp(-kZ95 * sigma)),
                          Stored(gm * std::exp(kZ95 * sigma))};
}

}  // namespace quillmore::integration
