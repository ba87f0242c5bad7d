// Exact integrals of the piecewise cubic Hermite curve through points
// (x[i], f[i]) with slopes d[i]; the first and last pieces are continued
// beyond the tabulated range.
#pragma once

#include <cstddef>
#include <span>

#include "integration/extended.h"

namespace quillmore::integration {

// What the integral of one cubic piece from a to b takes from the times alone:
// formed once, it serves every curve on the same times, and gives bit for bit
// what forming it anew would.
class CubicPiece {
 public:
  CubicPiece() = default;
  // The piece over [x1, x2] integrated from a to b; a and b may lie outside it.
  CubicPiece(double x1, double x2, double a, double b);
  // The integral for values f1, f2 and slopes d1, d2 at x1, x2; 0 when x1 == x2.
  // Inline: it runs for every curve and limit.
  double Integral(double f1, double f2, double d1, double d2) const {
    if (empty_) return 0;
    const double fterm = Stored(fWeight1_ * f1 + fWeight2_ * f2);
    const double dterm = Stored(sixthWidth_ * (dWeight1_ * d1 + dWeight2_ * d2));
    return Stored(halfWidth_ * (Extended(dterm) + fterm));
  }

 private:
  bool empty_ = true;
  long double fWeight1_ = 0, fWeight2_ = 0;  // of the values
  long double dWeight1_ = 0, dWeight2_ = 0;  // of the slopes
  long double sixthWidth_ = 0, halfWidth_ = 0;
};

// Integral from a to b of the cubic with value f1 and slope d1 at x1 and value
// f2 and slope d2 at x2; a and b may lie outside [x1, x2]. 0 when x1 == x2.
double CubicPieceIntegral(double x1, double x2, double f1, double f2, double d1, double d2,
                          double a, double b);

// The width of the interval from x[i] to x[i+1], as every sum uses it.
double IntervalWidth(std::span<const double> x, std::size_t i);

// One step of the span sum: `sum` plus twice the integral over an interval of
// width `h` (IntervalWidth) and `sixth` = h / 6 at extended precision, with
// values f0, f1 and slopes d0, d1 at its ends. Shared so that every running
// sum rounds alike; inline, as it runs once per point of every curve.
inline double AddIntervalTwice(double h, long double sixth, double f0, double f1, double d0,
                               double d1, double sum) {
  return Stored(((Extended(f1) + f0) + sixth * (Extended(d0) - d1)) * h + sum);
}

// Integral from x[ia] to x[ib] (point indices from 0; negative when ib < ia).
// Preconditions: ia, ib < N = x.size(); f and d hold N entries too.
double HermiteSpanIntegral(std::span<const double> x, std::span<const double> f,
                           std::span<const double> d, std::size_t ia, std::size_t ib);

// Integral from a to b (negative when b < a); limits outside [x[0], x[N-1]]
// use the continued end pieces. Preconditions: N >= 2, x non-decreasing (equal
// neighbours give zero-width pieces that contribute 0), as HermiteSlopes
// ensures.
double HermiteIntegral(std::span<const double> x, std::span<const double> f,
                       std::span<const double> d, double a, double b);

}  // namespace quillmore::integration
