// Doses over calendar years from acute and constant-rate intakes: each the
// integral of the rate curve over its own stretch of days after intake,
// weighted by how many days of the year each day after intake counts, never
// the difference of two integrals from 0, so that a dose decades after an
// intake keeps full precision. Past a block's last tabulated time the curve
// follows its tail (tail.h), integrated in closed form.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "integration/extended.h"
#include "integration/extrapolation_check.h"
#include "integration/hermite_integral.h"
#include "integration/tail.h"

namespace quillmore::integration {

// The stretch [from, to] of days after intake (0 <= from < to), each day u of
// it counted scale x (level + slope x (u - from)) times: 1 for an acute
// intake; for a spread one the days of the year on which intake u days
// earlier was going on (a trapezoid in u), per day of intake.
struct DoseWindow {
  double from = 0;
  double to = 0;
  double level = 1;  // at `from`
  double slope = 0;  // per day: -1, 0 or 1
  double scale = 1;  // 1 / (s1 - s0) for an intake spread over [s0, s1)
};

// The window of an acute intake at `intakeDay` for the interval [t1, t2)
// (whole day numbers, such as days since 1970). Appends at most one window.
void AcuteWindows(double intakeDay, double t1, double t2, std::vector<DoseWindow>& windows);

// The windows of a constant-rate intake over [s0, s1) for [t1, t2), per Bq
// taken in: a day of intake s and a day of the year t count where t - s = u,
// so the dose is the rate at u weighted by the length of [t1, t2) n
// [s0 + u, s1 + u), a trapezoid cut into its rising, flat and falling parts.
// Appends up to three windows; all four days are whole day numbers.
void SpreadWindows(double s0, double s1, double t1, double t2, std::vector<DoseWindow>& windows);

// What the windows of one year take from a block's times alone: for each
// cubic piece they touch, the weights of its end values and slopes in their
// weighted integral. Formed once for every curve of the block.
class WindowGeometry {
 public:
  // For the windows of one year on the times x (2 or more, strictly increasing).
  void Set(std::span<const double> x, std::span<const DoseWindow> windows);

  // Some window reaches past the last tabulated time.
  bool pastData() const { return pastTo_ > pastFrom_; }
  // Neither the intake's first year nor past the data: the points' weights
  // are all there is (PieceIntegrals::PointSums).
  bool pointsOnly() const { return !intake_.present && !pastData(); }

 private:
  friend class PieceIntegrals;

  // The integral over piece `piece` (from x[piece] to x[piece + 1]) is
  // value1 f1 + value2 f2 + slope1 d1 + slope2 d2 for its end values and
  // slopes. Its stretches are gathered first, as the weighted integrals of
  // z^j / j! (j = 0 to 3) in z = (u - origin) / h about the start of the
  // first; Settle turns them into the weights once.
  struct Weights {
    std::size_t piece = 0;
    Extended value1 = 0, value2 = 0, slope1 = 0, slope2 = 0;
    bool started = false;  // a stretch has set the origin
    Extended origin = 0;
    Extended g0 = 0, g1 = 0, g2 = 0, g3 = 0;
  };
  // A stretch past the last tabulated time, in days past it, for a closed-form tail.
  struct TailStretch {
    double from = 0, to = 0, level = 1, slope = 0, scale = 1;
  };
  // A window from intake with a constant weight: summed from the curve's own
  // whole-piece integrals, as the coefficients are.
  struct FromIntake {
    bool present = false;
    bool pastData = false;  // it ends past the last tabulated time
    Extended weight = 0;    // scale x level
    std::size_t piece = 0;  // holding its end (the last piece continued past the data)
    CubicPiece end;         // of that piece, from x[piece] (from 0 in the first) to its end
  };

  // The weights of `piece`, the last of the list or a new one after it;
  // inline, as it runs for every stretch.
  static Weights& At(std::vector<Weights>& list, std::size_t piece) {
    if (list.empty() || list.back().piece != piece) list.push_back({piece});
    return list.back();
  }
  void AddStretch(std::span<const double> x, std::size_t piece, Extended a, Extended b,
                  Extended level, Extended slope, Extended scale, Weights& weights);
  static void Settle(std::span<const double> x, Weights& weights);

