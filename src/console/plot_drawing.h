// A plot drawn into a screen in Braille dots or ASCII marks.
#pragma once

#include "console/screen.h"
#include "plot/plot.h"

namespace quillmore::console {

// Draws `plot` over the whole of `screen` but its last row: the title, the
// panels on log-log axes with power-of-ten ticks, the legends and the notes.
// Values of 0 or below, which log axes cannot show, are left out and counted
// in a note. With `unicode`, lines are drawn in Braille dots (2 x 4 per
// cell), otherwise in ASCII marks.
void DrawPlot(const plot::Plot& plot, Screen& screen, bool unicode);

}  // namespace quillmore::console
