// The composite region "Lung": a weighted sum of region columns 15 to 18.
#pragma once

#include <array>

namespace quillmore::integration {

inline constexpr int kLungFirstColumn = 15;  // region number of the first weighted column
// Held in single precision on purpose: the composite uses the float values
// (they sum to 0.9990000128746033, not 1).
inline constexpr std::array<float, 4> kLungWeights = {0.1665f, 0.1665f, 0.333f, 0.333f};

// The Lung rate from the rates of columns 15, 16, 17 and 18 (in that order):
// each product of a rate and its float weight is added to a double partial sum.
double LungRate(const std::array<double, 4>& columnRates);

}  // namespace quillmore::integration
