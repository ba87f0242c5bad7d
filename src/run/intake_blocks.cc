#include "run/intake_blocks.h"

#include <optional>

#include "base/text.h"
#include "input/age_groups.h"
#include "integration/read_rate_block.h"
#include "run/nuclide_run.h"

namespace quillmore::run {
namespace {

std::string FormCode(const input::BlockHeader& header, input::DataKind kind) {
  return base::TrimBlanks(kind == input::DataKind::kInhalation ? std::string(1, header.classCode)
                                                               : header.f1Text);
}

// Why the tables would not integrate a block they read, or empty.
std::string IntegrationFault(const input::BlockHeader& header) {
  if (header.letLetter != 'L' && header.letLetter != 'H' && header.letLetter != 'B') {
    return "its LET letter is unknown, so the tables do not integrate it";
  }
  if (header.timePointCount < 2) {
    return header.timePointCount == 0 ? "it has no time points"
                                      : "it has a single time point, which the tables do not "
                                        "integrate";
  }
  return {};
}

// Reads the block after `header` into `block`: the curves of every selected
// region, or the fault that leaves it out.
void ReadBlockCurves(input::DoseRateFile& file, const input::BlockHeader& header,
                     const std::vector<int>& selectedRegions, FormBlock& block) {
  integration::TimeGrid timeGrid;
  integration::RateTable rates;
  const integration::BlockResult read =
      integration::ReadRateBlock(file, header, selectedRegions, timeGrid, rates);
  block.fault = read.valid ? IntegrationFault(header) : read.reason;
  if (!block.fault.empty()) return;
  block.times.assign(timeGrid.points().begin(), timeGrid.points().end());
  for (int j = 0; j < rates.regionCount(); ++j) {
    auto& pair = block.curves.emplace_back();
    for (int c = 0; c < integration::kComponentCount; ++c) {
      std::optional<integration::RateCurve> curve =
          integration::RateCurve::FromBlock(rates, timeGrid, header.letLetter, c, j);
      if (!curve) {
        block.fault = "time points not strictly increasing";
        block.curves.clear();
        return;
      }
      pair[static_cast<std::size_t>(c)] = std::move(*curve);
    }
  }
  block.integrals.reserve(block.curves.size() * integration::kComponentCount);
  for (const auto& pair : block.curves) {
    for (const integration::RateCurve& curve : pair) {
      block.integrals.emplace_back(curve.times(), curve.rates(), curve.slopes());
    }
  }
}

}  // namespace

base::Status ReadFormBlocks(input::DoseRateFile& file, const input::IndexEntry& entry,
                            const std::string& nuclideName, input::DataKind kind, int ageGroup,
                            const std::vector<int>& selectedRegions,
                            std::vector<FormBlock>& blocks) {
  blocks.clear();
  const std::int32_t start = entry.startFor(kind);
  if (start == 0) return base::Status::Ok();
  if (start < 3 || start > file.recordCount()) {
    return base::Status::Corruption("the index gives record " + std::to_string(start) +
                                    " as the start of " + base::TrimBlanks(nuclideName));
  }
  file.PositionAt(start);
  while (true) {
    const input::BlockHeader header = file.ReadBlockHeader(kind);
    if (header.name != nuclideName || !BlockExtentFault(header).empty()) break;
    if (input::AgeGroupFor(header.ageDays) != ageGroup) {
      file.SkipRecords(header.RecordsToSkip());
    } else {
      FormBlock& block = blocks.emplace_back();
      block.formNumber = static_cast<int>(blocks.size());
      block.formCode = FormCode(header, kind);
      block.record = file.lastRecordNumber();
      ReadBlockCurves(file, header, selectedRegions, block);
    }
    if (file.atEnd()) break;
  }
  return base::Status::Ok();
}

}  // namespace quillmore::run
