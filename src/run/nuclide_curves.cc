#include "run/nuclide_curves.h"

#include <optional>
#include <utility>

namespace quillmore::run {

base::Result<std::vector<CurvePair>> BuildBlockCurves(const WalkedBlock& walked,
                                                      integration::Tail tail) {
  std::vector<CurvePair> curves;
  for (int j = 0; walked.timeGrid.count() > 0 && j < walked.rates.regionCount(); ++j) {
    CurvePair& pair = curves.emplace_back();
    for (int c = 0; c < integration::kComponentCount; ++c) {
      std::optional<integration::RateCurve> curve = integration::RateCurve::FromBlock(
          walked.rates, walked.timeGrid, walked.header.letLetter, c, j, tail);
      if (!curve) return base::Status::Corruption("time points not strictly increasing");
      pair[static_cast<std::size_t>(c)] = std::move(*curve);
    }
  }
  return curves;
}

NuclideCurves ReadNuclideCurves(input::DoseRateFile& file, const input::IndexEntry& entry,
                                const RunSelection& run) {
  NuclideCurves result;
  integration::BlockWorkspace workspace;
  std::vector<RunMessage> messages;  // the tables report them
  result.status =
      WalkNuclideBlocks(file, entry, run, workspace, messages, [&](const WalkedBlock& walked) {
        base::Result<std::vector<CurvePair>> curves = BuildBlockCurves(walked, TailOf(run));
        if (!curves.ok()) return curves.status();
        result.blocks.push_back({static_cast<int>(walked.table), walked.header, walked.form.label,
                                 walked.form.rowGroup, std::move(curves).value()});
        return base::Status::Ok();
      });
  return result;
}

}  // namespace quillmore::run
