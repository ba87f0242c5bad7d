// A log-log plot as the console draws it: panels of series with markers and
// lines, stacked over one shared time axis. Whoever has the numbers fills it
// in; the console layer only draws.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillmore::console {

struct PlotPoint {
  double x = 0;
  double y = 0;
};

struct PlotSeries {
  std::string label;           // for the legend
  int color = 15;              // console colour number
  unsigned char marker = 'o';  // the marker's stand-in where only bytes are shown
  char32_t markerGlyph = U'\u25CF';
  std::vector<PlotPoint> markers;
  std::vector<PlotPoint> line;        // consecutive points joined
  std::vector<PlotPoint> dashedLine;  // joined, drawn dotted (extrapolated)
};

struct PlotPanel {
  std::string title;  // names the quantity and its unit
  std::vector<PlotSeries> series;
  std::vector<std::string> legend;  // extra lines under the series' legend
};

struct Plot {
  std::string title;
  std::string xTitle;              // names the shared axis and its unit
  std::vector<PlotPanel> panels;   // stacked top to bottom
  std::vector<std::string> notes;  // lines under the plot
};

// Plots behind a table's row groups and region columns (both from 0).
class PlotSource {
 public:
  virtual ~PlotSource() = default;
  // Empty when there is nothing to draw for that cell of the table.
  virtual std::optional<Plot> PlotFor(int region, int group) = 0;
};

}  // namespace quillmore::console
