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

// The two intervals on either side of the current point.
struct Window {
  double h1 = 0, h2 = 0, hsum = 0, del1 = 0, del2 = 0;
};

// Non-centred three-point formula, reset to 0 against the shape of the data
// and clamped to 3 x the secant where the data turn at the next point.
double LeftEndSlope(const Window& w) {
  const double w1 = Stored((Extended(w.hsum) + w.h1) / w.hsum);
  const double w2 = Stored(-Extended(w.h1) / w.hsum);
  double d = Stored(Extended(w.del1) * w1 + Extended(w.del2) * w2);
  if (SlopeSign(d, w.del1) <= 0) {
    d = 0;
  } else if (SlopeSign(w.del1, w.del2) < 0) {
    const double dmax = Stored(3 * Extended(w.del1));
    if (std::fabs(d) > std::fabs(dmax)) d = dmax;
  }
  return d;
}

// The right end tests strictly below zero (unlike the left end), so a slope of
// 0 or a flat last interval keeps the three-point value.
double RightEndSlope(const Window& w) {
  const double w1 = Stored(-Extended(w.h2) / w.hsum);
  const double w2 = Stored((Extended(w.hsum) + w.h2) / w.hsum);
  double d = Stored(Extended(w.del1) * w1 + Extended(w.del2) * w2);
  if (SlopeSign(d, w.del2) < 0) {
    d = 0;
  } else if (SlopeSign(w.del1, w.del2) < 0) {
    const double dmax = Stored(3 * Extended(w.del2));
    if (std::fabs(d) > std::fabs(dmax)) d = dmax;
  }
  return d;
}

// Weighted harmonic mean of the two secants, for data strictly monotone
// through the point.
double InteriorSlope(const Window& w) {
  const double hsumt3 = Stored(Extended(w.hsum) + w.hsum + w.hsum);
  const double w1 = Stored((Extended(w.hsum) + w.h1) / hsumt3);
  const double w2 = Stored((Extended(w.hsum) + w.h2) / hsumt3);
  const double dmax = std::max(std::fabs(w.del1), std::fabs(w.del2));
  const double dmin = std::min(std::fabs(w.del1), std::fabs(w.del2));
  const double drat1 = Stored(Extended(w.del1) / dmax);
  const double drat2 = Stored(Extended(w.del2) / dmax);
  return Stored(Extended(dmin) / (Extended(drat1) * w1 + Extended(drat2) * w2));
}

double Secant(std::span<const double> f, std::size_t i, double h) {
  return Stored((Extended(f[i + 1]) - f[i]) / h);
}

}  // namespace

int HermiteSlopes(std::span<const double> x, std::span<const double> f, std::span<double> d) {
  const std::size_t n = x.size();
  if (n < 2) return kTooFewPoints;
  for (std::size_t i = 1; i < n; ++i) {
    if (x[i - 1] >= x[i]) return kNotIncreasing;
  }
  int status = 0;
  Window w;
  w.h1 = Stored(Extended(x[1]) - x[0]);
  w.del1 = Secant(f, 0, w.h1);
  double dsave = w.del1;  // last non-zero secant, to count turns across flat stretches
  if (n == 2) {
    d[0] = w.del1;
    d[1] = w.del1;
    return status;
  }
  w.h2 = Stored(Extended(x[2]) - x[1]);
  w.del2 = Secant(f, 1, w.h2);
  w.hsum = Stored(Extended(w.h2) + w.h1);
  d[0] = LeftEndSlope(w);

  for (std::size_t i = 1; i + 1 < n; ++i) {
    if (i > 1) {
      w.h1 = w.h2;
      w.h2 = Stored(Extended(x[i + 1]) - x[i]);
      w.hsum = Stored(Extended(w.h2) + w.h1);
      w.del1 = w.del2;
      w.del2 = Secant(f, i, w.h2);
    }
    d[i] = 0;
    if (SlopeSign(w.del1, w.del2) < 0) {
      ++status;
      dsave = w.del2;
    } else if (SlopeSign(w.del1, w.del2) == 0) {
      if (w.del2 != 0) {
        if (SlopeSign(dsave, w.del2) < 0) ++status;
        dsave = w.del2;
      }
    } else {
      d[i] = InteriorSlope(w);
    }
  }
  d[n - 1] = RightEndSlope(w);
  return status;
}

}  // namespace quillmore::integration
