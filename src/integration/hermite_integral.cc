#include "integration/hermite_integral.h"

#include <algorithm>
#include <cstddef>

#include "integration/extended.h"

namespace quillmore::integration {

namespace {

struct PieceShape {
  double phi;  // weight of the value at the far end
  double psi;  // weight of the slope at the far end
};

// The cube is t x t x t so that a limit outside the piece (t < 0) keeps its sign.
PieceShape RisingShape(double t) {
  const double u = Stored(Extended(t) * t * t);
  return {Stored((2 - Extended(t)) * u), Stored((3 * Extended(t) - 4) * u)};
}

PieceShape FallingShape(double t) {
  const double u = Stored(Extended(t) * t * t);
  return {Stored((2 - Extended(t)) * u), Stored(-Extended(u) * (3 * Extended(t) - 4))};
}

// Returns 0 with `status` set when N < 2 or x decreases somewhere; equal
// neighbours pass, their zero-width pieces contribute 0.
bool CheckPoints(std::span<const double> x, int& status) {
  if (x.size() < 2) {
    status = kTooFewPoints;
    return false;
  }
  for (std::size_t i = 1; i < x.size(); ++i) {
    if (x[i - 1] > x[i]) {
      status = kNotIncreasing;
      return false;
    }
  }
  return true;
}

double Piece(std::span<const double> x, std::span<const double> f, std::span<const double> d,
             std::size_t il, std::size_t ir, double a, double b) {
  return CubicPieceIntegral(x[il], x[ir], f[il], f[ir], d[il], d[ir], a, b);
}

}  // namespace

double CubicPieceIntegral(double x1, double x2, double f1, double f2, double d1, double d2,
                          double a, double b) {
  if (x1 == x2) return 0;
  const double h = Stored(Extended(x2) - x1);
  const PieceShape a1 = RisingShape(Stored((Extended(a) - x1) / h));
  const PieceShape a2 = FallingShape(Stored((Extended(x2) - a) / h));
  const PieceShape b1 = RisingShape(Stored((Extended(b) - x1) / h));
  const PieceShape b2 = FallingShape(Stored((Extended(x2) - b) / h));
  const double fterm = Stored((Extended(a2.phi) - b2.phi) * f1 + (Extended(b1.phi) - a1.phi) * f2);
  const double dterm = Stored(
      (Extended(h) / 6) * ((Extended(a2.psi) - b2.psi) * d1 + (Extended(b1.psi) - a1.psi) * d2));
  return Stored((0.5L * h) * (Extended(dterm) + fterm));
}

double AddIntervalTwice(std::span<const double> x, std::span<const double> f,
                        std::span<const double> d, std::size_t i, double sum) {
  const double h = Stored(Extended(x[i + 1]) - x[i]);
  return Stored(
      ((Extended(f[i + 1]) + f[i]) + (Extended(h) / 6) * (Extended(d[i]) - d[i + 1])) * h + sum);
}

double HermiteSpanIntegral(std::span<const double> x, std::span<const double> f,
                           std::span<const double> d, bool& skipCheck, int ia, int ib,
                           int& status) {
  if (!skipCheck && !CheckPoints(x, status)) return 0;
  skipCheck = true;
  const int n = static_cast<int>(x.size());
  if (ia < 0 || ia >= n || ib < 0 || ib >= n) {
    status = kPointOutside;
    return 0;
  }
  status = 0;
  if (ia == ib) return 0;
  double sum = 0;
  for (auto i = static_cast<std::size_t>(std::min(ia, ib));
       i < static_cast<std::size_t>(std::max(ia, ib)); ++i) {
    sum = AddIntervalTwice(x, f, d, i, sum);
  }
  double value = Stored(0.5L * sum);
  if (ib < ia) value = -value;
  return value;
}

double HermiteIntegral(std::span<const double> x, std::span<const double> f,
                       std::span<const double> d, bool& skipCheck, double a, double b,
                       int& status) {
  if (!skipCheck && !CheckPoints(x, status)) return 0;
  skipCheck = true;
  status = 0;
  const std::size_t last = x.size() - 1;
  if (a < x[0] || a > x[last]) status += kLowerLimitOutside;
  if (b < x[0] || b > x[last]) status += kUpperLimitOutside;
  if (a == b) return 0;
  const double xa = std::min(a, b);
  const double xb = std::max(a, b);
  // Stretches left of the second point or right of the last but one lie on
  // one (possibly continued) end piece.
  if (xb <= x[1]) return Piece(x, f, d, 0, 1, a, b);
  if (xa >= x[last - 1]) return Piece(x, f, d, last - 1, last, a, b);

  // ia: first point at or after xa; ib: last point at or before xb. The early
  // exits rely on x being non-decreasing, which the check (or the caller's
  // skipCheck) guarantees.
  std::size_t ia = 0;
  while (ia < last && x[ia] < xa) ++ia;
  std::size_t ib = last;
  while (ib > ia && x[ib] > xb) --ib;
  if (x[ib] > xb) {
    // No data point inside [xa, xb]: one piece, already signed by b - a.
    const std::size_t il = ia > 0 ? ia - 1 : 0;
    return Piece(x, f, d, il, il + 1, a, b);
  }
  double value = 0;
  if (ia != ib) {
    int spanStatus = 0;
    value = HermiteSpanIntegral(x, f, d, skipCheck, static_cast<int>(ia), static_cast<int>(ib),
                                spanStatus);
    if (spanStatus < 0) {
      status = kSpanFailed;
      return 0;
    }
  }
  if (xa < x[ia]) {
    const std::size_t il = ia > 0 ? ia - 1 : 0;
    value = Stored(Extended(Piece(x, f, d, il, il + 1, xa, x[ia])) + value);
  }
  if (xb > x[ib]) {
    const std::size_t ir = std::min(ib + 1, last);
    value = Stored(Extended(Piece(x, f, d, ir - 1, ir, x[ib], xb)) + value);
  }
  if (b < a) value = -value;
  return value;
}

}  // namespace quillmore::integration
