// The choice of age groups and target regions, in two list boxes.
#pragma once

#include "console/console.h"
#include "input/dose_rate_file.h"
#include "input/selection.h"

namespace quillmore::app {

// Reads the region names (1 to 30) from record 2 of `file` into `selection`,
// shows the age box and then (unless it was closed) the region box (which
// adds "ALL ORGANS"), puts the choices into selection.selectedAges and
// selectedRegions and prints the counts at the cursor. An empty list means
// that box was closed without a choice.
void SelectAgesAndRegions(console::Console& console, input::DoseRateFile& file,
                          input::Selection& selection);

}  // namespace quillmore::app
