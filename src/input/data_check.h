// Validation of a whole data set: the index and both dose-rate files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "input/fault_list.h"

namespace quillmore::input {

// Problems reported per file at most; one more line says how many were left out.
inline constexpr std::size_t kMaxProblemsPerFile = 200;

// Checks the data folder and the times file and returns every problem found,
// each with its bare file name ("TQV27INH2.DRT") and record (or line), then
// the notes (empty when clean): missing files, record lengths (and line ends
// converted to LF), unsorted or duplicate index names, first and last
// entry and start records out of range or not at the nuclide's first block,
// LET letters and records per point that disagree, time-point counts out of
// 0..150, times not strictly increasing, blocks of a nuclide that are not
// contiguous or not in the index, ages no age group takes, age groups a
// nuclide has no block for, nuclides in neither dose-rate file, and a times
// file the programs would refuse. Notes: a nuclide in one dose-rate file
// only, periods past the last tabulated time, single-point blocks.
std::vector<Fault> CheckDataSet(const std::filesystem::path& dataFolder,
                                const std::filesystem::path& timesFile);

}  // namespace quillmore::input
