// The blocks of one nuclide and age group as an intake history uses them:
// each with its form number and code, and the rate curves of a block the
// tables integrate.
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
#include "integration/tail.h"
#include "integration/year_integrals.h"
#include "run/nuclide_curves.h"

namespace quillmore::run {

struct FormBlock {
  int formNumber = 0;       // position among the age group's blocks, from 1 (the label number)
  std::string formCode;     // output::FormCode: as the coefficient CSV writes it, single-byte text
  std::int64_t record = 0;  // the header's record
  // Not ok: why the tables leave the block out or do not integrate it.
  base::Status integrable;
  std::vector<double> times;      // the block's time points
  std::vector<CurvePair> curves;  // BuildBlockCurves; empty unless integrable
  // One per curve, in the same order (position x 2 + component); they keep
  // spans into `curves`, which therefore must not be copied.
  std::vector<integration::PieceIntegrals> integrals;
  // How many of those curves keep their last rate past the data (a rate
  // that was not falling, under the exponential tail).
  int curvesKeepingLastRate = 0;
};

// Every block of age group `ageGroup` (1 to 6) of entry.name in `file` of
// `kind`, in file order, read by the tables' walk (WalkNuclideBlocks) with the
// curves of `selectedRegions`, each following `tail` past its data; the
// walk's Corruption for a bad start record.
base::Result<std::vector<FormBlock>> ReadAgeGroupBlocks(
    input::DoseRateFile& file, const input::IndexEntry& entry, input::DataKind kind, int ageGroup,
    const std::vector<int>& selectedRegions,
    integration::Tail tail = integration::Tail::kExponential);

}  // namespace quillmore::run
