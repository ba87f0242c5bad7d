#include "run/nuclide_curves.h"

#include <optional>

#include "base/text.h"
#include "input/nuclide_name.h"
#include "integration/read_rate_block.h"

namespace quillmore::run {

NuclideCurves ReadNuclideCurves(input::DoseRateFile& file, const input::IndexEntry& entry,
                                const std::string& nuclideName, const RunSelection& run) {
  NuclideCurves result;
  const std::int32_t start = entry.startFor(run.dataKind);
  if (start == 0) return result;
  if (start < 3 || start > file.recordCount()) {
    result.status = base::Status::Corruption("the index gives record " + std::to_string(start) +
                                             " as the start of " + base::TrimBlanks(nuclideName));
    return result;
  }
  file.PositionAt(start);
  integration::TimeGrid timeGrid;
  integration::RateTable rates;
  int formNumber = 0;
  while (true) {
    const input::BlockHeader header = file.ReadBlockHeader(run.dataKind);
    if (header.name != nuclideName || !BlockExtentFault(header).empty()) break;
    const int table = TableForAge(run, header.ageDays);
    if (table < 0) {
      file.SkipRecords(header.RecordsToSkip());
    } else {
      if (table == 0) ++formNumber;
      BlockCurves block{table, header, formNumber, {}};
      bool valid =
          integration::ReadRateBlock(file, header, run.selectedRegions, timeGrid, rates).valid;
      // No time points: the table's row group is all 0, with no curve behind it.
      for (int j = 0; valid && timeGrid.count() > 0 && j < rates.regionCount(); ++j) {
        auto& pair = block.curves.emplace_back();
        for (int c = 0; valid && c < integration::kComponentCount; ++c) {
          std::optional<integration::RateCurve> curve =
              integration::RateCurve::FromBlock(rates, timeGrid, header.letLetter, c, j);
          valid = curve.has_value();
          if (valid) pair[static_cast<std::size_t>(c)] = std::move(*curve);
        }
      }
      if (valid) result.blocks.push_back(std::move(block));
    }
    if (file.atEnd()) break;
  }
  return result;
}

}  // namespace quillmore::run
