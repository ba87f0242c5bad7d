#include "integration/hermite_slopes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "integration/extended.h"

namespace quillmore::integration {

double SignTransfer(double a, double b) {
  return b >= 0 ? std::fabs(a) : -std::fabs(a);
}

double SlopeSign(double a, double b) {
  if (a == 0 || b == 0) return 0;
  return SignTransfer(1.0, b) * SignTransfer(1.0, a);
}

namespace {

// The secants of the two intervals on either side of the current point.
struct Secants {
  double del1 = 0, del2 = 0;
};

// Non-centred three-point formula, reset to 0 against the shape of the data
// and clamped to 3 x the secant where the data turn at the next point.
double LeftEndSlope(const Secants& s, double w1, double w2) {
  double d = Stored(Extended(s.del1) * w1 + Extended(s.del2) * w2);
  if (SlopeSign(d, s.del1) <= 0) {
    d = 0;
  } else if (SlopeSign(s.del1, s.del2) < 0) {
    const double dmax = Stored(3 * Extended(s.del1));
    if (std::fabs(d) > std::fabs(dmax)) d = dmax;
  }
  return d;
}

// The left end's rule mirrored: a flat last interval gets slope 0, so the
// last piece between equal rates stays flat instead of dipping below them.
double RightEndSlope(const Secants& s, double w1, double w2) {
  double d = Stored(Extended(s.del1) * w1 + Extended(s.del2) * w2);
  if (SlopeSign(d, s.del2) <= 0) {
    d = 0;
  } else if (SlopeSign(s.del1, s.del2) < 0) {
    const double dmax = Stored(3 * Extended(s.del2));
    if (std::fabs(d) > std::fabs(dmax)) d = dmax;
  }
  return d;
}

// del / dmax, where dmax is the larger magnitude of the two secants: for that
// secant itself the quotient is exactly +1 or -1 when dmax is finite.
double SecantRatio(double del, double dmax) {
  if (std::fabs(del) == dmax && std::isfinite(dmax)) return del > 0 ? 1.0 : -1.0;
  return Stored(Extended(del) / dmax);
}

// Weighted harmonic mean of the two secants, for data strictly monotone
// through the point.
double InteriorSlope(const Secants& s, double w1, double w2) {
  const double dmax = std::max(std::fabs(s.del1), std::fabs(s.del2));
  const double dmin = std::min(std::fabs(s.del1), std::fabs(s.del2));
  const double drat1 = SecantRatio(s.del1, dmax);
  const double drat2 = SecantRatio(s.del2, dmax);
  return Stored(Extended(dmin) / (Extended(drat1) * w1 + Extended(drat2) * w2));
}

double Secant(std::span<const double> f, std::size_t i, double h) {
  return Stored((Extended(f[i + 1]) - f[i]) / h);
}

}  // namespace

int SlopeGrid::Set(std::span<const double> x) {
  const std::size_t n = x.size();
  count_ = 0;
  if (n < 2) return kTooFewPoints;
  for (std::size_t i = 1; i < n; ++i) {
    if (x[i - 1] >= x[i]) return kNotIncreasing;
  }
  if (h_.size() < n) {
    h_.resize(n);
    w1_.resize(n);
    w2_.resize(n);
  }
  count_ = n;
  for (std::size_t i = 0; i + 1 < n; ++i) h_[i] = Stored(Extended(x[i + 1]) - x[i]);
  if (n == 2) return 0;
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const double h1 = h_[i - 1];
    const double h2 = h_[i];
    const double hsum = Stored(Extended(h2) + h1);
    const double hsumt3 = Stored(Extended(hsum) + hsum + hsum);
    w1_[i] = Stored((Extended(hsum) + h1) / hsumt3);
    w2_[i] = Stored((Extended(hsum) + h2) / hsumt3);
    if (i == 1) {
      w1_[0] = Stored((Extended(hsum) + h1) / hsum);
      w2_[0] = Stored(-Extended(h1) / hsum);
    }
    if (i + 2 == n) {
      w1_[n - 1] = Stored(-Extended(h2) / hsum);
      w2_[n - 1] = Stored((Extended(hsum) + h2) / hsum);
    }
  }
  return 0;
}

int HermiteSlopes(const SlopeGrid& grid, std::span<const double> f, std::span<double> d) {
  const std::size_t n = grid.count();
  int status = 0;
  Secants s;
  s.del1 = Secant(f, 0, grid.width(0));
  double dsave = s.del1;  // last non-zero secant, to count turns across flat stretches
  if (n == 2) {
    d[0] = s.del1;
    d[1] = s.del1;
    return status;
  }
  s.del2 = Secant(f, 1, grid.width(1));
  d[0] = LeftEndSlope(s, grid.firstWeight(0), grid.secondWeight(0));

  for (std::size_t i = 1; i + 1 < n; ++i) {
    if (i > 1) {
      s.del1 = s.del2;
      s.del2 = Secant(f, i, grid.width(i));
    }
    d[i] = 0;
    if (SlopeSign(s.del1, s.del2) < 0) {
      ++status;
      dsave = s.del2;
    } else if (SlopeSign(s.del1, s.del2) == 0) {
      if (s.del2 != 0) {
        if (SlopeSign(dsave, s.del2) < 0) ++status;
        dsave = s.del2;
      }
    } else {
      d[i] = InteriorSlope(s, grid.firstWeight(i), grid.secondWeight(i));
    }
  }
  d[n - 1] = RightEndSlope(s, grid.firstWeight(n - 1), grid.secondWeight(n - 1));
  return status;
}

int HermiteSlopes(std::span<const double> x, std::span<const double> f, std::span<double> d) {
  SlopeGrid grid;
  const int status = grid.Set(x);
  return status < 0 ? status : HermiteSlopes(grid, f, d);
}

}  // namespace quillmore::integration
