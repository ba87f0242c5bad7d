#include "integration/annual_doses.h"

namespace quillmore::integration {

void YearDoses::Reset(int firstYear, int yearCount, int regionCount) {
  firstYear_ = firstYear;
  yearCount_ = yearCount;
  regionCount_ = regionCount;
  const auto size = static_cast<std::size_t>(yearCount * regionCount);
  low_.assign(size, 0.0);
  high_.assign(size, 0.0);
  extrapolation_.assign(size, Extrapolation::kNone);
  tails_ = false;
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

void YearDoses::Add(const YearDoses& part) {
  if (part.tails_) HoldTails();
  for (int year = part.firstYear(); year < part.firstYear() + part.yearCount(); ++year) {
    for (int j = 0; j < regionCount_; ++j) {
      const std::size_t at = At(year, j), from = part.At(year, j);
      low_[at] += part.low_[from];
      high_[at] += part.high_[from];
      extrapolation_[at] = Worse(extrapolation_[at], part.extrapolation_[from]);
      if (part.tails_) {
        lowTail_[at] += part.lowTail_[from];
        highTail_[at] += part.highTail_[from];
      }
    }
  }
}

}  // namespace quillmore::integration
