// A dose-rate file in both layouts: region headings, then every block header,
// each block read, integrated and written as table rows, then the same file
// walked again skipping every block.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "input/dose_rate_file.h"
#include "input/region_names.h"
#include "integration/block_integration.h"
#include "output/table_writer.h"

namespace {

using quillmore::fuzz::Check;
using namespace quillmore;

// The sample times and what a times file may also hold: 0, negative, tiny, huge.
const std::vector<double> kTimes = {1,
                                    7,
                                    30,
                                    365,
                                    1825,
                                    3650,
                                    18250,
                                    36500,
                                    0,
                                    -1,
                                    1e-9,
                                    1e300,
                                    std::numeric_limits<double>::infinity()};

void Walk(std::string_view bytes, input::DataKind kind) {
  input::DoseRateFile file;
  Check(file.OpenBytes(bytes, input::DataSetOf(kind).doseRateFileName).ok(),
        "a file in memory opens");
  const std::vector<std::string> names = input::BuildRegionNames(file.RegionHeadings());
  Check(names.size() == input::kLungRegion, "30 region names");
  // The Lung composite (columns 15 to 18) and the first and last columns reach
  // every code path of a table; all 30 would cost tenfold per input.
  const std::vector<int> regions = {input::kLungRegion, 1, input::kRegionColumnCount};
  std::string text;
  output::WriteTableHeaders("Adult   ", names, regions, kind, text);

  // Reused from input to input, as the program reuses them from block to block.
  static integration::BlockWorkspace workspace;
  static integration::CoefficientTable coefficients;
  std::int32_t formNumber = 0;
  file.PositionAt(3);
  do {
    const input::BlockHeader header = file.ReadBlockHeader(kind);
    const base::Status block =
        integration::ReadAndIntegrateBlock(file, header, regions, kTimes, workspace, coefficients);
    Check(block.ok() == block.message().empty(), "a failed block says why");
    if (!block.ok()) continue;
    text.clear();
    if (kind == input::DataKind::kInhalation) {
      output::WriteInhalationRows(coefficients, kTimes, header, ++formNumber, text);
    } else {
      output::WriteIngestionRows(coefficients, kTimes, header, text);
    }
  } while (!file.atEnd());

  file.PositionAt(3);
  do {
    file.SkipRecords(file.ReadBlockHeader(kind).RecordsToSkip());
  } while (!file.atEnd());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = quillmore::fuzz::AsText(data, size);
  Walk(bytes, input::DataKind::kInhalation);
  Walk(bytes, input::DataKind::kIngestion);
  return 0;
}
