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

double Piece(std::span<const double> x, std::span<const double> f, std::span<const double> d,
             std::size_t il, double a, double b) {
  return CubicPieceIntegral(x[il], x[il + 1], f[il], f[il + 1], d[il], d[il + 1], a, b);
}

}  // namespace

CubicPiece::CubicPiece(double x1, double x2, double a, double b) : empty_(x1 == x2) {
  if (empty_) return;
  const double h = Stored(Extended(x2) - x1);
  const PieceShape a1 = RisingShape(Stored((Extended(a) - x1) / h));
  const PieceShape a2 = FallingShape(Stored((Extended(x2) - a) / h));
  const PieceShape b1 = RisingShape(Stored((Extended(b) - x1) / h));
  const PieceShape b2 = FallingShape(Stored((Extended(x2) - b) / h));
  // Kept at extended precision: Integral continues these very intermediates.
  fWeight1_ = Extended(a2.phi) - b2.phi;
  fWeight2_ = Extended(b1.phi) - a1.phi;
  dWeight1_ = Extended(a2.psi) - b2.psi;
  dWeight2_ = Extended(b1.psi) - a1.psi;
  sixthWidth_ = Extended(h) / 6;
  halfWidth_ = 0.5L * h;
}

double CubicPieceIntegral(double x1, double x2, double f1, double f2, double d1, double d2,
                          double a, double b) {
  return CubicPiece(x1, x2, a, b).Integral(f1, f2, d1, d2);
}

double IntervalWidth(std::span<const double> x, std::size_t i) {
  return Stored(Extended(x[i + 1]) - x[i]);
}

double HermiteSpanIntegral(std::span<const double> x, std::span<const double> f,
                           std::span<const double> d, std::size_t ia, std::size_t ib) {
  if (ia == ib) return 0;
  double sum = 0;
  for (std::size_t i = std::min(ia, ib); i < std::max(ia, ib); ++i) {
    const double h = IntervalWidth(x, i);
    sum = AddIntervalTwice(h, Extended(h) / 6, f[i], f[i + 1], d[i], d[i + 1], sum);
  }
  const double value = Stored(0.5L * sum);
  return ib < ia ? -value : value;
}

double HermiteIntegral(std::span<const double> x, std::span<const double> f,
                       std::span<const double> d, double a, double b) {
  const std::size_t last = x.size() - 1;
  if (a == b) return 0;
  const double xa = std::min(a, b);
  const double xb = std::max(a, b);
  // Stretches left of the second point or right of the last but one lie on
  // one (possibly continued) end piece.
  if (xb <= x[1]) return Piece(x, f, d, 0, a, b);
  if (xa >= x[last - 1]) return Piece(x, f, d, last - 1, a, b);

  // ia: first point at or after xa; ib: last point at or before xb. The early
  // exits rely on x being non-decreasing.
  std::size_t ia = 0;
  while (ia < last && x[ia] < xa) ++ia;
  std::size_t ib = last;
  while (ib > ia && x[ib] > xb) --ib;
  if (x[ib] > xb) {
    // No data point inside [xa, xb]: one piece, already signed by b - a.
    return Piece(x, f, d, ia > 0 ? ia - 1 : 0, a, b);
  }
  double value = HermiteSpanIntegral(x, f, d, ia, ib);
  if (xa < x[ia]) {
    const std::size_t il = ia > 0 ? ia - 1 : 0;
    value = Stored(Extended(Piece(x, f, d, il, xa, x[ia])) + value);
  }
  if (xb > x[ib]) {
    const std::size_t ir = std::min(ib + 1, last);
    value = Stored(Extended(Piece(x, f, d, ir - 1, x[ib], xb)) + value);
  }
  if (b < a) value = -value;
  return value;
}

}  // namespace quillmore::integration
