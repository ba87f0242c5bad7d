// The viewer's plots of a table's curves: rate and dose from intake of one
// region and form, on log-log axes, drawn by the console layer and saved as
// figure files on request.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "console/plot.h"
#include "run/figure_export.h"
#include "run/nuclide_curves.h"

namespace quillmore::app {

// Where the viewer's `s` saves a plot, as what, and the folder's name as the
// status line gives it.
struct FigureSaving {
  std::filesystem::path folder;
  std::string shownFolder;
  run::FigureOptions options;
};

// The plots behind one age group's table, read from the dose-rate file when
// the first is asked for.
class CurvePlots : public console::PlotSource {
 public:
  // `file` and `run` must outlive this; `table` is the index in selectedAges.
  CurvePlots(input::DoseRateFile& file, const input::IndexEntry& entry, std::string nuclideName,
             const run::RunSelection& run, int table, FigureSaving saving);
  std::optional<plot::Plot> PlotFor(int region, int group) override;
  // As "<nuclide>_<H|G>_<age days>_f<form>_r<region>" with the options'
  // formats, named as the batch command names them.
  std::string SaveFigure(int region, int group) override;

 private:
  input::DoseRateFile& file_;
  input::IndexEntry entry_;
  std::string nuclideName_;
  const run::RunSelection& run_;
  int table_;
  FigureSaving saving_;
  std::optional<run::NuclideCurves> curves_;
  std::vector<const run::BlockCurves*> groups_;
};

}  // namespace quillmore::app
