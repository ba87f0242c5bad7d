#include "integration/annual_doses.h"

namespace quillmore::integration {

void YearDoses::Reset(int firstYear, int yearCount, int regionCount) {
  firstYear_ = firstYear;
  yearCount_ = yearCount;
  regionCount_ = regionCount;
  const auto size = static_cast<std::size_t>(yearCount * regionCount);
  low_.assign(size, 0.0);
  high_.assign(size, 0.0);
  lowTail_.assign(size, 0.0);
  highTail_.assign(size, 0.0);
  extrapolation_.assign(size, Extrapolation::kNone);
}

void YearDoses::Resize(int firstYear, int yearCount, int regionCount) {
  firstYear_ = firstYear;
  yearCount_ = yearCount;
  regionCount_ = regionCount;
  const auto size = static_cast<std::size_t>(yearCount * regionCount);
  low_.resize(size);
  high_.resize(size);
  lowTail_.resize(size);
  highTail_.resize(size);
  extrapolation_.resize(size);
}

void YearDoses::Add(const YearDoses& part) {
  for (int year = part.firstYear(); year < part.firstYear() + part.yearCount(); ++year) {
    for (int j = 0; j < regionCount_; ++j) {
      low(year, j) += part.low(year, j);
      high(year, j) += part.high(year, j);
      lowTail(year, j) += part.lowTail(year, j);
      highTail(year, j) += part.highTail(year, j);
      extrapolation(year, j) = Worse(extrapolation(year, j), part.extrapolation(year, j));
    }
  }
}

}  // namespace quillmore::integration
