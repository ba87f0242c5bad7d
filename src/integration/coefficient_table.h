// Absorbed dose coefficients of one block, in Gy/Bq, each with its
// far-extrapolation status.
#pragma once

#include <cstddef>
#include <vector>

#include "integration/extrapolation_check.h"

namespace quillmore::integration {

// LET components: containers index them from 0.
inline constexpr int kLowLet = 0;
inline constexpr int kHighLet = 1;
inline constexpr int kComponentCount = 2;

// Coefficient by (component, selection position, integration-time index), all
// counted from 0: position j is the place of a region in the run's selected
// regions, not its region number. A component a block does not carry stays 0
// and kNone; so does every value of a single-point block.
class CoefficientTable {
 public:
  // Sizes the table for `regionCount` positions and `timeCount` integration
  // times and sets every coefficient to 0, every status to kNone.
  void Reset(int regionCount, int timeCount) {
    regionCount_ = regionCount;
    timeCount_ = timeCount;
    const auto count = static_cast<std::size_t>(kComponentCount * regionCount * timeCount);
    values_.assign(count, 0.0);
    extrapolations_.assign(count, Extrapolation::kNone);
  }

  double& at(int component, int position, int timeIndex) {
    return values_[Offset(component, position, timeIndex)];
  }
  double at(int component, int position, int timeIndex) const {
    return values_[Offset(component, position, timeIndex)];
  }

  // Whether the coefficient reaches past its curve's data, and how far it can be trusted there.
  Extrapolation& extrapolation(int component, int position, int timeIndex) {
    return extrapolations_[Offset(component, position, timeIndex)];
  }
  Extrapolation extrapolation(int component, int position, int timeIndex) const {
    return extrapolations_[Offset(component, position, timeIndex)];
  }

  int regionCount() const { return regionCount_; }
  int timeCount() const { return timeCount_; }

 private:
  std::size_t Offset(int component, int position, int timeIndex) const {
    return static_cast<std::size_t>((component * regionCount_ + position) * timeCount_ + timeIndex);
  }

  int regionCount_ = 0;
  int timeCount_ = 0;
  std::vector<double> values_;
  std::vector<Extrapolation> extrapolations_;
};

}  // namespace quillmore::integration
