// Coefficients whose extended curves leave the range of their data: the
// warning a run gives for a block, and the same for a whole data set.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "input/data_check.h"
#include "input/selection.h"
#include "integration/coefficient_table.h"
#include "integration/tail.h"
#include "output/run_message.h"
#include "run/block_walk.h"

namespace quillmore::run {

// The warning for `block`, integrated into `coefficients` over
// selection.integrationTimes, when any coefficient is kUnbounded:
// "Pu-239 Adult class M: past 45000 d the extended curve leaves the range of
// its data (12 regions); coefficients for 100000, 1000000 d cannot be trusted",
// naming the regions and periods with any such value.
std::optional<output::RunMessage> UnboundedWarning(
    const WalkedBlock& block, const integration::CoefficientTable& coefficients,
    const input::Selection& selection);

// Those warnings for every block of every nuclide of the index in both
// dose-rate files of `dataFolder`, all regions and `integrationTimes`, each
// at its dose-rate file and header record. Files that do not open, and blocks
// the walk cannot read, are passed over: the data check reports them. The
// curves continue past their data as `tail` has them, so only kCubic can give
// a warning.
std::vector<input::Fault> CheckFarExtrapolation(const std::filesystem::path& dataFolder,
                                                std::span<const double> integrationTimes,
                                                integration::Tail tail = integration::Tail::kCubic);

}  // namespace quillmore::run
