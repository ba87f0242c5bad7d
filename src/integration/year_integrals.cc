#include "integration/year_integrals.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "integration/hermite_integral.h"

namespace quillmore::integration {
namespace {

std::size_t PieceOf(std::span<const double> x, double u) {
  // The piece whose interval holds u; before the first and after the last
  // time point the end pieces continue.
  const auto after = std::upper_bound(x.begin() + 1, x.end() - 1, u);
  return static_cast<std::size_t>(after - x.begin()) - 1;
}

}  // namespace

void AcuteWindows(double intakeDay, double t1, double t2, std::vector<DoseWindow>& windows) {
  const double from = std::max(0.0, Stored(Extended(t1) - intakeDay));
  const double to = std::max(0.0, Stored(Extended(t2) - intakeDay));
  if (to > from) windows.push_back({from, to, 1.0, 0.0, 1.0});
}

void SpreadWindows(double s0, double s1, double t1, double t2, std::vector<DoseWindow>& windows) {
  // Day numbers are whole, so these differences and levels are exact.
  const double scale = Stored(1.0L / (Extended(s1) - s0));
  const double rise = t1 - s1;                     // the trapezoid starts rising
  const double flat = std::min(t1 - s0, t2 - s1);  // is flat from here
  const double fall = std::max(t1 - s0, t2 - s1);  // falls from here
  const double end = t2 - s0;                      // to 0 here
  const double top = flat - rise;                  // min(s1 - s0, t2 - t1)
  const struct {
    double from, to, level, slope;
  } parts[] = {{rise, flat, 0, 1}, {flat, fall, top, 0}, {fall, end, top, -1}};
  for (const auto& part : parts) {
    // Nothing counts before the intake (u < 0).
    const double from = std::max(part.from, 0.0);
    if (!(part.to > from)) continue;
    windows.push_back(
        {from, part.to, part.level + part.slope * (from - part.from), part.slope, scale});
  }
}

// Adds the integral from a to b of the piece, times scale x (level + slope x
// (t - a)), to the piece's gathered stretches. The cubic is taken about the
// start of the piece's first stretch (Settle), never about the piece's ends,
// so that a short stretch far from them loses no digits to the difference of
// two large powers. The stretches of a piece come in order (a not before the
// origin), and each weight is split into its two nonnegative ends, so that
// every term below is nonnegative: nothing cancels.
void WindowGeometry::AddStretch(std::span<const double> x, std::size_t piece, Extended a,
                                Extended b, Extended level, Extended slope, Extended scale,
                                Weights& weights) {
  if (!weights.started) {
    weights.started = true;
    weights.origin = a;
  }
  const Extended h = Extended(x[piece + 1]) - x[piece];
  const Extended perWidth = 1 / h;
  const Extended z = (a - weights.origin) * perWidth;  // where the stretch starts
  const Extended o = (b - a) * perWidth;               // its length
  // The weight x h at either end (the far end by the near one, as it was formed).
  const Extended l = scale * level * h;
  const Extended far = l + scale * slope * h * h * o;
  // p_i = o^(i + 1) x the integral over [0, 1] of t^i x (l (1 - t) + far t) dt.
  constexpr Extended kThird = 1.0L / 3, kSixth = 1.0L / 6, kTwelfth = 1.0L / 12;
  constexpr Extended kTwentieth = 0.05L, kFifth = 0.2L;
  const Extended o2 = o * o, o3 = o2 * o, o4 = o3 * o;
  const Extended p0 = o * (l + far) * 0.5L;
  const Extended p1 = o2 * (l * kSixth + far * kThird);
  const Extended p2 = o3 * (l * kTwelfth + far * 0.25L);
  const Extended p3 = o4 * (l * kTwentieth + far * kFifth);
  // The integrals of (z + t)^j / j!, expanded in powers of z.
  weights.g0 += p0;
  weights.g1 += z * p0 + p1;
  weights.g2 += (z * (z * p0 + 2 * p1) + p2) * 0.5L;
  weights.g3 += (z * (z * (z * p0 + 3 * p1) + 3 * p2) + p3) * kSixth;
}

// The weights from the gathered stretches: each basis function's value and
// derivatives at the origin, in s = (origin - x1) / h and r = (x2 - origin) / h.
void WindowGeometry::Settle(std::span<const double> x, Weights& weights) {
  const Extended x1 = x[weights.piece];
  const Extended x2 = x[weights.piece + 1];
  const Extended h = x2 - x1;
  const Extended perWidth = 1 / h;
  const Extended s = (weights.origin - x1) * perWidth;
  const Extended r = (x2 - weights.origin) * perWidth;
  const Extended g0 = weights.g0, g1 = weights.g1, g2 = weights.g2, g3 = weights.g3;
  weights.value1 = r * r * (1 + 2 * s) * g0 - 6 * s * r * g1 + 6 * (s - r) * g2 + 12 * g3;
  weights.value2 = s * s * (1 + 2 * r) * g0 + 6 * s * r * g1 + 6 * (r - s) * g2 - 12 * g3;
  weights.slope1 = h * (s * r * r * g0 + r * (r - 2 * s) * g1 + 2 * (s - 2 * r) * g2 + 6 * g3);
  weights.slope2 = h * (-s * s * r * g0 + s * (s - 2 * r) * g1 + 2 * (2 * s - r) * g2 + 6 * g3);
}

void WindowGeometry::Set(std::span<const double> x, std::span<const DoseWindow> windows) {
  const std::size_t last = x.size() - 1;
  const double lastTime = x[last];
  inside_.clear();
  tail_.clear();
  intake_.present = false;
  pastFrom_ = std::numeric_limits<double>::infinity();
  pastTo_ = -pastFrom_;
  for (const DoseWindow& w : windows) {
    if (!(w.to > w.from)) continue;
    const auto levelAt = [&w](double u) {
      return w.level + Extended(w.slope) * (Extended(u) - w.from);
    };
    const bool past = w.to > lastTime;
    const double pastFrom = std::max(w.from, lastTime);
    if (past) {
      // Most years lie within the data and never read the weights past it:
      // they start from 0 at the first window that reaches past it.
      if (tail_.empty()) {
        past_ = {last - 1};
        intakePast_ = {last - 1};
      }
      pastFrom_ = std::min(pastFrom_, pastFrom);
      pastTo_ = std::max(pastTo_, w.to);
      tail_.push_back(
          {pastFrom - lastTime, w.to - lastTime, Stored(levelAt(pastFrom)), w.slope, w.scale});
    }
    if (w.from == 0 && w.slope == 0 && !intake_.present) {
      intake_.present = true;
      intake_.pastData = past;
      intake_.weight = Extended(w.scale) * w.level;
      intake_.piece = past ? last - 1 : PieceOf(x, w.to);
      const std::size_t p = intake_.piece;
      intake_.end = CubicPiece(x[p], x[p + 1], p == 0 ? 0.0 : x[p], w.to);
      if (past) AddStretch(x, last - 1, lastTime, w.to, w.level, 0, w.scale, intakePast_);
      continue;
    }
    if (past) AddStretch(x, last - 1, pastFrom, w.to, levelAt(pastFrom), w.slope, w.scale, past_);
    const double insideTo = std::min(w.to, lastTime);
    if (!(insideTo > w.from)) continue;
    const std::size_t firstPiece = PieceOf(x, w.from);
    for (std::size_t i = firstPiece;; ++i) {
      const double start = i == firstPiece ? w.from : x[i];
      const bool final = i + 1 == last || x[i + 1] >= insideTo;
      AddStretch(x, i, start, final ? insideTo : x[i + 1], levelAt(start), w.slope, w.scale,
                 At(inside_, i));
      if (final) break;
    }
  }
  if (!(pastTo_ > pastFrom_)) pastFrom_ = pastTo_ = 0;
  if (!tail_.empty()) {
    Settle(x, past_);
    Settle(x, intakePast_);
  }
  for (Weights& w : inside_) Settle(x, w);
  points_.clear();
  if (inside_.empty()) return;
  const auto [lowest, highest] =
      std::minmax_element(inside_.begin(), inside_.end(),
                          [](const Weights& a, const Weights& b) { return a.piece < b.piece; });
  firstPoint_ = lowest->piece;
  // Assigned rather than resized after a clear: zeroed in place, without a call.
  points_.assign(highest->piece - firstPoint_ + 2, {});
  for (const Weights& w : inside_) {
    PointWeights& start = points_[w.piece - firstPoint_];
    PointWeights& end = points_[w.piece - firstPoint_ + 1];
    start.value += w.value1;
    start.slope += w.slope1;
    end.value += w.value2;
    end.slope += w.slope2;
  }
}

PieceIntegrals::PieceIntegrals(std::span<const double> x, std::span<const double> f,
                               std::span<const double> d, Tail tail)
    : x_(x),
      f_(f),
      d_(d),
      tail_(tail),
      wholeFromSecond_(x.size() - 1),
      zero_(std::all_of(f.begin(), f.end(), [](double v) { return v == 0; }) &&
            std::all_of(d.begin(), d.end(), [](double v) { return v == 0; })) {
  const std::size_t last = x.size() - 1;
  tailCurve_ = TailCurve::Of(tail, x[last - 1], x[last], f[last - 1], f[last]);
  // The coefficients add these same doubled interval integrals; halved here
  // one by one so that each piece stands on its own.
  Extended sum = 0;
  for (std::size_t i = 1; i < last; ++i) {
    wholeFromSecond_[i] = Stored(sum);
    const double h = IntervalWidth(x, i);
    sum += Stored(0.5L * AddIntervalTwice(h, Extended(h) / 6, f[i], f[i + 1], d[i], d[i + 1], 0.0));
  }
  head_ = CubicPieceIntegral(x[0], x[1], f[0], f[1], d[0], d[1], 0.0, x[1]);
  coefficientAtLast_ = HermiteIntegral(x, f, d, 0.0, x[last]);
  const Extended h = Extended(x[last]) - x[last - 1];
  const Extended secant = (Extended(f[last]) - f[last - 1]) / h;
  c2_ = (Extended(d[last - 1]) + 2 * Extended(d[last]) - 3 * secant) / h;
  c3_ = (Extended(d[last - 1]) + d[last] - 2 * secant) / (h * h);
  Extended largest = 0;
  for (const double v : f) largest = std::max(largest, Extended(std::fabs(v)));
  lowest_ = -1e-12L * largest;
  highest_ = f[last] + 1e-12L * largest;
}

bool PieceIntegrals::LeavesRange(Extended u1, Extended u2) const {
  const Extended c0 = f_.back(), c1 = d_.back();
  const auto outside = [&](Extended u) {
    const Extended p = c0 + u * (c1 + u * (c2_ + u * c3_));
    return p < lowest_ || p > highest_;
  };
  if (outside(u1) || outside(u2)) return true;
  // Within, the extremes are where the derivative c1 + 2 c2 u + 3 c3 u^2 is 0.
  const Extended a = 3 * c3_, b = 2 * c2_;
  Extended roots[2] = {u1, u1};
  if (a == 0) {
    if (b != 0) roots[0] = -c1 / b;
  } else {
    const Extended discriminant = b * b - 4 * a * c1;
    if (discriminant >= 0) {
      const Extended q = -(b + std::copysign(std::sqrt(discriminant), b)) / 2;
      roots[0] = q / a;
      roots[1] = q != 0 ? c1 / q : roots[0];
    }
  }
  for (const Extended u : roots) {
    if (u > u1 && u < u2 && outside(u)) return true;
  }
  return false;
}

PieceIntegrals::Dose PieceIntegrals::SumAll(const WindowGeometry& g) const {
  Dose dose;
  const bool past = g.pastData();
  if (past) dose.extrapolation = Extrapolation::kBounded;
  if (zero_) return dose;  // a component the block does not carry: its tail is 0 too
  Extended value = PointSum(g), tail = 0;
  if (g.intake_.present) {
    const WindowGeometry::FromIntake& in = g.intake_;
    if (in.pastData && tail_ != Tail::kCubic) {
      value += in.weight * coefficientAtLast_;  // and its tail below, as the tables add it
    } else {
      // From intake: the first piece and the whole ones after it are the
      // curve's own, summed once.
      const std::size_t p = in.piece;
      const double end = in.end.Integral(f_[p], f_[p + 1], d_[p], d_[p + 1]);
      value += in.weight * (p == 0 ? end : Stored(Extended(head_) + wholeFromSecond_[p] + end));
    }
  }
  if (past) {
    if (tail_ == Tail::kCubic) {
      const Extended added = Apply(g.past_);
      value += added;
      tail = added + Apply(g.intakePast_);
      const double lastTime = x_.back();
      if (LeavesRange(Extended(g.pastFrom_) - lastTime, Extended(g.pastTo_) - lastTime))
        dose.extrapolation = Extrapolation::kUnbounded;
    } else {
      for (const WindowGeometry::TailStretch& t : g.tail_)
        tail += t.scale * Extended(tailCurve_.KernelIntegral(t.from, t.to, t.level, t.slope));
      value += tail;
    }
  }
  dose.value = Stored(value);
  dose.tail = Stored(tail);
  return dose;
}

}  // namespace quillmore::integration
