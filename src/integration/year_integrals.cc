#include "integration/year_integrals.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "integration/extended.h"
#include "integration/hermite_integral.h"

namespace quillmore::integration {
namespace {

// Three-point Gauss-Legendre rule on [-1, 1]: exact for polynomials of degree 5.
const Extended kNode = std::sqrt(0.6L);
constexpr std::array<Extended, 3> kWeights = {5.0L / 9, 8.0L / 9, 5.0L / 9};

// A cut of the year's t, measured from s0, with the window's two ends there:
// `hi` = t - s0 and `lo` = t - s1, each formed from exact parts, so that a
// window end near 0 is never the small difference of two large numbers.
struct Cut {
  double hi;
  double lo;
};

int PieceOf(std::span<const double> x, double u) {
  // The piece whose interval holds u; before the first and after the last
  // time point the end pieces continue.
  const auto after = std::upper_bound(x.begin() + 1, x.end() - 1, u);
  return static_cast<int>(after - x.begin()) - 1;
}

}  // namespace

void AcuteWindows(double intakeDay, double t1, double t2, std::vector<DoseWindow>& windows) {
  const double from = std::max(0.0, Stored(Extended(t1) - intakeDay));
  const double to = std::max(0.0, Stored(Extended(t2) - intakeDay));
  if (to > from) windows.push_back({1.0, from, to});
}

void SpreadWindows(double s0, double s1, double t1, double t2, std::span<const double> times,
                   std::vector<DoseWindow>& windows) {
  // Day numbers are whole, so these differences are exact.
  const double length = s1 - s0;
  const double a = std::max(0.0, t1 - s0);  // nothing is taken in before s0
  const double b = t2 - s0;
  if (!(b > a)) return;
  std::vector<Cut> cuts{{a, a - length}, {b, b - length}};
  if (length > a && length < b) cuts.push_back({length, 0.0});
  for (const double x : times) {
    if (x > a && x < b) cuts.push_back({x, Stored(Extended(x) - length)});
    const double shifted = Stored(Extended(x) + length);
    if (shifted > a && shifted < b) cuts.push_back({shifted, x});
  }
  std::sort(cuts.begin(), cuts.end(), [](const Cut& p, const Cut& q) { return p.hi < q.hi; });
  const Extended rate = 1.0L / length;
  for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
    const Extended half = (Extended(cuts[k + 1].hi) - cuts[k].hi) / 2;
    if (!(half > 0)) continue;
    for (std::size_t n = 0; n < kWeights.size(); ++n) {
      const Extended offset = half * (1 + (static_cast<Extended>(n) - 1) * kNode);
      const double from = std::max(0.0, Stored(cuts[k].lo + offset));
      const double to = std::max(0.0, Stored(cuts[k].hi + offset));
      if (to > from) windows.push_back({Stored(kWeights[n] * half * rate), from, to});
    }
  }
}

void FindPieces(std::span<const double> times, std::span<DoseWindow> windows) {
  for (DoseWindow& window : windows) {
    window.fromPiece = PieceOf(times, window.from);
    window.toPiece = PieceOf(times, window.to);
  }
}

PieceIntegrals::PieceIntegrals(std::span<const double> x, std::span<const double> f,
                               std::span<const double> d)
    : x_(x),
      f_(f),
      d_(d),
      whole_(x.size() - 1),
      wholeFromSecond_(x.size() - 1),
      zero_(std::all_of(f.begin(), f.end(), [](double v) { return v == 0; }) &&
            std::all_of(d.begin(), d.end(), [](double v) { return v == 0; })) {
  // The coefficients add these same doubled interval integrals; halved here
  // one by one so that each piece stands on its own.
  for (std::size_t i = 0; i + 1 < x.size(); ++i) {
    const double h = IntervalWidth(x, i);
    whole_[i] =
        Stored(0.5L * AddIntervalTwice(h, Extended(h) / 6, f[i], f[i + 1], d[i], d[i + 1], 0.0));
  }
  Extended sum = 0;
  for (std::size_t i = 1; i + 1 < x.size(); ++i) {
    wholeFromSecond_[i] = Stored(sum);
    sum += whole_[i];
  }
  head_ = Partial(0, 0.0, x[1]);
  doseAtLast_ = Stored(sum + head_);
}

double PieceIntegrals::Partial(int piece, double from, double to) const {
  const auto i = static_cast<std::size_t>(piece);
  return CubicPieceIntegral(x_[i], x_[i + 1], f_[i], f_[i + 1], d_[i], d_[i + 1], from, to);
}

double PieceIntegrals::Integral(const DoseWindow& w) const {
  if (w.fromPiece == w.toPiece) return Partial(w.fromPiece, w.from, w.to);
  if (w.from == 0) {
    // From intake: the first piece and the whole ones after it are the
    // curve's own, summed once.
    const auto last = static_cast<std::size_t>(w.toPiece);
    return Stored(Extended(head_) + wholeFromSecond_[last] + Partial(w.toPiece, x_[last], w.to));
  }
  const auto first = static_cast<std::size_t>(w.fromPiece);
  const auto last = static_cast<std::size_t>(w.toPiece);
  Extended sum = Partial(w.fromPiece, w.from, x_[first + 1]);
  for (std::size_t i = first + 1; i < last; ++i) sum += whole_[i];
  sum += Partial(w.toPiece, x_[last], w.to);
  return Stored(sum);
}

PieceIntegrals::Dose PieceIntegrals::Sum(std::span<const DoseWindow> windows) const {
  const double lastTime = x_.back();
  const int lastPiece = static_cast<int>(x_.size()) - 2;
  Extended value = 0, added = 0, span = 0;
  for (const DoseWindow& w : windows) {
    if (w.to > lastTime) span += Extended(w.weight) * (Extended(w.to) - std::max(w.from, lastTime));
    if (zero_) continue;  // a component the block does not carry: no piece to integrate
    const double integral = Integral(w);
    value += Extended(w.weight) * integral;
    if (w.to > lastTime) {
      // A window wholly past the data is its own extension.
      const double past = w.from >= lastTime ? integral : Partial(lastPiece, lastTime, w.to);
      added += Extended(w.weight) * past;
    }
  }
  return {Stored(value), JudgeExtension(Stored(added), f_.back(), Stored(span), doseAtLast_)};
}

}  // namespace quillmore::integration
