// The drawing of a figure on any cairo surface, in points from the top left.
#pragma once

#include <cairo.h>

#include <vector>

#include "plot/figure.h"

namespace quillmore::plot {

// Draws `plot` into a `width` x `height` points area of `cairo`: the title,
// a legend naming each series, the panels stacked on log-log axes with decade
// and minor ticks, the x axis title and the notes (with values <= 0 counted).
// Returns each panel's frame.
std::vector<PanelFrame> DrawFigure(cairo_t* cairo, const Plot& plot, double width, double height);

}  // namespace quillmore::plot
