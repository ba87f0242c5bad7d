#include "run/figure_export.h"

#include <algorithm>

#include "base/cp1252.h"
#include "base/text.h"
#include "input/age_groups.h"
#include "output/file_writer.h"
#include "output/output_files.h"
#include "run/curve_plot.h"
#include "run/nuclide_curves.h"

namespace quillmore::run {

namespace {

// The plot's text, in the data set's code page, as UTF-8, which the figure
// files hold.
plot::Plot InUtf8(plot::Plot plot) {
  plot.title = base::Cp1252ToUtf8(plot.title);
  for (plot::PlotPanel& panel : plot.panels)
    for (plot::PlotSeries& series : panel.series) series.label = base::Cp1252ToUtf8(series.label);
  for (std::string& note : plot.notes) note = base::Cp1252ToUtf8(note);
  return plot;
}

std::string AgeDays(const RunSelection& run, int table) {
  return std::to_string(input::AgeGroupDays(run.selectedAges[static_cast<std::size_t>(table)]));
}

std::string RegionPart(const RunSelection& run, int position) {
  return "_r" + std::to_string(run.selectedRegions[static_cast<std::size_t>(position)]);
}

// A nuclide's blocks by table, each table's in row-group order.
std::vector<std::vector<const BlockCurves*>> ByTable(const NuclideCurves& curves,
                                                     const RunSelection& run) {
  std::vector<std::vector<const BlockCurves*>> tables(run.selectedAges.size());
  for (const BlockCurves& block : curves.blocks)
    tables[static_cast<std::size_t>(block.table)].push_back(&block);
  return tables;
}

// Where a run's figures go and how they are drawn.
struct Target {
  const RunSelection& run;
  const FigureOptions& options;
  const std::filesystem::path& folder;
  output::WrittenFiles* written;
};

// One figure of `curves`, refused when it would hold too many.
base::Status WriteComparison(const std::vector<ComparedCurve>& curves, std::string title,
                             const std::string& stem, const Target& target) {
  if (curves.empty()) return base::Status::Ok();
  const int count = ComparedSeriesCount(curves);
  if (count > kMaxCurvesPerFigure) {
    return base::Status::InvalidArgument(
        stem + " would hold " + std::to_string(count) + " curves; a figure holds at most " +
        std::to_string(kMaxCurvesPerFigure) + " (select fewer with " + target.options.words.ages +
        ", or compare otherwise)");
  }
  return WriteFigureFiles(BuildComparisonPlot(curves, target.run, std::move(title)), stem,
                          target.options, target.folder, target.written, nullptr);
}

using Tables = std::vector<std::vector<const BlockCurves*>>;

// One figure per age group, row group and region.
base::Status WriteSingles(const Tables& tables, const std::string& nuclideName,
                          const Target& target) {
  base::Status status;
  for (std::size_t t = 0; status.ok() && t < tables.size(); ++t) {
    for (std::size_t g = 0; status.ok() && g < tables[t].size(); ++g) {
      const BlockCurves& block = *tables[t][g];
      for (int j = 0; status.ok() && j < static_cast<int>(block.curves.size()); ++j) {
        const base::Result<std::string> stem =
            CurveFigureStem(nuclideName, target.run, static_cast<int>(t), block.rowGroup, j);
        status = stem.ok()
                     ? WriteFigureFiles(BuildCurvePlot(block, j, target.run), stem.value(),
                                        target.options, target.folder, target.written, nullptr)
                     : stem.status();
      }
    }
  }
  return status;
}

// One figure per age group and region: the row groups of its table.
base::Status WriteFormComparisons(const Tables& tables, const std::string& stem,
                                  const Target& target) {
  base::Status status;
  for (std::size_t t = 0; status.ok() && t < tables.size(); ++t) {
    for (int j = 0; status.ok() && j < static_cast<int>(target.run.selectedRegions.size()); ++j) {
      std::vector<ComparedCurve> compared;
      for (const BlockCurves* form : tables[t])
        if (j < static_cast<int>(form->curves.size()))
          compared.push_back({form, j, NamesOf(*form, j, target.run).form});
      if (compared.empty()) continue;
      const CurveNames names = NamesOf(*compared[0].block, j, target.run);
      status = WriteComparison(
          compared, names.nuclide + "  " + names.intake + "  " + names.age + "  " + names.region,
          stem + "_" + AgeDays(target.run, static_cast<int>(t)) + "_forms" +
              RegionPart(target.run, j),
          target);
    }
  }
  return status;
}

// One figure per row group and region: that row group of every table.
base::Status WriteAgeComparisons(const Tables& tables, const std::string& stem,
                                 const Target& target) {
  std::size_t groups = 0;
  for (const auto& table : tables) groups = std::max(groups, table.size());
  base::Status status;
  for (std::size_t g = 0; status.ok() && g < groups; ++g) {
    for (int j = 0; status.ok() && j < static_cast<int>(target.run.selectedRegions.size()); ++j) {
      std::vector<ComparedCurve> compared;
      for (const auto& table : tables)
        if (g < table.size() && j < static_cast<int>(table[g]->curves.size()))
          compared.push_back({table[g], j, NamesOf(*table[g], j, target.run).age});
      if (compared.empty()) continue;
      const CurveNames names = NamesOf(*compared[0].block, j, target.run);
      status = WriteComparison(
          compared, names.nuclide + "  " + names.intake + ", " + names.form + "  " + names.region,
          stem + "_ages_f" + std::to_string(g + 1) + RegionPart(target.run, j), target);
    }
  }
  return status;
}

}  // namespace

base::Result<std::string> CurveFigureStem(std::string_view nuclideName, const RunSelection& run,
                                          int table, int form, int region) {
  return output::NuclideFileName(
      nuclideName, run.dataKind,
      "_" + AgeDays(run, table) + "_f" + std::to_string(form) + RegionPart(run, region));
}

base::Status WriteFigureFiles(const plot::Plot& plot, const std::string& stem,
                              const FigureOptions& options, const std::filesystem::path& folder,
                              output::WrittenFiles* written,
                              std::vector<std::filesystem::path>* paths) {
  return WriteUtf8FigureFiles(InUtf8(plot), stem, options, folder, written, paths);
}

base::Status WriteUtf8FigureFiles(const plot::Plot& text, const std::string& stem,
                                  const FigureOptions& options, const std::filesystem::path& folder,
                                  output::WrittenFiles* written,
                                  std::vector<std::filesystem::path>* paths) {
  plot::FigureFacts facts = options.facts;
  facts.title = text.title;
  for (const plot::FigureFormat format : options.formats) {
    const base::Result<std::string> bytes = plot::RenderFigure(text, format, options.size, facts);
    if (!bytes.ok()) return bytes.status();
    const std::filesystem::path path =
        folder / (stem + "." + std::string(plot::FigureExtension(format)));
    if (const base::Status status = output::WriteRecordedFile(path, bytes.value(), written);
        !status.ok())
      return status;
    if (paths != nullptr) paths->push_back(path);
  }
  return base::Status::Ok();
}

base::Status WriteNuclideFigures(input::DoseRateFile& file, const input::IndexEntry& entry,
                                 const std::string& nuclideName, const RunSelection& run,
                                 const FigureOptions& options, const std::filesystem::path& folder,
                                 output::WrittenFiles* written) {
  const NuclideCurves curves = ReadNuclideCurves(file, entry, run);
  if (!curves.status.ok()) return curves.status;
  // "<nuclide>_<H|G>", checked for a file name
  const base::Result<std::string> stem = output::NuclideFileName(nuclideName, run.dataKind, "");
  if (!stem.ok()) return stem.status();
  const Target target{run, options, folder, written};
  const Tables tables = ByTable(curves, run);
  switch (options.compare) {
    case Comparison::kAges:
      return WriteAgeComparisons(tables, stem.value(), target);
    case Comparison::kForms:
      return WriteFormComparisons(tables, stem.value(), target);
    default:
      return WriteSingles(tables, nuclideName, target);
  }
}

base::Status WriteNuclidesComparison(input::DoseRateFile& file,
                                     const std::vector<NamedNuclide>& nuclides,
                                     const RunSelection& run, const FigureOptions& options,
                                     const std::filesystem::path& folder,
                                     output::WrittenFiles* written) {
  std::vector<NuclideCurves> all;
  for (const NamedNuclide& nuclide : nuclides) {
    all.push_back(ReadNuclideCurves(file, nuclide.entry, run));
    if (!all.back().status.ok()) return all.back().status;
  }
  std::vector<Tables> tables;
  for (const NuclideCurves& curves : all) tables.push_back(ByTable(curves, run));
  const Target target{run, options, folder, written};
  const std::string letter(1, input::DataSetOf(run.dataKind).fileLetter);
  const std::size_t form = static_cast<std::size_t>(options.form);
  base::Status status;
  for (std::size_t t = 0; status.ok() && t < run.selectedAges.size(); ++t) {
    for (int j = 0; status.ok() && j < static_cast<int>(run.selectedRegions.size()); ++j) {
      std::vector<ComparedCurve> compared;
      for (const Tables& nuclide : tables) {
        if (form > nuclide[t].size()) continue;
        const BlockCurves& block = *nuclide[t][form - 1];
        if (j >= static_cast<int>(block.curves.size())) continue;
        const CurveNames names = NamesOf(block, j, run);
        compared.push_back({&block, j, names.nuclide + " " + names.form});
      }
      if (compared.empty()) continue;
      const CurveNames names = NamesOf(*compared[0].block, j, run);
      status = WriteComparison(
          compared,
          names.intake + ", form " + std::to_string(form) + "  " + names.age + "  " + names.region,
          "nuclides_" + letter + "_" + AgeDays(run, static_cast<int>(t)) + "_f" +
              std::to_string(form) + RegionPart(run, j),
          target);
    }
  }
  return status;
}

}  // namespace quillmore::run
