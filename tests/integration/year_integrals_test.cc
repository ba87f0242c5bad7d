#include "integration/year_integrals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "integration/extended.h"
#include "integration/hermite_integral.h"
#include "integration/hermite_slopes.h"
#include "integration/tail.h"

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

PieceIntegrals::Dose YearDose(const PieceIntegrals& curve, const std::vector<DoseWindow>& windows,
                              std::span<const double> x) {
  WindowGeometry geometry;
  geometry.Set(x, windows);
  return curve.Sum(geometry);
}

// The windows of one year [t1, t2) of an acute intake, and of one spread over [s0, s1).
std::vector<DoseWindow> Acute(double intake, double t1, double t2) {
  std::vector<DoseWindow> windows;
  AcuteWindows(intake, t1, t2, windows);
  return windows;
}

std::vector<DoseWindow> Spread(double s0, double s1, double t1, double t2) {
  std::vector<DoseWindow> windows;
  SpreadWindows(s0, s1, t1, t2, windows);
  return windows;
}

double Dose(const PieceIntegrals& curve, const std::vector<DoseWindow>& windows,
            std::span<const double> x) {
  return YearDose(curve, windows, x).value;
}

// The cubic through (x1, f1) and (x2, f2) with slopes d1, d2, evaluated
// point by point from the Hermite basis.
Extended CubicAt(double x1, double x2, double f1, double f2, double d1, double d2, Extended t) {
  const Extended h = Extended(x2) - x1;
  const Extended s = (t - x1) / h, r = 1 - s;
  return (1 + 2 * s) * r * r * f1 + s * r * r * h * d1 + s * s * (3 - 2 * s) * f2 -
         s * s * r * h * d2;
}

// Gauss-Legendre rule of `n` nodes on [-1, 1] (n = 2 or 5).
std::vector<std::pair<Extended, Extended>> GaussRule(int n) {
  if (n == 2) return {{-1 / std::sqrt(3.0L), 1}, {1 / std::sqrt(3.0L), 1}};
  const Extended a = std::sqrt(5 - 2 * std::sqrt(10.0L / 7)) / 3;
  const Extended b = std::sqrt(5 + 2 * std::sqrt(10.0L / 7)) / 3;
  const Extended wa = (322 + 13 * std::sqrt(70.0L)) / 900, wb = (322 - 13 * std::sqrt(70.0L)) / 900;
  return {{-b, wb}, {-a, wa}, {0, 128.0L / 225}, {a, wa}, {b, wb}};
}

// The integral of g over [a, b] by `segments` panels of the 5-point rule
// (exact for polynomials of degree 9 on each panel), in extended precision.
template <typename G>
Extended Quadrature(G g, Extended a, Extended b, int segments = 1) {
  Extended sum = 0;
  const Extended width = (b - a) / segments;
  for (int k = 0; k < segments; ++k) {
    const Extended mid = a + (k + 0.5L) * width;
    for (const auto& [node, weight] : GaussRule(5))
      sum += weight * width / 2 * g(mid + node * width / 2);
  }
  return sum;
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
    SpreadWindows(0, 730, t1, t1 + 365, windows);
    return Dose(curve, windows, x);
  };
  EXPECT_NEAR(year(0), 2e-9 * 365 * 365 / 2 / 730, 1e-22);  // 1e-14 relative
  EXPECT_NEAR(year(365), 2e-9 * (730.0 * 365 - 365.0 * 365 / 2) / 730, 1e-20);
  EXPECT_NEAR(year(3650), 2e-9 * 365, 1e-21);
  EXPECT_EQ(year(-365), 0);
}

