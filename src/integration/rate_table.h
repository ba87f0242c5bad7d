// The time points and dose rates of one block, reused block after block.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "input/dose_rate_file.h"
#include "integration/coefficient_table.h"

namespace quillmore::integration {

// The block's time points in days, from index 0. Holds at most
// input::kMaxTimePoints; points beyond count() keep what an earlier block left.
class TimeGrid {
 public:
  // Precondition: 0 <= count <= input::kMaxTimePoints.
  void SetCount(int count) { count_ = static_cast<std::size_t>(count); }
  int count() const { return static_cast<int>(count_); }
  double& at(int i) { return points_[static_cast<std::size_t>(i)]; }
  double at(int i) const { return points_[static_cast<std::size_t>(i)]; }
  // The first count() points.
  std::span<const double> points() const { return {points_.data(), count_}; }

 private:
  std::array<double, input::kMaxTimePoints> points_{};
  std::size_t count_ = 0;
};

// Dose rates in Gy/Bq per day by (component, selection position, time point),
// all from 0. Each curve is contiguous so it can be integrated in place.
class RateTable {
 public:
  // Sizes the table for `regionCount` positions and sets the rates of the
  // first `pointCount` points (0 to kMaxTimePoints) of every curve to 0; the
  // points after them keep what an earlier block left, as the time grid's do.
  // Clearing only what a block uses keeps a walk of short blocks cheap.
  // Allocates only when regionCount grows beyond what was held before.
  void Reset(int regionCount, int pointCount = input::kMaxTimePoints) {
    regionCount_ = regionCount;
    const auto curves = static_cast<std::size_t>(kComponentCount * regionCount);
    if (values_.size() < curves * kPoints) values_.resize(curves * kPoints);
    for (std::size_t curve = 0; curve < curves; ++curve) {
      std::fill_n(values_.begin() + static_cast<std::ptrdiff_t>(curve * kPoints), pointCount, 0.0);
    }
  }
  int regionCount() const { return regionCount_; }

  double& at(int component, int position, int point) {
    return values_[Offset(component, position) + static_cast<std::size_t>(point)];
  }
  double at(int component, int position, int point) const {
    return values_[Offset(component, position) + static_cast<std::size_t>(point)];
  }
  // The rates of one curve at its first `pointCount` time points (<= kMaxTimePoints).
  std::span<const double> curve(int component, int position, int pointCount) const {
    return {values_.data() + Offset(component, position), static_cast<std::size_t>(pointCount)};
  }

 private:
  static constexpr std::size_t kPoints = input::kMaxTimePoints;
  std::size_t Offset(int component, int position) const {
    return static_cast<std::size_t>(component * regionCount_ + position) * kPoints;
  }

  int regionCount_ = 0;
  std::vector<double> values_;
};

}  // namespace quillmore::integration
