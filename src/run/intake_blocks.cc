#include "run/intake_blocks.h"

#include <optional>

#include "input/let_letter.h"
#include "input/selection.h"
#include "output/form_name.h"
#include "run/block_walk.h"

namespace quillmore::run {
namespace {

// Ok when the tables integrate a block they read; else why not.
base::Status Integrable(const input::BlockHeader& header) {
  if (!input::IsLetLetter(header.letLetter)) {
    return base::Status::Corruption("its LET letter is unknown, so the tables do not integrate it");
  }
  if (header.timePointCount == 0) return base::Status::Corruption("it has no time points");
  if (header.timePointCount == 1) {
    return base::Status::Corruption(
        "it has a single time point, which the tables do not integrate");
  }
  return base::Status::Ok();
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
void KeepCurves(const WalkedBlock& walked, FormBlock& block) {
  block.integrable = Integrable(walked.header);
  if (!block.integrable.ok()) return;
  block.times.assign(walked.timeGrid.points().begin(), walked.timeGrid.points().end());
  for (int j = 0; j < walked.rates.regionCount(); ++j) {
    auto& pair = block.curves.emplace_back();
    for (int c = 0; c < integration::kComponentCount; ++c) {
      std::optional<integration::RateCurve> curve = integration::RateCurve::FromBlock(
          walked.rates, walked.timeGrid, walked.header.letLetter, c, j);
      if (!curve) {
        block.integrable = base::Status::Corruption("time points not strictly increasing");
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

base::Result<std::vector<FormBlock>> ReadAgeGroupBlocks(input::DoseRateFile& file,
                                                        const input::IndexEntry& entry,
                                                        input::DataKind kind, int ageGroup,
                                                        const std::vector<int>& selectedRegions) {
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
        KeepCurves(block, blocks.emplace_back(Named(block, kind)));
        return base::Status::Ok();
      },
      [&](const WalkedBlock& block, const base::Status& why) {
        blocks.emplace_back(Named(block, kind)).integrable = why;
      });
  if (!walked.ok()) return walked;
  return blocks;
}

}  // namespace quillmore::run
