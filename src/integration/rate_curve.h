// One rate curve of a block as the tables see it, for plots and curve files:
// the monotone cubic Hermite interpolant of the tabulated rates and its
// integral from intake, computed by the same slopes and integrals as the
// coefficients.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "integration/extrapolation_check.h"
#include "integration/rate_table.h"
#include "integration/tail.h"

namespace quillmore::integration {

class RateCurve {
 public:
  // The curve of (component, position) in a block read by ReadRateBlock.
  // A component the block's `letLetter` does not integrate is the zero curve,
  // as its coefficients are. Past the last time point the curve follows
  // `tail`, as IntegrateRateBlock's coefficients do. Empty when the block has
  // no time points or its times are not strictly increasing (the table then
  // has no row group).
  static std::optional<RateCurve> FromBlock(const RateTable& rates, const TimeGrid& timeGrid,
                                            char letLetter, int component, int position,
                                            Tail tail = Tail::kCubic);

  // The rate (Gy/Bq per day) at `t` days: the cubic piece around t, the first
  // piece continued before the data, past them the tail (under kCubic the
  // last piece continued); a single point is constant.
  double Rate(double t) const;
  // The dose (Gy/Bq) from 0 to each of `limits` (days), bit for bit the
  // coefficients of the table for those integration times; for a single
  // point, its rate.
  std::vector<double> Doses(std::span<const double> limits) const;
  // The far-extrapolation status of each of those doses, as the table's:
  // kNone for a single point and for a component the block does not integrate.
  std::vector<Extrapolation> Extrapolations(std::span<const double> limits) const;

  std::span<const double> times() const { return times_; }
  std::span<const double> rates() const { return rates_; }
  std::span<const double> slopes() const { return slopes_; }
  bool singlePoint() const { return times_.size() == 1; }
  Tail tail() const { return tail_; }

 private:
  std::vector<double> times_;
  std::vector<double> rates_;
  std::vector<double> slopes_;
  bool integrated_ = false;  // a component of two or more points the block integrates
  Tail tail_ = Tail::kCubic;
  TailCurve tailCurve_;  // past the last time point, unless kCubic or a single point
};

// Times from `from` to `to` (days, 0 < from), `perDecade` to a factor of
// ten, evenly spaced on a log scale; `to` is the last. Empty when to < from.
std::vector<double> LogSpacedTimes(double from, double to, int perDecade);

}  // namespace quillmore::integration
