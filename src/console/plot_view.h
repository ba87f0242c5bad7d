// The full-screen plot view opened from the table viewer.
#pragma once

#include "console/console.h"
#include "console/plot.h"
#include "console/screen.h"

namespace quillmore::console {

// Draws `plot` over the whole of `screen` but its last row: the title, the
// panels on log-log axes with power-of-ten ticks, the legends and the notes.
// Values of 0 or below, which log axes cannot show, are left out and counted
// in a note. With `unicode`, lines are drawn in Braille dots (2 x 4 per
// cell), otherwise in ASCII marks.
void DrawPlot(const Plot& plot, Screen& screen, bool unicode);

// Shows the plots of `source` from (region, group) until q or Esc: Left and
// Right go to the previous and next region, Up and Down to the previous and
// next group; a resize redraws. Leaves the console's own screen unshown.
void ShowPlots(Console& console, PlotSource& source, int region, int regionCount, int group,
               int groupCount);

}  // namespace quillmore::console
