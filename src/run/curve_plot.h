// The plot description of rate curves, for the viewer's plots and the figure
// files alike: one block's curves, or curves compared across age groups,
// forms or nuclides.
#pragma once

#include <string>
#include <vector>

#include "plot/plot.h"
#include "run/nuclide_curves.h"

namespace quillmore::run {

// The words that name a block's curve: the nuclide ("Cs-137"), the intake
// ("inhalation" / "ingestion"), the form ("class F Vapour" / "f1 0.1"), the
// age group ("Adult") and the region ("Liver"), trimmed.
struct CurveNames {
  std::string nuclide, intake, form, age, region;
};
CurveNames NamesOf(const BlockCurves& block, int position, const RunSelection& run);

// The plot of selection position `position` of `block`: the tabulated rates
// as markers and the Hermite curve through them (dotted past the last
// tabulated time), and the dose from intake with each integration time
// marked and listed with its value as the table prints it.
plot::Plot BuildCurvePlot(const BlockCurves& block, int position, const RunSelection& run);

// One curve of a comparison and the words the legend gives it.
struct ComparedCurve {
  const BlockCurves* block = nullptr;
  int position = 0;
  std::string label;
};

// Each LET component with data of each of `curves` as its own series, styled
// in turn and labelled "<label>, low LET"; the panels as BuildCurvePlot's.
plot::Plot BuildComparisonPlot(const std::vector<ComparedCurve>& curves, const RunSelection& run,
                               std::string title);

// Series BuildComparisonPlot makes of `curves`.
int ComparedSeriesCount(const std::vector<ComparedCurve>& curves);

}  // namespace quillmore::run
