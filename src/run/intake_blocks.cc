#include "run/intake_blocks.h"

#include <utility>

#include "input/selection.h"
#include "integration/integrate_rate_block.h"
#include "output/form_name.h"
#include "run/block_walk.h"
#include "run/nuclide_curves.h"

namespace quillmore::run {
namespace {

// Ok when the tables integrate a block they read; else why not.
base::Status Integrable(const input::BlockHeader& header) {
  switch (integration::IntegrationOf(header.letLetter, header.timePointCount)) {
    case integration::BlockIntegration::kCurves:
      return base::Status::Ok();
    case integration::BlockIntegration::kUnknownLetter:
      return base::Status::Corruption(
          "its LET letter is unknown, so the tables do not integrate it");
    case integration::BlockIntegration::kNoTimePoints:
      return base::Status::Corruption("it has no time points");
    case integration::BlockIntegration::kSinglePoint:
      break;
  }
  return base::Status::Corruption("it has a single time point, which the tables do not integrate");
}

FormBlock Named(const WalkedBlock& walked, input::DataKind kind) {
  FormBlock block;
  block.formNumber = walked.form.label;
  block.formCode = output::FormCode(walked.header, kind);
  block.record = walked.headerRecord;
  return block;
}

// The curves of every selected region of a read block, and their piece
// integrals; `block.integrable` says why there are none.
void KeepCurves(const WalkedBlock& walked, integration::Tail tail, FormBlock& block) {
  block.integrable = Integrable(walked.header);
  if (!block.integrable.ok()) return;
  base::Result<std::vector<CurvePair>> curves = BuildBlockCurves(walked);
  if (!curves.ok()) {
    block.integrable = curves.status();
    return;
  }
  block.times.assign(walked.timeGrid.points().begin(), walked.timeGrid.points().end());
  block.curves = std::move(curves).value();
  block.integrals.reserve(block.curves.size() * integration::kComponentCount);
  for (const CurvePair& pair : block.curves) {
    for (const integration::RateCurve& curve : pair) {
      const integration::PieceIntegrals& integrals =
          block.integrals.emplace_back(curve.times(), curve.rates(), curve.slopes(), tail);
      if (integrals.tailCurve().keepsLastRate()) ++block.curvesKeepingLastRate;
    }
  }
}

}  // namespace

base::Result<std::vector<FormBlock>> ReadAgeGroupBlocks(input::DoseRateFile& file,
                                                        const input::IndexEntry& entry,
                                                        input::DataKind kind, int ageGroup,
                                                        const std::vector<int>& selectedRegions,
                                                        integration::Tail tail) {
  input::Selection selection;
  selection.dataKind = kind;
  selection.selectedAges = {ageGroup};
  selection.selectedRegions = selectedRegions;
  integration::BlockWorkspace workspace;
  std::vector<output::RunMessage> messages;  // the history words its own, per row
  std::vector<FormBlock> blocks;
  const base::Status walked = WalkNuclideBlocks(
      file, entry, selection, workspace, messages,
      [&](const WalkedBlock& block) {
        KeepCurves(block, tail, blocks.emplace_back(Named(block, kind)));
        return base::Status::Ok();
      },
      [&](const WalkedBlock& block, const base::Status& why) {
        blocks.emplace_back(Named(block, kind)).integrable = why;
      });
  if (!walked.ok()) return walked;
  return blocks;
}

}  // namespace quillmore::run
