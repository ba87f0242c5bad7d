// Where the plot view gets its plots: the description itself is the plot
// layer's, free of what the numbers mean.
#pragma once

#include <optional>
#include <string>

#include "plot/plot.h"

namespace quillmore::console {

// Plots behind a table's row groups and region columns (both from 0).
class PlotSource {
 public:
  virtual ~PlotSource() = default;
  // Empty when there is nothing to draw for that cell of the table.
  virtual std::optional<plot::Plot> PlotFor(int region, int group) = 0;
  // Saves that plot as figure files; one line for the status line saying
  // where, or what failed.
  virtual std::string SaveFigure(int region, int group) = 0;
};

}  // namespace quillmore::console
