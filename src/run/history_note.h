// What a history run says of the doses from past the last tabulated time of
// the data: one note for the run under the exponential and zero tails.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "integration/annual_doses.h"
#include "integration/tail.h"

namespace quillmore::run {

struct PastDataCounts {
  std::size_t intakes = 0;         // intakes of the run
  std::size_t pastIntakes = 0;     // of them, those with a value past their data
  std::size_t constantBlocks = 0;  // blocks used past their data that keep their last rate
};

// The note's text, without "note: ": how many intakes run past their data,
// the tail followed there and, under kExponential, the columns of its parts,
// the largest share of a person's value (above 0) from past the data and the
// blocks that keep their last rate. Empty under kCubic and when no intake runs
// past its data.
std::optional<std::string> PastDataNote(integration::Tail tail, const PastDataCounts& counts,
                                        std::span<const integration::PersonDoses> persons,
                                        const std::vector<int>& selectedRegions);

}  // namespace quillmore::run
