// The batch command's figures: each curve of a nuclide's tables drawn as
// SVG, PDF or PNG, or curves compared across age groups, forms or nuclides.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "base/status.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "output/written_files.h"
#include "plot/figure.h"
#include "run/nuclide_run.h"
#include "run/selection_names.h"

namespace quillmore::run {

// What one figure may hold, so that its curves stay apart.
inline constexpr int kMaxCurvesPerFigure = 8;

enum class Comparison { kNone, kAges, kForms, kNuclides };

struct FigureOptions {
  std::vector<plot::FigureFormat> formats;
  plot::FigureSize size;
  Comparison compare = Comparison::kNone;
  int form = 1;             // the form each nuclide shows in a nuclide comparison
  plot::FigureFacts facts;  // software and data set (UTF-8); the title is each figure's
  ListWords words;          // how the face names its age list, for a figure too full
};

// `plot` in each of options.formats as "<stem>.<ext>" in `folder`, each file
// recorded in `written` when given and its path added to `paths` when given.
base::Status WriteFigureFiles(const plot::Plot& plot, const std::string& stem,
                              const FigureOptions& options, const std::filesystem::path& folder,
                              output::WrittenFiles* written,
                              std::vector<std::filesystem::path>* paths);
// As WriteFigureFiles, for a plot whose text is UTF-8 already.
base::Status WriteUtf8FigureFiles(const plot::Plot& plot, const std::string& stem,
                                  const FigureOptions& options, const std::filesystem::path& folder,
                                  output::WrittenFiles* written,
                                  std::vector<std::filesystem::path>* paths);

// The name, without extension, of the figure of one curve of `nuclideName`
// (blanks at either end dropped): "<nuclide>_<H|G>_<age days>_f<form>_r<region>"
// for table `table` (position in run.selectedAges), row group `form` (from 1)
// and region position `region` (in run.selectedRegions). A name unfit for a
// file is InvalidArgument, as output::NuclideFileName has it.
base::Result<std::string> CurveFigureStem(std::string_view nuclideName, const RunSelection& run,
                                          int table, int form, int region);

// The figures of one nuclide: with no comparison, one per selected age
// group, row group ("form", numbered from 1 in each table) and region,
// "<nuclide>_<H|G>_<age days>_f<form>_r<region>"; comparing ages, one per
// form and region, "<nuclide>_<H|G>_ages_f<form>_r<region>"; comparing
// forms, one per age group and region, "<nuclide>_<H|G>_<age days>_forms_r<region>".
// A figure of more than kMaxCurvesPerFigure curves is InvalidArgument,
// suggesting fewer age groups in options.words.ages.
base::Status WriteNuclideFigures(input::DoseRateFile& file, const input::IndexEntry& entry,
                                 const std::string& nuclideName, const RunSelection& run,
                                 const FigureOptions& options, const std::filesystem::path& folder,
                                 output::WrittenFiles* written);

struct NamedNuclide {
  input::IndexEntry entry;
  std::string name;  // 7 characters, as in the index
};

// Per selected age group and region, form options.form of each of
// `nuclides` that has it, in "nuclides_<H|G>_<age days>_f<form>_r<region>".
base::Status WriteNuclidesComparison(input::DoseRateFile& file,
                                     const std::vector<NamedNuclide>& nuclides,
                                     const RunSelection& run, const FigureOptions& options,
                                     const std::filesystem::path& folder,
                                     output::WrittenFiles* written);

}  // namespace quillmore::run
