// What a history run says of the doses from past the last tabulated time of
// the data: one note for the run under the exponential and zero tails.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "input/fault_list.h"
#include "integration/annual_doses.h"
#include "integration/tail.h"

namespace quillmore::run {

struct PastDataCounts {
  std::size_t intakes = 0;         // intakes of the run
  std::size_t pastIntakes = 0;     // of them, those with a value past their data
  std::size_t constantBlocks = 0;  // blocks used past their data that keep their last rate
};

// The largest tail / value over the values above 0, and where it is.
struct PastShare {
  double share = 0;
  const integration::PersonDoses* person = nullptr;  // none: no value above 0 has a tail
  int year = 0;
  int position = 0;  // of the region among those selected
  bool high = false;
};
// Widens `largest` by the values of `person` (which must outlive it), so
// that each person's table is read once, while the history still holds it.
void AddPastShares(const integration::PersonDoses& person, PastShare& largest);

// The note's text, without "note: ": how many intakes run past their data,
// the tail followed there and, under kExponential, the columns of its parts,
// the largest share of a person's value (above 0) from past the data and the
// blocks that keep their last rate. Empty under kCubic and when no intake runs
// past its data.
std::optional<std::string> PastDataNote(integration::Tail tail, const PastDataCounts& counts,
                                        const PastShare& largest,
                                        const std::vector<int>& selectedRegions);

// Rows of the intake file a note on the rows left out names, before "and N more".
inline constexpr std::size_t kLeftOutRowsShown = 5;

// The note's text, without "note: ", on the intakes of `fileLabel` that
// start on or after the end of follow-up `limit` sets ("--until-age 70")
// and contribute nothing: how many (`lines`, their lines in file order),
// the first kLeftOutRowsShown lines, and the persons left with no intake
// (the first kFaultsShown), who have no rows. Empty when no intake is left out.
std::optional<std::string> LeftOutNote(const input::TablePlaces& places, std::span<const int> lines,
                                       std::span<const std::string> persons,
                                       const std::string& limit);

}  // namespace quillmore::run
