#include "integration/curve_integrator.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "integration/hermite_integral.h"
#include "integration/hermite_slopes.h"
#include "integration/rate_curve.h"

namespace quillmore::integration {
namespace {

// The integrator is a faster route to the very same numbers: compare bit for
// bit with HermiteIntegral over limits below, on, between and beyond the points,
// for a curve alone and for each curve of a pair.
TEST(CurveIntegratorTest, AgreesBitForBitWithHermiteIntegral) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> count(2, input::kMaxTimePoints);
  std::uniform_real_distribution<double> gap(1e-3, 5);
  std::uniform_real_distribution<double> value(-1, 10);
  for (int trial = 0; trial < 200; ++trial) {
    const int n = count(rng);
    std::vector<double> x{value(rng)}, f{value(rng)}, d(static_cast<std::size_t>(n));
    for (int i = 1; i < n; ++i) {
      x.push_back(x.back() + gap(rng));
      f.push_back(value(rng));
    }
    ASSERT_GE(HermiteSlopes(x, f, d), 0);
    const std::vector<double> g(f.rbegin(), f.rend());
    std::vector<double> e(d.size());
    ASSERT_GE(HermiteSlopes(x, g, e), 0);
    std::uniform_real_distribution<double> limit(x.front() - 3, x.back() + 3);
    std::vector<double> lowers{0, x.front(), x[1], x.back(), limit(rng), limit(rng)};
    for (double a : lowers) {
      std::vector<double> uppers{a, 0, x.back() + 10};
      for (std::size_t i = 0; i < x.size(); i += 3) uppers.push_back(x[i]);
      for (int k = 0; k < 40; ++k) uppers.push_back(limit(rng));
      std::vector<double> integrals(uppers.size()), first(uppers.size()), second(uppers.size());
      const CurveIntegrator integrator(x, a, uppers);
      integrator.Integrate(f, d, integrals);
      integrator.IntegrateTwo(f, d, first, g, e, second);
      for (std::size_t k = 0; k < uppers.size(); ++k) {
        ASSERT_EQ(integrals[k], HermiteIntegral(x, f, d, a, uppers[k]))
            << "trial " << trial << " a " << a << " b " << uppers[k];
        ASSERT_EQ(first[k], integrals[k]) << "trial " << trial << " b " << uppers[k];
        ASSERT_EQ(second[k], HermiteIntegral(x, g, e, a, uppers[k]))
            << "trial " << trial << " b " << uppers[k];
      }
    }
  }
}

// The plotted curve: through the tabulated rates, the derivative of the dose
// (an independent check of the cubic's value against its integral), and the
// dose the very coefficients of the table.
TEST(RateCurveTest, MeetsThePointsAndIsTheSlopeOfTheDose) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> ratio(1.2, 4);
  std::uniform_real_distribution<double> value(0.1, 10);
  TimeGrid grid;
  RateTable rates;
  rates.Reset(1);
  grid.SetCount(12);
  double t = 0.3;
  for (int i = 0; i < grid.count(); ++i, t *= ratio(rng)) {
    grid.at(i) = t;
    rates.at(kLowLet, 0, i) = value(rng);
    rates.at(kHighLet, 0, i) = value(rng);
  }
  const std::optional<RateCurve> curve = RateCurve::FromBlock(rates, grid, 'L', kLowLet, 0);
  ASSERT_TRUE(curve.has_value());
  const std::vector<double> doses = curve->Doses(grid.points());
  std::vector<double> slopes(12);
  ASSERT_GE(HermiteSlopes(grid.points(), rates.curve(kLowLet, 0, 12), slopes), 0);
  for (int i = 0; i < grid.count(); ++i) {
    EXPECT_EQ(curve->Rate(grid.at(i)), rates.at(kLowLet, 0, i)) << i;
    EXPECT_EQ(doses[static_cast<std::size_t>(i)],
              HermiteIntegral(grid.points(), rates.curve(kLowLet, 0, 12), slopes, 0, grid.at(i)));
  }
  for (double at : {0.1, 0.5, 2.0, 17.0, grid.at(11) * 1.3}) {
    const double h = at * 1e-4;
    const std::vector<double> around = curve->Doses(std::vector<double>{at - h, at + h});
    EXPECT_NEAR((around[1] - around[0]) / (2 * h), curve->Rate(at), 1e-6 * 10) << at;
  }

  // Not integrated by an "L" block: the zero curve, as the table's column.
  const std::optional<RateCurve> high = RateCurve::FromBlock(rates, grid, 'L', kHighLet, 0);
  EXPECT_EQ(high->Rate(5.0), 0.0);
  EXPECT_EQ(high->Doses(std::vector<double>{30.0}).front(), 0.0);
  // One point: the rate everywhere, and the table's "coefficient" is that rate.
  grid.SetCount(1);
  const std::optional<RateCurve> single = RateCurve::FromBlock(rates, grid, 'H', kLowLet, 0);
  EXPECT_TRUE(single->singlePoint());
  EXPECT_EQ(single->Rate(1e4), rates.at(kLowLet, 0, 0));
  EXPECT_EQ(single->Doses(std::vector<double>{7.0}).front(), rates.at(kLowLet, 0, 0));
  grid.SetCount(0);
  EXPECT_FALSE(RateCurve::FromBlock(rates, grid, 'L', kLowLet, 0).has_value());
  grid.SetCount(3);
  grid.at(2) = grid.at(1);
  EXPECT_FALSE(RateCurve::FromBlock(rates, grid, 'L', kLowLet, 0).has_value()) << "unordered";
}

TEST(RateCurveTest, LogSpacedTimesSpanTheRangeEvenly) {
  const std::vector<double> times = LogSpacedTimes(2, 2000, 50);
  ASSERT_EQ(times.size(), 151u);
  EXPECT_EQ(times.front(), 2);
  EXPECT_EQ(times.back(), 2000);
  EXPECT_NEAR(times[50], 20, 1e-12);
  EXPECT_EQ(LogSpacedTimes(2, 3.5, 50).back(), 3.5);
  EXPECT_TRUE(LogSpacedTimes(5, 4, 50).empty());
  EXPECT_TRUE(LogSpacedTimes(0, 4, 50).empty());
}

}  // namespace
}  // namespace quillmore::integration
