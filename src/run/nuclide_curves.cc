#include "run/nuclide_curves.h"

#include <optional>

#include "run/block_walk.h"

namespace quillmore::run {

NuclideCurves ReadNuclideCurves(input::DoseRateFile& file, const input::IndexEntry& entry,
                                const RunSelection& run) {
  NuclideCurves result;
  integration::BlockWorkspace workspace;
  std::vector<RunMessage> messages;  // the tables report them
  result.status =
      WalkNuclideBlocks(file, entry, run, workspace, messages, [&](const WalkedBlock& walked) {
        BlockCurves block{static_cast<int>(walked.table),
                          walked.header,
                          walked.form.label,
                          walked.form.rowGroup,
                          {}};
        // No time points: the table's row group is all 0, with no curve behind it.
        for (int j = 0; walked.timeGrid.count() > 0 && j < walked.rates.regionCount(); ++j) {
          auto& pair = block.curves.emplace_back();
          for (int c = 0; c < integration::kComponentCount; ++c) {
            std::optional<integration::RateCurve> curve = integration::RateCurve::FromBlock(
                walked.rates, walked.timeGrid, walked.header.letLetter, c, j);
            // A read block has strictly increasing times, all a curve asks.
            if (!curve) return base::Status::Corruption("no curve for a read block");
            pair[static_cast<std::size_t>(c)] = std::move(*curve);
          }
        }
        result.blocks.push_back(std::move(block));
        return base::Status::Ok();
      });
  return result;
}

}  // namespace quillmore::run
