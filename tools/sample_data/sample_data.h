// Writes a complete synthetic data folder: the index "DoseInd.NDX", the two
// dose-rate files and "Quillmore.ini", in the exact record formats.
#pragma once

#include <cstdint>
#include <filesystem>

#include "base/status.h"

namespace quillmore::tools {

struct SampleDataOptions {
  // 0: the default set of real nuclide names; otherwise this many synthetic
  // names (1 to kMaxSyntheticNuclides) for benchmarks.
  int nuclideCount = 0;
  std::uint64_t seed = 1;
};

// Creates `out` (and its parents) when missing and writes the four files into
// it, replacing files of the same names. The same options always give the same
// bytes. Fails with InvalidArgument for a nuclide count out of range and with
// IoError, naming the file, when a file cannot be written.
base::Status GenerateSampleData(const SampleDataOptions& options, const std::filesystem::path& out);

// The integration times (days) written to "Quillmore.ini".
inline constexpr double kSampleIntegrationTimesDays[] = {1, 7, 30, 365, 1825, 3650, 18250, 36500};

}  // namespace quillmore::tools
