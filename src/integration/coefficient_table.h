// Absorbed dose coefficients of one block, in Gy/Bq.
#pragma once

#include <cstddef>
#include <vector>

namespace quillmore::integration {

// LET components: containers index them from 0.
inline constexpr int kLowLet = 0;
inline constexpr int kHighLet = 1;
inline constexpr int kComponentCount = 2;

// Coefficient by (component, selection position, integration-time index), all
// counted from 0: position j is the place of a region in the run's selected
// regions, not its region number. A component a block does not carry stays 0.
class CoefficientTable {
 public:
  // Sizes the table for `regionCount` positions and `timeCount` integration
  // times and sets every coefficient to 0.
  void Reset(int regionCount, int timeCount) {
    regionCount_ = regionCount;
    timeCount_ = timeCount;
    values_.assign(static_cast<std::size_t>(kComponentCount * regionCount * timeCount), 0.0);
  }

  double& at(int component, int position, int timeIndex) {
    return values_[Offset(component, position, timeIndex)];
  }
  double at(int component, int position, int timeIndex) const {
    return values_[Offset(component, position, timeIndex)];
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
};

}  // namespace quillmore::integration