// Past the data the exponential tail is integrated in closed form: an acute
// year against the difference of two exponentials, a spread year wholly past
// the data against its second difference, a spread year across the last time
// against a quadrature of the dose from intake over the year's days; a window
// from intake is the tables' dose to the last time plus the tail, bit for bit.
TEST(YearIntegralsTest, TailsPastTheDataInClosedForm) {
  const std::vector<double> x{1, 10, 100, 1000}, f{4e-9, 3e-9, 2e-9, 1e-9};
  std::vector<double> d(4);
  HermiteSlopes(x, f, d);
  const Extended rate = 1e-9, decay = std::log(2.0L) / 900;  // halved over the last interval
  const auto past = [&](Extended u) { return std::exp(-decay * (u - 1000)); };
  const PieceIntegrals curve(x, f, d, Tail::kExponential);
  const PieceIntegrals::Dose late = YearDose(curve, Acute(5, 3005, 3370), x);
  const double lateExact = Stored(rate / decay * (past(3000) - past(3365)));
  EXPECT_NEAR(late.value, lateExact, 1e-14 * lateExact);
  EXPECT_EQ(late.tail, late.value);

  const PieceIntegrals::Dose first = YearDose(curve, Acute(5, 0, 2005), x);
  const TailCurve tail = TailCurve::Of(Tail::kExponential, 100, 1000, 2e-9, 1e-9);
  EXPECT_EQ(first.value,
            Stored(Extended(HermiteIntegral(x, f, d, 0.0, 1000)) + tail.Integral(0, 1000)));
  EXPECT_EQ(first.tail, tail.Integral(0, 1000));
  EXPECT_EQ(first.extrapolation, Extrapolation::kBounded);

  // Over [0, 730), the year [2000, 2365): every day past the data.
  const PieceIntegrals::Dose wholly = YearDose(curve, Spread(0, 730, 2000, 2365), x);
  const double whollyExact =
      Stored(rate / (decay * decay * 730) * (past(1270) - past(1635) - past(2000) + past(2365)));
  EXPECT_NEAR(wholly.value, whollyExact, 1e-13 * whollyExact);
  EXPECT_NEAR(wholly.tail, whollyExact, 1e-13 * whollyExact);

  // The year [800, 1165): u from 70 to 1165, across the last time. The dose
  // from intake to u, R(u), is the coefficient up to 1000 and the tail's
  // integral after; the year's dose is the mean over the days of intake of
  // R(t - s0) - R(t - s1) integrated over t, piecewise smooth between 830
  // (t - s1 = 100) and 1000 (t - s0 = 1000).
  const auto tailDose = [&](Extended u) { return u > 1000 ? rate / decay * (1 - past(u)) : 0; };
  const auto dose = [&](Extended u) {
    if (u <= 0) return Extended(0);
    const double within = static_cast<double>(std::min(u, Extended(1000)));
    return HermiteIntegral(x, f, d, 0.0, within) + tailDose(u);
  };
  const auto across = [&](auto R) {
    const auto g = [&](Extended t) { return (R(t) - R(t - 730)) / 730; };
    return Quadrature(g, 800, 830, 8) + Quadrature(g, 830, 1000, 8) + Quadrature(g, 1000, 1165, 8);
  };
  const PieceIntegrals::Dose straddling = YearDose(curve, Spread(0, 730, 800, 1165), x);
  const double straddlingExact = Stored(across(dose)), straddlingTail = Stored(across(tailDose));
  EXPECT_NEAR(straddling.value, straddlingExact, 1e-12 * straddlingExact);
  EXPECT_NEAR(straddling.tail, straddlingTail, 1e-12 * straddlingTail);
  EXPECT_GT(straddling.tail, 0);
  // The zero tail takes nothing past the data.
  const PieceIntegrals::Dose zero =
      YearDose(PieceIntegrals(x, f, d, Tail::kZero), Spread(0, 730, 800, 1165), x);
  EXPECT_EQ(zero.tail, 0);
  EXPECT_NEAR(zero.value, straddlingExact - straddlingTail, 1e-12 * straddlingExact);

  // A last rate that does not fall is kept: a year wholly past the data gets
  // it on each of its days, from an acute or a spread intake.
  const std::vector<double> rising{1e-9, 2e-9, 3e-9, 4e-9};
  std::vector<double> e(4);
  HermiteSlopes(x, rising, e);
  const PieceIntegrals kept(x, rising, e, Tail::kExponential);
  EXPECT_TRUE(kept.tailCurve().keepsLastRate());
  EXPECT_NEAR(YearDose(kept, Acute(0, 2000, 2365), x).value, 4e-9 * 365, 1e-22);
  EXPECT_NEAR(YearDose(kept, Spread(0, 730, 2000, 2365), x).value, 4e-9 * 365, 1e-22);
}