  std::vector<Weights> inside_;  // up to the last tabulated time
  // The same by point, from point firstPoint_ on: neighbouring pieces share
  // their common point's value and slope.
  struct PointWeights {
    Extended value = 0, slope = 0;
  };
  std::vector<PointWeights> points_;
  std::size_t firstPoint_ = 0;
  Weights past_;        // the last piece continued past it, for the cubic tail
  Weights intakePast_;  // the same for the window from intake: its part past the data
  std::vector<TailStretch> tail_;
  FromIntake intake_;
  double pastFrom_ = 0, pastTo_ = 0;  // days after intake past the last time (empty: equal)
};

// One rate curve with its whole-piece integrals, each formed once as the
// coefficients form them, and its tail. Keeps the spans: x, f and d must
// outlive it.
class PieceIntegrals {
 public:
  // x strictly increasing with 2 or more points (HermiteSlopes succeeded), d
  // its slopes; past x[N-1] the curve follows `tail`.
  PieceIntegrals(std::span<const double> x, std::span<const double> f, std::span<const double> d,
                 Tail tail = Tail::kCubic);

  // A year's dose (Gy/Bq), the part of it from past the last tabulated time,
  // and how far that part can be trusted: under kCubic kUnbounded when the
  // continued piece leaves [-eps, f[N-1] + eps] anywhere on the year's
  // stretch past the data (eps = 1e-12 x the largest |f|), kBounded when it
  // reaches past the data and stays inside; under the other tails kBounded
  // whenever it reaches past the data. kNone within the data.
  struct Dose {
    double value = 0;
    double tail = 0;
    Extrapolation extrapolation = Extrapolation::kNone;
  };
  Dose Sum(const WindowGeometry& geometry) const {
    // Most years are neither the intake's first nor past the data: the
    // points' weights are all there is, summed here without a call.
    if (geometry.intake_.present || geometry.pastData() || zero_) return SumAll(geometry);
    Dose dose;
    dose.value = Stored(PointSum(geometry));
    return dose;
  }
  // The values of Sum for two curves of one block (a region's low and high
  // LET) in a year of points alone: the same sums, their four chains side by
  // side, so that the weights are read once and the chains overlap.
  struct ValuePair {
    double first = 0, second = 0;
  };
  static ValuePair PointSums(const PieceIntegrals& first, const PieceIntegrals& second,
                             const WindowGeometry& g) {
    Extended values1 = 0, slopes1 = 0, values2 = 0, slopes2 = 0;
    const std::size_t at = g.firstPoint_;
    for (std::size_t k = 0; k < g.points_.size(); ++k) {
      const Extended value = g.points_[k].value, slope = g.points_[k].slope;
      values1 += value * first.f_[at + k];
      slopes1 += slope * first.d_[at + k];
      values2 += value * second.f_[at + k];
      slopes2 += slope * second.d_[at + k];
    }
    return {first.zero_ ? 0.0 : Stored(values1 + slopes1),
            second.zero_ ? 0.0 : Stored(values2 + slopes2)};
  }

  const TailCurve& tailCurve() const { return tailCurve_; }
  // Every rate and slope is 0 (a component the block does not carry): so is every integral.
  bool zero() const { return zero_; }

 private:
  Extended Apply(const WindowGeometry::Weights& w) const {
    return w.value1 * f_[w.piece] + w.value2 * f_[w.piece + 1] + w.slope1 * d_[w.piece] +
           w.slope2 * d_[w.piece + 1];
  }
  // The weights by point applied to the values and slopes, summed apart: two
  // chains of additions side by side.
  Extended PointSum(const WindowGeometry& g) const {
    Extended values = 0, slopes = 0;
    for (std::size_t k = 0; k < g.points_.size(); ++k) {
      values += g.points_[k].value * f_[g.firstPoint_ + k];
      slopes += g.points_[k].slope * d_[g.firstPoint_ + k];
    }
    return values + slopes;
  }
  Dose SumAll(const WindowGeometry& geometry) const;
  // Whether the continued last piece leaves its range on [u1, u2] days past x[N-1].
  bool LeavesRange(Extended u1, Extended u2) const;

  std::span<const double> x_, f_, d_;
  Tail tail_;
  TailCurve tailCurve_;
  std::vector<double> wholeFromSecond_;  // [i]: the sum of the whole pieces 1 to i - 1
  double head_ = 0;                      // the first piece, from 0 to x[1]
  bool zero_;                            // every rate and slope 0: every integral is 0
  double coefficientAtLast_ = 0;         // from 0 to x[N-1], as the tables form it
  // The continued last piece about x[N-1]: f[N-1] + d[N-1] u + c2 u^2 + c3 u^3.
  Extended c2_ = 0, c3_ = 0;
  Extended lowest_ = 0, highest_ = 0;  // the range it may keep past the data
};

}  // namespace quillmore::integration
