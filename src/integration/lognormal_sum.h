// Doses from uncertain intakes: each intake's activity lognormal about its
// median, independent of the others, so that a value is a sum of
// independently lognormal terms. Its mean and variance are exact; the
// lognormal with the same two moments stands in for its distribution.
#pragma once

#include <optional>

#include "integration/extended.h"

namespace quillmore::integration {

// The mean and variance of a value, summed term by term.
struct Moments {
  double mean = 0;
  double variance = 0;
};

// What one intake's terms are multiplied by, formed once for all its values:
// exp(sigma^2 / 2) for the mean, exp(sigma^2) (exp(sigma^2) - 1) for the
// variance.
struct LognormalFactors {
  double mean = 1;
  double variance = 0;
};
LognormalFactors LognormalFactorsOf(double sigma);
// Adds the term c A with A's factors: the mean grows by atMedian x the mean's
// factor, the variance by atMedian^2 x the variance's.
inline void AddLognormalTerm(double atMedian, const LognormalFactors& factors, Moments& sum) {
  sum.mean = Stored(sum.mean + Extended(atMedian) * factors.mean);
  sum.variance = Stored(sum.variance + Extended(atMedian) * atMedian * factors.variance);
}

// Adds the term c A, where c A is `atMedian` at A's median and ln A has the
// standard deviation `sigma` (ln GSD): mean atMedian exp(sigma^2 / 2),
// variance atMedian^2 exp(sigma^2) (exp(sigma^2) - 1), with expm1 so that a
// GSD near 1 keeps its digits.
void AddLognormalTerm(double atMedian, double sigma, Moments& sum);

// The lognormal with the given mean and variance: its median (GM), GSD and
// 5th and 95th percentiles. None where the mean is not above 0.
struct MatchedLognormal {
  double gm = 0;
  double gsd = 1;
  double p05 = 0;
  double p95 = 0;
};
std::optional<MatchedLognormal> MatchLognormal(const Moments& moments);

}  // namespace quillmore::integration
