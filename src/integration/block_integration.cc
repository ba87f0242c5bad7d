#include "integration/block_integration.h"

#include "integration/integrate_rate_block.h"
#include "integration/read_rate_block.h"

namespace quillmore::integration {

base::Status ReadAndIntegrateBlock(input::DoseRateFile& file, const input::BlockHeader& header,
                                   std::span<const int> selectedRegions,
                                   std::span<const double> integrationTimes,
                                   BlockWorkspace& workspace, CoefficientTable& coefficients) {
  base::Status read =
      ReadRateBlock(file, header, selectedRegions, workspace.timeGrid, workspace.rates);
  if (!read.ok()) {
    coefficients.Reset(static_cast<int>(selectedRegions.size()),
                       static_cast<int>(integrationTimes.size()));
    return read;
  }
  return IntegrateRateBlock(workspace.rates, workspace.timeGrid, header.letLetter, integrationTimes,
                            workspace.slopes, coefficients);
}

}  // namespace quillmore::integration
