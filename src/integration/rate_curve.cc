#include "integration/rate_curve.h"

#include <algorithm>
#include <cmath>

#include "integration/curve_extension.h"
#include "integration/curve_integrator.h"
#include "integration/extended.h"
#include "integration/hermite_integral.h"
#include "integration/hermite_slopes.h"
#include "integration/integrate_rate_block.h"

namespace quillmore::integration {

std::optional<RateCurve> RateCurve::FromBlock(const RateTable& rates, const TimeGrid& timeGrid,
                                              char letLetter, int component, int position,
                                              Tail tail) {
  const int count = timeGrid.count();
  if (count == 0) return std::nullopt;
  RateCurve curve;
  curve.times_.assign(timeGrid.points().begin(), timeGrid.points().end());
  const std::span<const double> tabulated = rates.curve(component, position, count);
  const bool zero = count > 1 && !IntegratesComponent(letLetter, component);
  curve.rates_.assign(tabulated.begin(), tabulated.end());
  if (zero) std::fill(curve.rates_.begin(), curve.rates_.end(), 0.0);
  curve.integrated_ = count > 1 && !zero;
  curve.slopes_.assign(curve.times_.size(), 0.0);
  if (count > 1 && HermiteSlopes(curve.times_, curve.rates_, curve.slopes_) < 0)
    return std::nullopt;
  curve.tail_ = tail;
  if (count > 1) {
    const std::size_t last = curve.times_.size() - 1;
    curve.tailCurve_ = TailCurve::Of(tail, curve.times_[last - 1], curve.times_[last],
                                     curve.rates_[last - 1], curve.rates_[last]);
  }
  return curve;
}

double RateCurve::Rate(double t) const {
  if (singlePoint()) return rates_[0];
  if (tail_ != Tail::kCubic && t > times_.back()) return tailCurve_.Rate(t - times_.back());
  // The piece whose interval holds t; beyond the ends the end pieces.
  const auto after = std::upper_bound(times_.begin() + 1, times_.end() - 1, t);
  const auto i = static_cast<std::size_t>(after - times_.begin()) - 1;
  const Extended h = Extended(times_[i + 1]) - times_[i];
  const Extended s = (t - Extended(times_[i])) / h;
  const Extended r = 1 - s;
  return Stored((1 + 2 * s) * r * r * rates_[i] + s * r * r * h * slopes_[i] +
                s * s * (3 - 2 * s) * rates_[i + 1] - s * s * r * h * slopes_[i + 1]);
}

std::vector<double> RateCurve::Doses(std::span<const double> limits) const {
  if (singlePoint()) return std::vector<double>(limits.size(), rates_[0]);
  std::vector<double> doses(limits.size());
  CurveIntegrator(times_, 0.0, limits).Integrate(rates_, slopes_, doses);
  if (tail_ == Tail::kCubic) return doses;
  const double lastTime = times_.back();
  const double doseAtLast = HermiteIntegral(times_, rates_, slopes_, 0.0, lastTime);
  for (std::size_t i = 0; i < limits.size(); ++i) {
    if (limits[i] > lastTime)
      doses[i] = DoseThroughTail(doseAtLast, tailCurve_, lastTime, limits[i]);
  }
  return doses;
}

std::vector<Extrapolation> RateCurve::Extrapolations(std::span<const double> limits) const {
  std::vector<Extrapolation> statuses(limits.size(), Extrapolation::kNone);
  if (!integrated_) return statuses;
  if (tail_ != Tail::kCubic) {
    // A closed-form tail stays within what the data allow.
    for (std::size_t i = 0; i < limits.size(); ++i) {
      if (limits[i] > times_.back()) statuses[i] = Extrapolation::kBounded;
    }
    return statuses;
  }
  const double doseAtLast = HermiteIntegral(times_, rates_, slopes_, 0.0, times_.back());
  for (std::size_t i = 0; i < limits.size(); ++i)
    statuses[i] = JudgeCurveExtension(times_, rates_, slopes_, doseAtLast, limits[i]);
  return statuses;
}

std::vector<double> LogSpacedTimes(double from, double to, int perDecade) {
  std::vector<double> times;
  if (!(from > 0) || to < from) return times;
  for (int k = 0;; ++k) {
    const double t = from * std::pow(10.0, static_cast<double>(k) / perDecade);
    if (t >= to) break;
    times.push_back(t);
  }
  times.push_back(to);
  return times;
}

}  // namespace quillmore::integration
