#include "plot/plot_scales.h"

#include <algorithm>
#include <cmath>

namespace quillmore::plot {

namespace {

template <typename Visit>
void ForEachPoint(const PlotPanel& panel, Visit visit) {
  for (const PlotSeries& series : panel.series) {
    for (const auto* points : {&series.markers, &series.line, &series.dashedLine})
      for (const PlotPoint& point : *points) visit(point, points == &series.markers);
  }
}

}  // namespace

void DecadeRange::Add(double value) {
  const double decade = std::log10(value);
  if (!std::isfinite(decade)) return;  // an infinite value would have no last decade
  if (empty) {
    low = high = decade;
    empty = false;
  }
  low = std::min(low, decade);
  high = std::max(high, decade);
}

void DecadeRange::Round() {
  low = std::floor(low);
  high = std::ceil(high);
  if (high <= low) high = low + 1;
}

DecadeRange XRange(const Plot& plot) {
  DecadeRange range;
  for (const PlotPanel& panel : plot.panels)
    ForEachPoint(panel, [&](const PlotPoint& point, bool) {
      if (point.x > 0) range.Add(point.x);
    });
  range.Round();
  return range;
}

DecadeRange YRange(const PlotPanel& panel) {
  DecadeRange range;
  ForEachPoint(panel, [&](const PlotPoint& point, bool) {
    if (point.x > 0 && point.y > 0) range.Add(point.y);
  });
  range.Round();
  return range;
}

std::vector<std::string> PlotNotes(const Plot& plot) {
  std::vector<std::string> notes = plot.notes;
  for (const PlotPanel& panel : plot.panels) {
    int leftOut = 0;
    bool curveCut = false;
    ForEachPoint(panel, [&](const PlotPoint& point, bool marker) {
      if (point.x > 0 && point.y > 0) return;
      if (marker)
        ++leftOut;
      else
        curveCut = true;
    });
    if (leftOut == 0 && !curveCut) continue;
    notes.push_back(panel.title.substr(0, panel.title.find(" (")) + ": " +
                    (leftOut == 1  ? std::string("1 value <= 0")
                     : leftOut > 1 ? std::to_string(leftOut) + " values <= 0"
                                   : std::string("parts <= 0")) +
                    " left out (log axes cannot show them)");
  }
  return notes;
}

}  // namespace quillmore::plot
