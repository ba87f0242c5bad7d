// The full-screen plot view opened from the table viewer.
#pragma once

#include "console/console.h"
#include "console/plot.h"

namespace quillmore::console {

// Shows the plots of `source` from (region, group) until q or Esc: Left and
// Right go to the previous and next region, Up and Down to the previous and
// next group; `s` saves the plot shown as figure files and the status line
// says where until the next key or resize; a resize redraws. Leaves the console's own screen
// unshown.
void ShowPlots(Console& console, PlotSource& source, int region, int regionCount, int group,
               int groupCount);

}  // namespace quillmore::console