// A year far from both ends of a long piece keeps full precision, from an
// acute or a spread intake: against the piece's cubic taken at Gauss points
// (exact for these polynomials) point by point, with no cancellation there.
TEST(YearIntegralsTest, PartialPiecesKeepTheirDigits) {
  const std::vector<double> x{10, 1000, 16200, 36500}, f{3e-9, 2e-9, 1e-9, 2e-11};
  std::vector<double> d(4);
  HermiteSlopes(x, f, d);
  const PieceIntegrals curve(x, f, d);
  const auto p = [&](Extended u) { return CubicAt(16200, 36500, f[2], f[3], d[2], d[3], u); };
  const auto over = [&](Extended a, Extended b) {  // exact for the cubic
    Extended sum = 0;
    for (const auto& [node, weight] : GaussRule(2))
      sum += weight * (b - a) / 2 * p((a + b) / 2 + node * (b - a) / 2);
    return sum;
  };
  double worst = 0;
  for (double t1 = 16600; t1 + 730 < 36500; t1 += 365) {
    std::vector<DoseWindow> windows;
    AcuteWindows(0, t1, t1 + 365, windows);
    const Extended exact = over(t1, t1 + 365);
    worst =
        std::max(worst, static_cast<double>(std::fabs(Dose(curve, windows, x) - exact) / exact));
    // Spread over [0, days): the year's days weighted by the days of intake
    // before them, a polynomial of degree 4 in t. Its rising, flat and
    // falling stretches share one piece, the flat one down to a day.
    for (const double days : {200.0, 364.0, 366.0}) {
      windows.clear();
      SpreadWindows(0, days, t1, t1 + 365, windows);
      const auto g = [&](Extended t) { return over(t - days, t) / days; };
      const Extended spreadExact = Quadrature(g, t1, t1 + 365);
      worst = std::max(worst, static_cast<double>(std::fabs(Dose(curve, windows, x) - spreadExact) /
                                                  spreadExact));
    }
  }
  EXPECT_LT(worst, 2e-15);
}

