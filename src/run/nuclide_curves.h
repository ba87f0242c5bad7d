// The rate curves behind one nuclide's tables, block by block: for the plots
// of the viewer and the curve files of the batch command.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/result.h"
#include "base/status.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "integration/coefficient_table.h"
#include "integration/rate_curve.h"
#include "run/block_walk.h"
#include "run/nuclide_run.h"

namespace quillmore::run {

// The curves of one selected position, by LET component (low, high).
using CurvePair = std::array<integration::RateCurve, integration::kComponentCount>;

// The curves of every selected position of a block the walk read, in
// selection order; none for a block without time points. Corruption for
// times not strictly increasing, which no read block has. Past their data
// the curves follow `tail`.
base::Result<std::vector<CurvePair>> BuildBlockCurves(
    const WalkedBlock& walked, integration::Tail tail = integration::Tail::kCubic);

// One row group of a table: a block of a selected age group.
struct BlockCurves {
  int table = 0;  // index in the run's selectedAges
  input::BlockHeader header;
  int formNumber = 0;             // the label number (output::FormNumbers::label)
  int rowGroup = 0;               // 1, 2, ... in its table (output::FormNumbers::rowGroup)
  std::vector<CurvePair> curves;  // BuildBlockCurves
};

struct NuclideCurves {
  base::Status status;
  std::vector<BlockCurves> blocks;  // in file order; blocks with no row group left out
};

// Walks the blocks of entry.name with the tables' walk (WalkNuclideBlocks)
// and keeps the curves of every block it hands on, past their data following
// TailOf(run); status as the walk's.
NuclideCurves ReadNuclideCurves(input::DoseRateFile& file, const input::IndexEntry& entry,
                                const RunSelection& run);

}  // namespace quillmore::run
