#include "integration/year_integrals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "integration/hermite_integral.h"
#include "integration/hermite_slopes.h"

namespace quillmore::integration {
namespace {

// A decaying curve tabulated from 0.01 d to 36500 d, with its slopes.
struct DecayCurve {
  std::vector<double> x, f, d;
  DecayCurve() {
    for (double t = 0.01; t < 40000; t *= 1.7) {
      x.push_back(t);
      f.push_back(1e-9 * std::exp(-t / 3000) + 1e-12 / (1 + t));
    }
    d.resize(x.size());
    HermiteSlopes(x, f, d);
  }
};

double Dose(const PieceIntegrals& curve, std::vector<DoseWindow> windows,
            std::span<const double> x) {
  FindPieces(x, windows);
  return curve.Sum(windows).value;
}

// Year by year from an acute intake, the doses add up to the coefficient to
// the end of the last year; a year decades later is positive, not lost in a
// subtraction.
TEST(YearIntegralsTest, AcuteYearsSumToTheCoefficient) {
  const DecayCurve c;
  const PieceIntegrals curve(c.x, c.f, c.d);
  const double intake = 10957 + 0.0;  // any whole day number
  long double sum = 0;
  for (int year = 0; year < 150; ++year) {
    std::vector<DoseWindow> windows;
    AcuteWindows(intake, intake - 100 + 365.0 * year, intake - 100 + 365.0 * (year + 1), windows);
    const double dose = Dose(curve, windows, c.x);
    EXPECT_GT(dose, 0) << year;
    sum += dose;
    const double coefficient = HermiteIntegral(c.x, c.f, c.d, 0.0, 365.0 * (year + 1) - 100);
    EXPECT_NEAR(static_cast<double>(sum), coefficient, 1e-13 * coefficient);
  }
  std::vector<DoseWindow> before;
  AcuteWindows(intake, intake - 400, intake - 35, before);
  EXPECT_TRUE(before.empty());
}

// With a constant rate c every day taken in gives c per day after it: a
// spread intake of 1 Bq over [0, 730) gives c x 365^2 / 2 / 730 in its first
// year, c x (730 x 365 - 365^2 / 2) / 730 in its second, c x 365 a year after.
TEST(YearIntegralsTest, SpreadIntakeOfAConstantRate) {
  const std::vector<double> x{0.5, 10, 2000}, f{2e-9, 2e-9, 2e-9};
  std::vector<double> d(3);
  HermiteSlopes(x, f, d);
  const PieceIntegrals curve(x, f, d);
  const auto year = [&](double t1) {
    std::vector<DoseWindow> windows;
    SpreadWindows(0, 730, t1, t1 + 365, x, windows);
    return Dose(curve, windows, x);
  };
  EXPECT_NEAR(year(0), 2e-9 * 365 * 365 / 2 / 730, 1e-22);  // 1e-14 relative
  EXPECT_NEAR(year(365), 2e-9 * (730.0 * 365 - 365.0 * 365 / 2) / 730, 1e-20);
  EXPECT_NEAR(year(3650), 2e-9 * 365, 1e-21);
  EXPECT_EQ(year(-365), 0);
}

// The continued last piece: none while the year stays within the data,
// bounded for a flat tail, unbounded for one that climbs far above its last rate.
TEST(YearIntegralsTest, ExtrapolationStatusOfTheContinuedPiece) {
  const std::vector<double> x{1, 10, 100, 1000}, flat{5e-9, 3e-9, 3e-9, 3e-9},
      rising{5e-9, 1e-9, 2e-9, 4e-9};
  std::vector<double> d(4), e(4);
  HermiteSlopes(x, flat, d);
  HermiteSlopes(x, rising, e);
  const auto status = [&](const std::vector<double>& f, const std::vector<double>& s, double t1) {
    const PieceIntegrals curve(x, f, s);
    std::vector<DoseWindow> windows;
    AcuteWindows(0, t1, t1 + 365, windows);
    FindPieces(x, windows);
    return curve.Sum(windows).extrapolation;
  };
  EXPECT_EQ(status(flat, d, -365), Extrapolation::kNone);
  EXPECT_EQ(status(flat, d, 0), Extrapolation::kNone);
  EXPECT_EQ(status(flat, d, 900), Extrapolation::kBounded);
  EXPECT_EQ(status(flat, d, 3650), Extrapolation::kBounded);
  EXPECT_EQ(status(rising, e, 3650), Extrapolation::kUnbounded);
  // The bound is the last rate's: a tail climbing from 2e-9 adds more than
  // 2e-9 x 365 a year ten years on, far less than the first rate's 1e-6 x 365.
  const std::vector<double> steep{1e-6, 1e-9, 1e-9, 2e-9};
  std::vector<double> g(4);
  HermiteSlopes(x, steep, g);
  const PieceIntegrals tail(x, steep, g);
  std::vector<DoseWindow> windows;
  AcuteWindows(0, 3650, 4015, windows);
  FindPieces(x, windows);
  const PieceIntegrals::Dose year = tail.Sum(windows);
  EXPECT_GT(year.value, 2e-9 * 365 * 1.5);
  EXPECT_LT(year.value, 1e-6 * 365 / 10);
  EXPECT_EQ(year.extrapolation, Extrapolation::kUnbounded);
  EXPECT_EQ(JudgeExtension(-2e-3, 1, 10, 1), Extrapolation::kUnbounded);
  EXPECT_EQ(JudgeExtension(-0.5e-3, 1, 10, 1), Extrapolation::kBounded);  // within 1e-3 x 1
  EXPECT_EQ(JudgeExtension(10.0009, 1, 10, 1), Extrapolation::kBounded);
}

}  // namespace
}  // namespace quillmore::integration
