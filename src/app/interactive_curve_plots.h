// The viewer's plots of a table's curves: rate and dose from intake of one
// region and form, on log-log axes, drawn by the console layer.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "console/plot.h"
#include "run/nuclide_curves.h"

namespace quillmore::app {

// The plot of selection position `position` of `block`: the tabulated rates
// as markers and the Hermite curve through them (dotted past the last
// tabulated time), and the dose from intake with each integration time
// marked and listed with its value as the table prints it.
console::Plot BuildCurvePlot(const run::BlockCurves& block, int position,
                             const run::RunSelection& run);

// The plots behind one age group's table, read from the dose-rate file when
// the first is asked for.
class CurvePlots : public console::PlotSource {
 public:
  // `file` and `run` must outlive this; `table` is the index in selectedAges.
  CurvePlots(input::DoseRateFile& file, const input::IndexEntry& entry, std::string nuclideName,
             const run::RunSelection& run, int table);
  std::optional<console::Plot> PlotFor(int region, int group) override;

 private:
  input::DoseRateFile& file_;
  input::IndexEntry entry_;
  std::string nuclideName_;
  const run::RunSelection& run_;
  int table_;
  std::optional<run::NuclideCurves> curves_;
  std::vector<const run::BlockCurves*> groups_;
};

}  // namespace quillmore::app
