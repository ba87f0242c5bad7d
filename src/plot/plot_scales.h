// What every drawing of a Plot shares: the decades its axes span and the
// notes on values that log axes cannot show.
#pragma once

#include <string>
#include <vector>

#include "plot/plot.h"

namespace quillmore::plot {

// An axis range in decades (log10 of the values).
struct DecadeRange {
  double low = 0;
  double high = 1;
  bool empty = true;

  // Widens the range to hold `value` (> 0); infinity is passed over.
  void Add(double value);
  // Whole decades around the values, at least one.
  void Round();
};

// The shared time axis: every positive x of every panel, whole decades; for
// a plot in years the years themselves (and the marks), from 1 January of
// the first to the end of the year holding the last.
DecadeRange XRange(const Plot& plot);

// A panel's own axis: the y of its points with both coordinates positive.
DecadeRange YRange(const PlotPanel& panel);

// The plot's notes, then one per panel that has values <= 0 left out:
// "<panel title up to its unit>: N values <= 0 left out (...)".
std::vector<std::string> PlotNotes(const Plot& plot);

// A panel's values <= 0 left out: its markers' and its series' leftOut.
int LeftOutCount(const PlotPanel& panel);

}  // namespace quillmore::plot
