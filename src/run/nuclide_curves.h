// The rate curves behind one nuclide's tables, block by block: for the plots
// of the viewer and the curve files of the batch command.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "integration/coefficient_table.h"
#include "integration/rate_curve.h"
#include "run/nuclide_run.h"

namespace quillmore::run {

// One row group of a table: a block of a selected age group.
struct BlockCurves {
  int table = 0;  // index in the run's selectedAges
  input::BlockHeader header;
  int formNumber = 0;  // as the table writer numbers the forms
  // By selection position, then LET component (low, high); empty for a block
  // without time points.
  std::vector<std::array<integration::RateCurve, integration::kComponentCount>> curves;
};

struct NuclideCurves {
  base::Status status;
  std::vector<BlockCurves> blocks;  // in file order; blocks with no row group left out
};

// Walks the blocks of `nuclideName` (7 characters, confirmed by the index as
// `entry`) as the tables do and keeps the curves of every block of a selected
// age group that yields a row group.
NuclideCurves ReadNuclideCurves(input::DoseRateFile& file, const input::IndexEntry& entry,
                                const std::string& nuclideName, const RunSelection& run);

}  // namespace quillmore::run
