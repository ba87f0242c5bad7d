// The one call the nuclide run makes per selected block: read its rate
// records and integrate them into dose coefficients.
#pragma once

#include <array>
#include <span>

#include "base/status.h"
#include "input/dose_rate_file.h"
#include "integration/coefficient_table.h"
#include "integration/rate_table.h"

namespace quillmore::integration {

// Tables reused from block to block; once sized for the run's selection,
// blocks allocate nothing.
struct BlockWorkspace {
  TimeGrid timeGrid;
  RateTable rates;
  std::array<double, input::kMaxTimePoints> slopes{};
};

// Reads the block that `header` (the record last read from `file`) opens and
// fills `coefficients` (Gy/Bq) by (component, position in selectedRegions,
// index in integrationTimes, days). Leaves `file` after the block's records.
// A failed block (see ReadRateBlock, IntegrateRateBlock) has coefficients 0.
base::Status ReadAndIntegrateBlock(input::DoseRateFile& file, const input::BlockHeader& header,
                                   std::span<const int> selectedRegions,
                                   std::span<const double> integrationTimes,
                                   BlockWorkspace& workspace, CoefficientTable& coefficients);

}  // namespace quillmore::integration
