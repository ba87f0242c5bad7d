#include "integration/extrapolation_check.h"

#include <cmath>

#include "integration/extended.h"

namespace quillmore::integration {

const char* ExtrapolationName(Extrapolation status) {
  switch (status) {
    case Extrapolation::kNone:
      return "none";
    case Extrapolation::kBounded:
      return "bounded";
    case Extrapolation::kUnbounded:
      return "unbounded";
  }
  return "none";
}

Extrapolation JudgeExtension(double addedDose, double lastRate, double spanPastData,
                             double doseAtLast) {
  if (!(spanPastData > 0)) return Extrapolation::kNone;
  // 1e-3 of the dose up to the data's end is invisible at the tables' digits,
  // and it passes the small wiggles of tails that end at 0.
  const Extended tau = 1e-3L * std::fabs(doseAtLast);
  const Extended upper = Extended(lastRate) * spanPastData + tau;
  const bool inside = addedDose >= -tau && addedDose <= upper;
  return inside ? Extrapolation::kBounded : Extrapolation::kUnbounded;
}

}  // namespace quillmore::integration
