// What the programs add to "no data are available for NAME": the nuclides of
// the data set that the typed name is a likely typo of.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "input/data_index.h"
#include "input/data_kind.h"

namespace quillmore::run {

// The nuclides with data in the data set of `kind`, trimmed, in index order.
std::vector<std::string> NuclidesWithData(input::DataIndex& index, input::DataKind kind);

// "; did you mean Tc-99m?" or "; did you mean A, B or C?" for up to three of
// those nuclides close to `typed`; empty when none is close.
std::string SuggestionText(std::string_view typed, input::DataIndex& index, input::DataKind kind);

}  // namespace quillmore::run
