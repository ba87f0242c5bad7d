// The choice of age groups and target regions, in two list boxes.
#pragma once

#include <string>
#include <vector>

#include "console/console.h"
#include "input/dose_rate_file.h"

namespace quillmore::app {

struct Selection {
  std::vector<int> selectedAges;         // age-group numbers 1 to 6, as the box reports them
  std::vector<int> selectedRegions;      // region numbers 1 to 30
  std::vector<std::string> regionNames;  // regions 1 to 30 (the box adds "ALL ORGANS")
};

// Reads the region names from record 2 of `file`, shows the age box and then
// (unless it was closed) the region box, and prints the counts at the cursor.
// An empty list means that box was closed without a choice.
Selection SelectAgesAndRegions(console::Console& console, input::DoseRateFile& file);

}  // namespace quillmore::app
