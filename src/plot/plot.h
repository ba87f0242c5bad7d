// A log-log plot as both programs draw it: panels of series with markers and
// lines, stacked over one shared time axis (or, for doses by calendar year,
// a linear axis of years). Whoever has the numbers fills it
// in; the terminal and the figure files only draw it, each with its own
// palette for a series' style number.
#pragma once

#include <string>
#include <vector>

namespace quillmore::plot {

struct PlotPoint {
  double x = 0;
  double y = 0;
};

enum class Marker { kCircle, kDiamond, kPlus, kSquare, kTriangleUp, kTriangleDown };

// Styles a figure may tell apart: colour, marker and line pattern.
inline constexpr int kStyleCount = 8;

struct PlotSeries {
  std::string label;  // for the legend; empty for none
  int style = 0;      // 0 to kStyleCount - 1
  Marker marker = Marker::kCircle;
  std::vector<PlotPoint> markers;
  std::vector<PlotPoint> line;        // consecutive points joined
  std::vector<PlotPoint> dashedLine;  // joined, drawn dotted (extrapolated)
  // Stretches of the extrapolated part that leave the range of their data
  // (cannot be trusted), each joined and drawn apart over the dotted line.
  std::vector<std::vector<PlotPoint>> unboundedLines;
  // Values a log axis cannot show (<= 0) that were left out of the lines,
  // counted in the notes. In a line a point whose y is NaN only breaks it.
  int leftOut = 0;
};

struct PlotPanel {
  std::string title;  // names the quantity and its unit
  std::vector<PlotSeries> series;
  std::vector<std::string> legend;  // extra lines under the series' legend
};

// Places on the shared axis where something happened, drawn across every
// panel as a dashed line or as short ticks along each panel's bottom edge,
// and named in the legend.
struct AxisMarks {
  std::string label;
  std::vector<double> at;  // x of each mark
  bool line = false;       // a line across the panel, else a tick
};

struct Plot {
  std::string title;
  std::string xTitle;              // names the shared axis and its unit
  std::vector<PlotPanel> panels;   // stacked top to bottom
  std::vector<std::string> notes;  // lines under the plot
  // The legend's words for the dotted lines past the data, when they say
  // more than "past the last tabulated time".
  std::string pastDataLabel = {};
  // The shared axis is linear in calendar years, not in decades.
  bool xYears = false;
  std::vector<AxisMarks> marks = {};
};

}  // namespace quillmore::plot
