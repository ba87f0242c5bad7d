// Reads one block's rate records into the time grid and the rate table.
#pragma once

#include <span>

#include "base/status.h"
#include "input/dose_rate_file.h"
#include "integration/rate_table.h"

namespace quillmore::integration {

// Reads the rate records that follow `header` (the record last read from
// `file`): N records for P = 1, 2N for P = 2. Resets `rates` for
// selectedRegions.size() positions and fills the times and the rates of the
// component(s) the records carry: with P = 1, low LET for letter "L", high LET
// otherwise; with P = 2, the low-LET then the high-LET record of each point,
// the second record's time counting. Region numbers are 1-29 (columns) and 30
// (Lung); any other number reads as 0.
// Corruption (a short sentence for a warning), with no rates and no time points: N outside 0..150
// or P neither 1 nor 2 (the records are skipped as the block walk does, none for N < 0), or time
// points not strictly increasing (all records still read).
base::Status ReadRateBlock(input::DoseRateFile& file, const input::BlockHeader& header,
                           std::span<const int> selectedRegions, TimeGrid& timeGrid,
                           RateTable& rates);

}  // namespace quillmore::integration
