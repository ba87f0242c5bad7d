#include "integration/curve_integrator.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "integration/hermite_integral.h"
#include "integration/hermite_slopes.h"

namespace quillmore::integration {
namespace {

// The integrator is a faster route to the very same numbers: compare bit for
// bit with HermiteIntegral over limits below, on, between and beyond the points.
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
    std::uniform_real_distribution<double> limit(x.front() - 3, x.back() + 3);
    std::vector<double> lowers{0, x.front(), x[1], x.back(), limit(rng), limit(rng)};
    for (double a : lowers) {
      const CurveIntegrator integrator(x, f, d, a);
      std::vector<double> uppers{a, 0, x.back() + 10};
      for (std::size_t i = 0; i < x.size(); i += 3) uppers.push_back(x[i]);
      for (int k = 0; k < 40; ++k) uppers.push_back(limit(rng));
      for (double b : uppers) {
        bool skipCheck = false;
        int status = 0;
        ASSERT_EQ(integrator.Integral(b), HermiteIntegral(x, f, d, skipCheck, a, b, status))
            << "trial " << trial << " a " << a << " b " << b;
      }
    }
  }
}

}  // namespace
}  // namespace quillmore::integration
