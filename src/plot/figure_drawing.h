// The drawing of a figure on any cairo surface, in points from the top left.
#pragma once

#include <cairo.h>

#include <array>
#include <string>
#include <vector>

#include "plot/plot.h"
#include "plot/plot_scales.h"

namespace quillmore::plot {

// Where a panel's data area was drawn and what its axes span: enough to map
// a point of the drawing back to its values.
struct PanelFrame {
  double x = 0, y = 0, width = 0, height = 0;  // points, from the top left
  DecadeRange xRange, yRange;
};

// A style's colour (0 to 1 each) from the Okabe-Ito palette, which readers
// with any common colour-vision deficiency tell apart.
std::array<double, 3> StyleColor(int style);

// Draws `plot` into a `width` x `height` points area of `cairo`: the title,
// a legend naming each series, the panels stacked on log-log axes with decade
// and minor ticks, the x axis title and the notes (with values <= 0 counted).
// Returns each panel's frame.
std::vector<PanelFrame> DrawFigure(cairo_t* cairo, const Plot& plot, double width, double height);

}  // namespace quillmore::plot
