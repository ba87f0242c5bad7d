#include "integration/hermite_integral.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "integration/hermite_slopes.h"

namespace quillmore::integration {
namespace {

struct Curve {
  std::vector<double> x, f, d;

  double Integral(double a, double b) const { return HermiteIntegral(x, f, d, a, b); }
};

Curve WithSlopes(std::vector<double> x, std::vector<double> f) {
  Curve c{std::move(x), std::move(f), {}};
  c.d.resize(c.x.size());
  EXPECT_GE(HermiteSlopes(c.x, c.f, c.d), 0);
  return c;
}

// The cubic Hermite curve evaluated from its basis functions, independently of
// the integral's formulas: first piece left of x[1], last piece right of x[N-2].
long double Evaluate(const Curve& c, long double t) {
  std::size_t i = 0;
  while (i + 2 < c.x.size() && t > c.x[i + 1]) ++i;
  const long double h = c.x[i + 1] - c.x[i];
  const long double s = (t - c.x[i]) / h;
  const long double h00 = (1 + 2 * s) * (1 - s) * (1 - s);
  const long double h10 = s * (1 - s) * (1 - s);
  const long double h01 = s * s * (3 - 2 * s);
  const long double h11 = s * s * (s - 1);
  return h00 * c.f[i] + h10 * h * c.d[i] + h01 * c.f[i + 1] + h11 * h * c.d[i + 1];
}

// Composite 3-point Gauss-Legendre over [a, b] of the curve (or of its
// magnitude), split at every data point.
long double GaussLegendre(const Curve& c, double a, double b, bool magnitude = false) {
  if (b < a) return -GaussLegendre(c, b, a, magnitude);
  std::vector<long double> cuts{a};
  for (double xi : c.x) {
    if (xi > a && xi < b) cuts.push_back(xi);
  }
  cuts.push_back(b);
  const long double node = std::sqrt(0.6L);
  const std::array<long double, 3> nodes = {-node, 0, node};
  const std::array<long double, 3> weights = {5.0L / 9, 8.0L / 9, 5.0L / 9};
  constexpr int kSteps = 16;
  long double sum = 0;
  for (std::size_t p = 0; p + 1 < cuts.size(); ++p) {
    const long double step = (cuts[p + 1] - cuts[p]) / kSteps;
    for (int s = 0; s < kSteps; ++s) {
      const long double mid = cuts[p] + (s + 0.5L) * step;
      for (std::size_t q = 0; q < 3; ++q) {
        const long double value = Evaluate(c, mid + nodes[q] * step / 2);
        sum += weights[q] * step / 2 * (magnitude ? std::fabs(value) : value);
      }
    }
  }
  return sum;
}

// The worked examples' exact values are rationals of the piecewise cubic.
TEST(HermiteIntegralTest, WorkedExampleWithPeak) {
  const Curve c{{0.5, 1, 2, 5, 10}, {0, 8, 6, 2, 1}, {22, 0, -48.0 / 29, -96.0 / 259, 0}};
  EXPECT_NEAR(c.Integral(0, 0.75), -141.0 / 128, 1e-14);  // first piece below zero
  EXPECT_NEAR(c.Integral(0, 3), 2628121.0 / 202797, 1e-12);
  EXPECT_NEAR(c.Integral(0, 3), 12.95936824, 5e-9);
  EXPECT_NEAR(c.Integral(0, 12), 156018613.0 / 5633250, 1e-12);
  EXPECT_NEAR(c.Integral(0, 12), 27.69602148, 5e-9);
}

TEST(HermiteIntegralTest, WorkedExampleWithFlatEnd) {
  const Curve c{{1, 2, 3, 4}, {4, 2, 1, 1}, {-2.5, -4.0 / 3, 0, 0.5}};
  EXPECT_NEAR(c.Integral(0, 1.5), 899.0 / 128, 1e-14);
  EXPECT_NEAR(c.Integral(0, 3), 173.0 / 18, 1e-13);
  EXPECT_NEAR(c.Integral(0, 7), 629.0 / 18, 1e-12);
}

TEST(HermiteIntegralTest, LimitCases) {
  const Curve c = WithSlopes({1, 2, 4, 7}, {1, 3, 2, 5});
  EXPECT_EQ(c.Integral(0, 0), 0.0);
  EXPECT_EQ(c.Integral(1.5, 1.5), 0.0);
  // Limits on data points: the span sum alone, either way round.
  EXPECT_EQ(c.Integral(2, 7), HermiteSpanIntegral(c.x, c.f, c.d, 1, 3));
  EXPECT_EQ(c.Integral(7, 2), HermiteSpanIntegral(c.x, c.f, c.d, 3, 1));
  EXPECT_EQ(HermiteSpanIntegral(c.x, c.f, c.d, 2, 2), 0.0);
  // Both limits inside one interval: one piece.
  EXPECT_EQ(c.Integral(4.5, 6), CubicPieceIntegral(4, 7, 2, 5, c.d[2], c.d[3], 4.5, 6));
  EXPECT_EQ(c.Integral(2.5, 3.5), CubicPieceIntegral(2, 4, 3, 2, c.d[1], c.d[2], 2.5, 3.5));
  EXPECT_EQ(CubicPieceIntegral(2, 2, 1, 5, 3, 3, 0, 9), 0.0);
}

TEST(HermiteIntegralTest, EqualNeighboursPassAndContributeNothing) {
  const Curve c{{0, 1, 1, 2}, {1, 1, 1, 1}, {0, 0, 0, 0}};
  EXPECT_DOUBLE_EQ(c.Integral(0, 2), 2.0);
}

TEST(HermiteIntegralTest, TwoPointsContinueTheOneCubicBothWays) {
  const Curve c{{1, 2}, {1, 2}, {-1, 3}};
  for (double b : {-2.0, 0.5, 1.5, 3.0, 6.0}) {
    EXPECT_NEAR(c.Integral(-1, b), static_cast<double>(GaussLegendre(c, -1, b)), 1e-12) << b;
  }
}

TEST(HermiteIntegralTest, StraightLineGivesTrapezoidAnywhere) {
  const auto line = [](double t) { return 0.75 * t - 2; };
  const std::vector<double> x{0.5, 1, 3, 3.5, 8, 20};
  Curve c{x, {}, std::vector<double>(x.size(), 0.0)};
  for (double xi : x) c.f.push_back(line(xi));
  std::vector<double> slopes(x.size());
  ASSERT_EQ(HermiteSlopes(c.x, c.f, slopes), 0);
  for (double s : slopes) EXPECT_NEAR(s, 0.75, 1e-15);
  c.d.assign(x.size(), 0.75);
  const std::vector<double> limits{-5, 0, 0.5, 0.7, 2, 3, 3.2, 8, 15, 20, 31};
  for (double a : limits) {
    for (double b : limits) {
      const double trapezoid = (b - a) * (line(a) + line(b)) / 2;
      EXPECT_NEAR(c.Integral(a, b), trapezoid, 1e-12 * (1 + std::fabs(trapezoid))) << a << " " << b;
    }
  }
}

class RandomCurves : public ::testing::Test {
 protected:
  Curve Next() {
    std::uniform_int_distribution<int> count(2, 25);
    std::uniform_real_distribution<double> gap(0.01, 3);
    std::uniform_real_distribution<double> value(-5, 5);
    const int n = count(rng_);
    std::vector<double> x{value(rng_)}, f{value(rng_)};
    for (int i = 1; i < n; ++i) {
      x.push_back(x.back() + gap(rng_));
      f.push_back(value(rng_));
    }
    return WithSlopes(x, f);
  }
  double LimitFor(const Curve& c) {
    const double width = c.x.back() - c.x.front();
    std::uniform_real_distribution<double> at(c.x.front() - width / 4, c.x.back() + width / 4);
    return at(rng_);
  }
  // Rounding grows with the size of the values summed, not of the result.
  static double Tolerance(const Curve& c, double a, double b) {
    return 1e-13 * static_cast<double>(1 + std::fabs(GaussLegendre(c, a, b, true)));
  }
  std::mt19937 rng_{20261207};
};

TEST_F(RandomCurves, MatchGaussLegendreOfTheSameCubics) {
  for (int trial = 0; trial < 300; ++trial) {
    const Curve c = Next();
    const double a = LimitFor(c);
    const double b = LimitFor(c);
    const long double reference = GaussLegendre(c, a, b);
    EXPECT_NEAR(c.Integral(a, b), static_cast<double>(reference), Tolerance(c, a, b))
        << "trial " << trial;
  }
}

TEST_F(RandomCurves, AreAdditiveAndNegateForReversedLimits) {
  for (int trial = 0; trial < 300; ++trial) {
    const Curve c = Next();
    std::array<double, 3> l{LimitFor(c), LimitFor(c), LimitFor(c)};
    const double whole = c.Integral(l[0], l[2]);
    const double parts = c.Integral(l[0], l[1]) + c.Integral(l[1], l[2]);
    const double lo = *std::min_element(l.begin(), l.end());
    const double hi = *std::max_element(l.begin(), l.end());
    EXPECT_NEAR(whole, parts, Tolerance(c, lo, hi)) << "trial " << trial;
    EXPECT_EQ(c.Integral(l[1], l[0]), -c.Integral(l[0], l[1]));
  }
}

TEST_F(RandomCurves, ThroughMonotoneDataDoNotOvershoot) {
  for (int trial = 0; trial < 100; ++trial) {
    Curve c = Next();
    std::sort(c.f.begin(), c.f.end());
    if (trial % 2 == 1) std::reverse(c.f.begin(), c.f.end());
    c = WithSlopes(c.x, c.f);
    for (std::size_t i = 0; i + 1 < c.x.size(); ++i) {
      const double lo = std::min(c.f[i], c.f[i + 1]);
      const double hi = std::max(c.f[i], c.f[i + 1]);
      long double previous = c.f[i];
      for (int s = 1; s <= 50; ++s) {
        const long double value = Evaluate(c, c.x[i] + (c.x[i + 1] - c.x[i]) * s / 50.0L);
        const long double tolerance = 1e-12L * (1 + std::fabs(hi));
        EXPECT_GE(value, lo - tolerance) << "trial " << trial << " interval " << i;
        EXPECT_LE(value, hi + tolerance) << "trial " << trial << " interval " << i;
        if (trial % 2 == 0)
          EXPECT_GE(value, previous - tolerance);
        else
          EXPECT_LE(value, previous + tolerance);
        previous = value;
      }
    }
  }
}

}  // namespace
}  // namespace quillmore::integration
