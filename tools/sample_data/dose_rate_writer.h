// Writes a sample dose-rate file ("TQV27INH2.DRT" or "TQV27ING2.DRT"): a title
// record, the region headings, then each nuclide's blocks, form by form and
// within a form by increasing age.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/status.h"
#include "input/data_kind.h"
#include "input/dose_rate_file.h"
#include "sample_data/nuclide_catalog.h"

namespace quillmore::tools {

// The ages in days of the six age groups, in the order the blocks list them.
inline constexpr std::array<int, 6> kSampleAgesDays = {100, 365, 1825, 3650, 5475, 7300};

// Our 29 region headings (at most 10 characters each); columns 15 to 18 are the
// four lung regions. Heading 29 holds a vertical bar in the inhalation file.
std::array<std::string, input::kRegionColumnCount> SampleRegionHeadings(input::DataKind kind);

// Writes the dose-rate file of `kind` for `nuclides` (sorted) to `path`. On
// success `startRecords` holds, per nuclide, the record number of its first
// block header, or 0 when the nuclide has no form in this file. The bytes
// depend only on the arguments.
base::Status WriteDoseRateFile(input::DataKind kind, const std::vector<NuclidePlan>& nuclides,
                               std::uint64_t seed, const std::filesystem::path& path,
                               std::vector<std::int32_t>* startRecords);

}  // namespace quillmore::tools
