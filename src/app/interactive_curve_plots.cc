#include "app/interactive_curve_plots.h"

#include "run/curve_plot.h"

namespace quillmore::app {

CurvePlots::CurvePlots(input::DoseRateFile& file, const input::IndexEntry& entry,
                       std::string nuclideName, const run::RunSelection& run, int table,
                       FigureSaving saving)
    : file_(file),
      entry_(entry),
      nuclideName_(std::move(nuclideName)),
      run_(run),
      table_(table),
      saving_(std::move(saving)) {}

std::optional<plot::Plot> CurvePlots::PlotFor(int region, int group) {
  if (!curves_) {
    curves_ = run::ReadNuclideCurves(file_, entry_, run_);
    for (const run::BlockCurves& block : curves_->blocks)
      if (block.table == table_) groups_.push_back(&block);
  }
  if (group < 0 || group >= static_cast<int>(groups_.size())) return std::nullopt;
  const run::BlockCurves& block = *groups_[static_cast<std::size_t>(group)];
  if (region < 0 || region >= static_cast<int>(block.curves.size())) return std::nullopt;
  return run::BuildCurvePlot(block, region, run_);
}

std::string CurvePlots::SaveFigure(int region, int group) {
  const std::optional<plot::Plot> plot = PlotFor(region, group);
  if (!plot) return "Nothing to save here.";
  const base::Result<std::string> named =
      run::CurveFigureStem(nuclideName_, run_, table_, group + 1, region);
  std::vector<std::filesystem::path> paths;
  const base::Status status = named.ok()
                                  ? run::WriteFigureFiles(*plot, named.value(), saving_.options,
                                                          saving_.folder, nullptr, &paths)
                                  : named.status();
  if (!status.ok()) return "Not saved: " + status.message();
  const std::string& stem = named.value();
  std::string saved = "Saved " + saving_.shownFolder + "/" + stem + ".";
  for (std::size_t i = 0; i < paths.size(); ++i)
    saved += (i == 0 ? "" : " and .") + paths[i].extension().string().substr(1);
  return saved;
}

}  // namespace quillmore::app
