#include "run/far_extrapolation.h"

#include <charconv>
#include <string>

#include "base/text.h"
#include "input/age_groups.h"
#include "integration/integrate_rate_block.h"
#include "output/form_name.h"
#include "run/data_files.h"

namespace quillmore::run {
namespace {

using integration::Extrapolation;

// Days as the times file gives them, "45000", "30.5", where that is short;
// a period too long to write so, "1e+100", as periods print elsewhere.
std::string DaysText(double days) {
  char text[24];
  const auto [end, error] = std::to_chars(text, text + sizeof text, days, std::chars_format::fixed);
  return error == std::errc() ? std::string(text, end) : base::ShortestText(days);
}

bool Unbounded(const integration::CoefficientTable& coefficients, int position, int timeIndex) {
  for (int c = 0; c < integration::kComponentCount; ++c) {
    if (coefficients.extrapolation(c, position, timeIndex) == Extrapolation::kUnbounded)
      return true;
  }
  return false;
}

}  // namespace

std::optional<output::RunMessage> UnboundedWarning(
    const WalkedBlock& block, const integration::CoefficientTable& coefficients,
    const input::Selection& selection) {
  int regions = 0;
  std::string periods;
  for (int j = 0; j < coefficients.regionCount(); ++j) {
    bool any = false;
    for (int k = 0; k < coefficients.timeCount(); ++k) any = any || Unbounded(coefficients, j, k);
    regions += any ? 1 : 0;
  }
  if (regions == 0) return std::nullopt;
  for (int k = 0; k < coefficients.timeCount(); ++k) {
    bool any = false;
    for (int j = 0; j < coefficients.regionCount(); ++j) any = any || Unbounded(coefficients, j, k);
    if (any) {
      periods += (periods.empty() ? "" : ", ") +
                 DaysText(selection.integrationTimes[static_cast<std::size_t>(k)]);
    }
  }
  const input::BlockHeader& header = block.header;
  const std::string age =
      base::TrimBlanks(std::string(input::AgeGroupLabel(selection.selectedAges[block.table])));
  const double lastTime = block.timeGrid.at(block.timeGrid.count() - 1);
  return output::RunMessage{output::MessageKind::kWarning,
                            base::TrimBlanks(header.name) + " " + age + " " +
                                output::FormWords(header, selection.dataKind, block.form.label) +
                                ": past " + DaysText(lastTime) +
                                " d the extended curve leaves the range of its data (" +
                                std::to_string(regions) + (regions == 1 ? " region" : " regions") +
                                "); coefficients for " + periods + " d cannot be trusted",
                            header.ageDays, block.headerRecord};
}

std::vector<input::Fault> CheckFarExtrapolation(const std::filesystem::path& dataFolder,
                                                std::span<const double> integrationTimes,
                                                integration::Tail tail) {
  std::vector<input::Fault> problems;
  input::DataIndex index;
  if (!OpenIndex(dataFolder, index).ok()) return problems;
  input::Selection selection;
  selection.selectedAges = {1, 2, 3, 4, 5, 6};
  for (int region = 1; region <= input::kLungRegion; ++region)
    selection.selectedRegions.push_back(region);
  selection.integrationTimes.assign(integrationTimes.begin(), integrationTimes.end());
  integration::BlockWorkspace workspace;
  integration::CoefficientTable coefficients;
  for (const input::DataSet& dataSet : input::kDataSets) {
    input::DoseRateFile file;
    if (!OpenDoseRates(dataFolder, dataSet.kind, file).ok()) continue;
    selection.dataKind = dataSet.kind;
    for (std::int64_t record = index.firstEntry(); record <= index.lastEntry(); ++record) {
      const input::IndexEntry entry = index.ReadEntry(static_cast<std::int32_t>(record));
      const std::int32_t start = entry.startFor(dataSet.kind);
      if (start < 3 || start > file.recordCount()) continue;
      std::vector<output::RunMessage> walkMessages;  // the data check words these itself
      // A block that cannot be read or integrated ends this nuclide's walk, and the data check
      // reports it: nothing here to add.
      static_cast<void>(WalkNuclideBlocks(
          file, entry, selection, workspace, walkMessages, [&](const WalkedBlock& block) {
            const base::Status integrated = integration::IntegrateRateBlock(
                block.rates, block.timeGrid, block.header.letLetter, selection.integrationTimes,
                workspace.slopes, coefficients, tail);
            if (!integrated.ok()) return integrated;
            if (auto warning = UnboundedWarning(block, coefficients, selection))
              problems.push_back({dataSet.doseRateFileName, warning->record, warning->text});
            return base::Status::Ok();
          }));
    }
  }
  return problems;
}

}  // namespace quillmore::run