// Under the cubic tail each year is judged by the continued last piece over
// its own stretch past the data: none within the data, bounded while the
// piece stays within [0, f_N] there, unbounded where it leaves that range,
// even between two ends that lie inside it. Other tails are never unbounded.
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
    return YearDose(curve, windows, x).extrapolation;
  };
  EXPECT_EQ(status(flat, d, -365), Extrapolation::kNone);
  EXPECT_EQ(status(flat, d, 0), Extrapolation::kNone);
  EXPECT_EQ(status(flat, d, 900), Extrapolation::kBounded);
  EXPECT_EQ(status(flat, d, 3650), Extrapolation::kBounded);
  EXPECT_EQ(status(rising, e, 3650), Extrapolation::kUnbounded);
  // One geometry reused from period to period starts each anew (the fourth
  // from intake past the data): the flat last piece continues at 3e-9 a day,
  // the same in every year wholly past the data.
  const PieceIntegrals level(x, flat, d);
  WindowGeometry reused;
  for (const auto& [t1, t2] : {std::pair{3650.0, 4015.0},
                               {0.0, 365.0},
                               {900.0, 1265.0},
                               {-100.0, 1100.0},
                               {7300.0, 7665.0}}) {
    std::vector<DoseWindow> windows;
    AcuteWindows(0, t1, t2, windows);
    reused.Set(x, windows);
    const PieceIntegrals::Dose fresh = YearDose(level, windows, x);
    EXPECT_EQ(level.Sum(reused).value, fresh.value) << t1;
    EXPECT_EQ(level.Sum(reused).tail, fresh.tail) << t1;
  }
  EXPECT_NEAR(level.Sum(reused).value, 3e-9 * 365, 1e-15 * 3e-9 * 365);
  EXPECT_EQ(level.Sum(reused).tail, level.Sum(reused).value);
  // The bound is the last rate's: a tail climbing from 2e-9 adds more than
  // 2e-9 x 365 a year ten years on, far less than the first rate's 1e-6 x 365.
  const std::vector<double> steep{1e-6, 1e-9, 1e-9, 2e-9};
  std::vector<double> g(4);
  HermiteSlopes(x, steep, g);
  const PieceIntegrals tail(x, steep, g);
  std::vector<DoseWindow> windows;
  AcuteWindows(0, 3650, 4015, windows);
  const PieceIntegrals::Dose year = YearDose(tail, windows, x);
  EXPECT_GT(year.value, 2e-9 * 365 * 1.5);
  EXPECT_LT(year.value, 1e-6 * 365 / 10);
  EXPECT_EQ(year.extrapolation, Extrapolation::kUnbounded);
  // The tables' rule against the dose to the data's end stays for coefficients.
  EXPECT_EQ(JudgeExtension(-2e-3, 1, 10, 1), Extrapolation::kUnbounded);
  EXPECT_EQ(JudgeExtension(-0.5e-3, 1, 10, 1), Extrapolation::kBounded);  // within 1e-3 x 1
  EXPECT_EQ(JudgeExtension(10.0009, 1, 10, 1), Extrapolation::kBounded);

  // Last piece over [100, 1000] (h = 900) with chosen end slopes. Past 1000,
  // v = u / h: `dips` is 1e-9 (1 - 3v^2 - 2v^3), 0 at v = 1/2 and below
  // after; `bulges` is 1e-9 + 1e-12 u (1 - 2v)(1 + v), above its last rate
  // for v in (0, 1/2) and back to it at v = 1/2.
  const std::vector<double> dips{1, 1, 0, 1e-9}, dipSlopes{0, 0, 0, 0};
  const std::vector<double> bulges{1e-9, 1e-9, 1e-9, 1e-9}, bulgeSlopes{0, 0, -3e-12, 1e-12};
  const auto judged = [&](const std::vector<double>& f, const std::vector<double>& s, Tail kind,
                          const std::vector<DoseWindow>& days) {
    return YearDose(PieceIntegrals(x, f, s, kind), days, x).extrapolation;
  };
  EXPECT_EQ(judged(dips, dipSlopes, Tail::kCubic, Acute(0, 1000, 1440)), Extrapolation::kBounded);
  EXPECT_EQ(judged(dips, dipSlopes, Tail::kCubic, Acute(0, 1100, 1465)), Extrapolation::kUnbounded);
  EXPECT_EQ(judged(dips, dipSlopes, Tail::kExponential, Acute(0, 1100, 1465)),
            Extrapolation::kBounded);
  EXPECT_EQ(judged(dips, dipSlopes, Tail::kZero, Acute(0, 1100, 1465)), Extrapolation::kBounded);
  // Both ends at the last rate, the middle far above it.
  EXPECT_EQ(judged(bulges, bulgeSlopes, Tail::kCubic, Acute(0, 1000, 1450)),
            Extrapolation::kUnbounded);
  EXPECT_EQ(judged(bulges, bulgeSlopes, Tail::kCubic, Acute(0, 500, 1000)), Extrapolation::kNone);
  // A spread intake over [0, 730) judges u from t1 - 730 to t2: the year
  // [1100, 1440) reaches u = 1440 (inside), [1100, 1465) the dip; [1460,
  // 1767) ends inside the bulging piece (back at 0 near u = 1767) and starts
  // at u = 730, before the bulge.
  EXPECT_EQ(judged(dips, dipSlopes, Tail::kCubic, Spread(0, 730, 1100, 1440)),
            Extrapolation::kBounded);
  EXPECT_EQ(judged(dips, dipSlopes, Tail::kCubic, Spread(0, 730, 1100, 1465)),
            Extrapolation::kUnbounded);
  EXPECT_EQ(judged(bulges, bulgeSlopes, Tail::kCubic, Spread(0, 730, 1460, 1760)),
            Extrapolation::kUnbounded);
  EXPECT_EQ(judged(bulges, bulgeSlopes, Tail::kCubic, Acute(0, 1460, 1760)),
            Extrapolation::kBounded);
}

}  // namespace
}  // namespace quillmore::integration
