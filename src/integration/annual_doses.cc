#include "integration/annual_doses.h"

#include <algorithm>

namespace quillmore::integration {

void YearDoses::Reset(int firstYear, int yearCount, int regionCount) {
  Shape(firstYear, yearCount, regionCount);
  Hold();
}

void YearDoses::Shape(int firstYear, int yearCount, int regionCount) {
  firstYear_ = firstYear;
  yearCount_ = yearCount;
  regionCount_ = regionCount;
  held_ = false;
  tails_ = false;
}

void YearDoses::Hold() {
  if (held_) return;
  const auto size = static_cast<std::size_t>(yearCount_ * regionCount_);
  low_.assign(size, 0.0);
  high_.assign(size, 0.0);
  extrapolation_.assign(size, Extrapolation::kNone);
  held_ = true;
}

void YearMoments::Reset(int firstYear, int yearCount, int regionCount) {
  firstYear_ = firstYear;
  regionCount_ = regionCount;
  moments_.assign(static_cast<std::size_t>(yearCount * regionCount * 2), Moments{});
}

void YearDoses::Resize(int firstYear, int yearCount, int regionCount) {
  firstYear_ = firstYear;
  yearCount_ = yearCount;
  regionCount_ = regionCount;
  const auto size = static_cast<std::size_t>(yearCount * regionCount);
  low_.resize(size);
  high_.resize(size);
  extrapolation_.resize(size);
  held_ = true;
  tails_ = false;
}

void YearDoses::HoldTails() {
  if (tails_) return;
  const std::size_t size = low_.size();
  lowTail_.assign(size, 0.0);
  highTail_.assign(size, 0.0);
  tails_ = true;
}

void YearDoses::SetTails(int year, int region, double low, double high) {
  HoldTails();
  lowTail_[At(year, region)] = low;
  highTail_[At(year, region)] = high;
}

void YearDoses::FirstAdd(const YearDoses& part) {
  const auto size = static_cast<std::size_t>(yearCount_ * regionCount_);
  low_.resize(size);
  high_.resize(size);
  extrapolation_.resize(size);
  held_ = true;
  const std::size_t offset = At(part.firstYear(), 0), end = offset + part.low_.size();
  const auto zero = [this](std::size_t from, std::size_t to) {
    std::fill(low_.data() + from, low_.data() + to, 0.0);
    std::fill(high_.data() + from, high_.data() + to, 0.0);
    std::fill(extrapolation_.data() + from, extrapolation_.data() + to, Extrapolation::kNone);
  };
  zero(0, offset);
  for (std::size_t k = offset; k < end; ++k) {
    // 0 + v, as adding to a zeroed table gives it (-0 becomes 0).
    low_[k] = 0.0 + part.low_[k - offset];
    high_[k] = 0.0 + part.high_[k - offset];
    extrapolation_[k] = part.extrapolation_[k - offset];
  }
  zero(end, size);
  if (!part.tails_) return;
  HoldTails();
  for (std::size_t k = offset; k < end; ++k) {
    lowTail_[k] = 0.0 + part.lowTail_[k - offset];
    highTail_[k] = 0.0 + part.highTail_[k - offset];
  }
}

void YearDoses::Add(const YearDoses& part) {
  if (!held_) {
    FirstAdd(part);
    return;
  }
  if (part.tails_) HoldTails();
  // The part's years are a run of whole rows of these, laid out alike.
  const std::size_t offset = At(part.firstYear(), 0), size = part.low_.size();
  for (std::size_t k = 0; k < size; ++k) {
    low_[offset + k] += part.low_[k];
    high_[offset + k] += part.high_[k];
    extrapolation_[offset + k] = Worse(extrapolation_[offset + k], part.extrapolation_[k]);
  }
  if (!part.tails_) return;
  for (std::size_t k = 0; k < size; ++k) {
    lowTail_[offset + k] += part.lowTail_[k];
    highTail_[offset + k] += part.highTail_[k];
  }
}

}  // namespace quillmore::integration
