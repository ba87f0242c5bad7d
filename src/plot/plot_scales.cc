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
  if (plot.xYears) {
    const auto add = [&](double year) {
      if (!std::isfinite(year)) return;
      range.low = range.empty ? year : std::min(range.low, year);
      range.high = range.empty ? year : std::max(range.high, year);
      range.empty = false;
    };
    for (const PlotPanel& panel : plot.panels)
      ForEachPoint(panel, [&](const PlotPoint& point, bool) { add(point.x); });
    for (const AxisMarks& marks : plot.marks)
      for (const double x : marks.at) add(x);
    // To the end of the year holding the last x: a mark on 1 January (the
    // end of follow-up) is not drawn on the panel's edge.
    range.low = std::floor(range.low);
    range.high = std::floor(range.high) + 1;
    return range;
  }
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

int LeftOutCount(const PlotPanel& panel) {
  int leftOut = 0;
  for (const PlotSeries& series : panel.series) {
    leftOut += series.leftOut;
    for (const PlotPoint& point : series.markers) leftOut += point.x > 0 && point.y > 0 ? 0 : 1;
  }
  return leftOut;
}

std::vector<std::string> PlotNotes(const Plot& plot) {
  std::vector<std::string> notes = plot.notes;
  for (const PlotPanel& panel : plot.panels) {
    const int leftOut = LeftOutCount(panel);
    bool curveCut = false;
    ForEachPoint(panel, [&](const PlotPoint& point, bool marker) {
      // A NaN only breaks a line; the values it stands for are counted in leftOut.
      if ((point.x > 0 && point.y > 0) || std::isnan(point.y) || marker) return;
      curveCut = true;
    });
    if (leftOut == 0 && !curveCut) continue;
    notes.push_back(panel.title.substr(0, panel.title.find(" (")) + ": " +
                    (leftOut == 1  ? std::string("1 value <= 0")
                     : leftOut > 1 ? std::to_string(leftOut) + " values <= 0"
                                   : std::string("parts <= 0")) +
                    (plot.xYears ? " left out (a log axis cannot show them)"
                                 : " left out (log axes cannot show them)"));
  }
  return notes;
}

}  // namespace quillmore::plot
