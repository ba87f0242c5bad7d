// The blocks of one nuclide and age group as an intake history uses them:
// each with its form number and code, and the rate curves of a block the
// tables integrate.
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
#include "integration/year_integrals.h"

namespace quillmore::run {

struct FormBlock {
  int formNumber = 0;       // position among the age group's blocks, from 1
  std::string formCode;     // as the coefficient CSV writes it (single-byte text)
  std::int64_t record = 0;  // the header's record
  // Why the tables leave the block out or do not integrate it; empty when they do.
  std::string fault;
  std::vector<double> times;  // the block's time points
  // By selection position, then LET component; empty when `fault` is set.
  std::vector<std::array<integration::RateCurve, integration::kComponentCount>> curves;
  // One per curve, in the same order (position x 2 + component); they keep
  // spans into `curves`, which therefore must not be copied.
  std::vector<integration::PieceIntegrals> integrals;
};

// Walks the blocks of `nuclideName` (7 characters, confirmed by the index as
// `entry`) in `file` of `kind` as the tables do, and keeps those of age group
// `ageGroup` (1 to 6) with the curves of `selectedRegions`. A start record
// outside the file is a Corruption error.
base::Status ReadFormBlocks(input::DoseRateFile& file, const input::IndexEntry& entry,
                            const std::string& nuclideName, input::DataKind kind, int ageGroup,
                            const std::vector<int>& selectedRegions,
                            std::vector<FormBlock>& blocks);

}  // namespace quillmore::run
