// Moments of sums of lognormal terms and the lognormal matched to them.
#include "integration/lognormal_sum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

namespace quillmore::integration {
namespace {

// How many doubles lie between a and b.
double UlpsApart(double a, double b) {
  return std::fabs(a - b) / std::fabs(std::nextafter(a, 2 * a) - a);
}

TEST(LognormalSum, ASingleTermGivesBackItsOwnLognormal) {
  // Variances are stored as doubles: values squared stay above their range.
  for (const double gsd : {1.0, 1.0000001, 1.01, 1.5, 2.0, 3.7, 10.0, 100.0}) {
    for (const double value : {1e-140, 3.3e-17, 2.5e-9, 0.7, 4.1e12}) {
      Moments sum;
      AddLognormalTerm(value, std::log(gsd), sum);
      // Exact intakes that add nothing change nothing.
      AddLognormalTerm(0, 0, sum);
      const auto matched = MatchLognormal(sum);
      ASSERT_TRUE(matched.has_value());
      EXPECT_LE(UlpsApart(matched->gm, value), 4) << gsd << " " << value;
      EXPECT_LE(UlpsApart(matched->gsd, gsd), 4) << gsd << " " << value;
    }
  }
}

TEST(LognormalSum, MomentsAddAndPercentilesBoundNinetyPercent) {
  // Two terms: 2 at GSD e (sigma 1) and 3 known exactly.
  Moments sum;
  AddLognormalTerm(2, 1, sum);
  AddLognormalTerm(3, 0, sum);
  const double e = std::exp(1.0);
  EXPECT_NEAR(sum.mean, 2 * std::sqrt(e) + 3, 1e-15);
  EXPECT_NEAR(sum.variance, 4 * e * (e - 1), 1e-14);
  const auto matched = MatchLognormal(sum);
  ASSERT_TRUE(matched.has_value());
  // Independently: the lognormal's own mean and variance, and its CDF at
  // the percentiles (Phi(z) = erfc(-z / sqrt 2) / 2).
  const double sigma = std::log(matched->gsd);
  EXPECT_NEAR(matched->gm * std::exp(sigma * sigma / 2), sum.mean, 1e-14);
  EXPECT_NEAR(matched->gm * matched->gm * std::exp(sigma * sigma) * std::expm1(sigma * sigma),
              sum.variance, 1e-13);
  const auto cdf = [&](double x) {
    return std::erfc(-std::log(x / matched->gm) / sigma / std::sqrt(2.0)) / 2;
  };
  EXPECT_NEAR(cdf(matched->p05), 0.05, 1e-14);
  EXPECT_NEAR(cdf(matched->p95), 0.95, 1e-14);
  // A value with no mean above 0 has no lognormal.
  EXPECT_FALSE(MatchLognormal({}).has_value());
  EXPECT_FALSE(MatchLognormal({-1e-20, 0}).has_value());
}

}  // namespace
}  // namespace quillmore::integration
