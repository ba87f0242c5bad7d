#include "integration/lung_weights.h"

#include <cstddef>

#include "integration/extended.h"

namespace quillmore::integration {

double LungRate(const std::array<double, 4>& columnRates) {
  double sum = Stored(Extended(columnRates[0]) * kLungWeights[0]);
  for (std::size_t i = 1; i < columnRates.size(); ++i) {
    sum = Stored(Extended(sum) + Extended(columnRates[i]) * kLungWeights[i]);
  }
  return sum;
}

}  // namespace quillmore::integration
