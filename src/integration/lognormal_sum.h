// Doses from uncertain intakes: each intake's activity lognormal about its
// median, independent of the others, so that a value is a sum of
// independently lognormal terms. Its mean and variance are exact; the
// lognormal with the same two moments stands in for its distribution.
#pragma once

#include <optional>

namespace quillmore::integration {

// The mean and variance of a value, summed term by term.
struct Moments {
  double mean = 0;
  double variance = 0;
};

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
