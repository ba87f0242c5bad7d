// What a run computes: the data set, the age groups, the regions and the
// integration times with the file they come from. Each program builds one and
// passes it down; the run, the output and the provenance read it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "input/data_kind.h"

namespace quillmore::input {

struct Selection {
  DataKind dataKind = DataKind::kInhalation;
  std::vector<int> selectedAges;         // age-group numbers 1 to 6, list order
  std::vector<int> selectedRegions;      // region numbers 1 to 30, list order
  std::vector<std::string> regionNames;  // names of regions 1 to 30, as the data set heads them
  std::vector<double> integrationTimes;  // days
  std::filesystem::path timesFile;       // where integrationTimes come from, as the run named it
  std::string periodsText;               // or, when not empty, the command line's list of them
};

}  // namespace quillmore::input
