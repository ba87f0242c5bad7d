// The batch command's curve files: every curve behind a nuclide's tables.
#pragma once

#include <filesystem>
#include <string>

#include "base/status.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "output/file_writer.h"
#include "output/written_files.h"
#include "run/nuclide_run.h"

namespace quillmore::run {

// Grid points per factor of ten of time in the curve files.
inline constexpr int kCurveGridPerDecade = 50;

// Writes "<entry.name>_<H|G>_curves.csv" into `outputFolder`: for each selected
// age group, row group and selected region, the rates and doses from intake
// of both LET components at the tabulated times, at the integration times and
// on a log grid from the first positive tabulated time to the last
// integration time, in time order, each row flagged by its kind. The file is
// recorded in `written` when given; with Compression::kGzip it is
// "<entry.name>_<H|G>_curves.csv.gz".
base::Status WriteNuclideCurves(input::DoseRateFile& file, const input::IndexEntry& entry,
                                const RunSelection& run, const std::filesystem::path& outputFolder,
                                output::WrittenFiles* written,
                                output::Compression compression = output::Compression::kNone);

}  // namespace quillmore::run
