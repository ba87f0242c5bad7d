// What the programs add to "no data are available for NAME": the nuclides of
// the data set that the typed name is a likely typo of.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "input/data_index.h"
#include "input/data_kind.h"

namespace quillmore::run {

// The nuclides with data in the data set of `kind`, in index order, their
// names as the index holds them.
std::vector<std::string> NuclideEntriesWithData(input::DataIndex& index, input::DataKind kind);

// The same names trimmed, as lists and messages show them.
std::vector<std::string> NuclidesWithData(input::DataIndex& index, input::DataKind kind);

// kUnknownName "no data are available for NAME", with the suggestions, for
// a nuclide `name` (normalised) that the index does not hold.
base::Status UnknownNuclide(const std::string& name, input::DataIndex& index, input::DataKind kind);

// "; did you mean Tc-99m?" or "; did you mean A, B or C?" for up to three of
// those nuclides close to `typed`; empty when none is close.
std::string SuggestionText(std::string_view typed, input::DataIndex& index, input::DataKind kind);

}  // namespace quillmore::run
