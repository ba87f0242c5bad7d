#include "run/nuclide_run.h"

#include <algorithm>
#include <cstdio>

#include "base/text.h"
#include "input/time_coverage.h"
#include "integration/integrate_rate_block.h"
#include "output/text_table_sink.h"
#include "run/block_walk.h"
#include "run/far_extrapolation.h"

namespace quillmore::run {
namespace {

// The lowest coefficient of the block's table when it is below zero, else 0.
double LowestNegative(const integration::CoefficientTable& coefficients) {
  double lowest = 0;
  for (int c = 0; c < integration::kComponentCount; ++c) {
    for (int j = 0; j < coefficients.regionCount(); ++j) {
      for (int k = 0; k < coefficients.timeCount(); ++k) {
        lowest = std::min(lowest, coefficients.at(c, j, k));
      }
    }
  }
  return lowest;
}

// Warnings and notes about one block integrated for a table; the rows are
// written whatever they say.
void CheckBlock(const WalkedBlock& block, const RunSelection& run,
                const NuclideWorkspace& workspace, input::TimeCoverage& coverage,
                std::vector<RunMessage>& messages) {
  const input::BlockHeader& header = block.header;
  const auto warn = [&](const std::string& what) {
    messages.push_back({MessageKind::kWarning, BlockPlace(header, block.headerRecord) + what,
                        header.ageDays, block.headerRecord});
  };
  switch (integration::IntegrationOf(header.letLetter, header.timePointCount)) {
    case integration::BlockIntegration::kUnknownLetter:
      warn("unknown LET letter " + input::LetLetterText(header.letLetter) +
           "; its rows are written but not integrated");
      break;
    case integration::BlockIntegration::kNoTimePoints:
      warn("no time points; its rows are written as zeros");
      break;
    case integration::BlockIntegration::kSinglePoint:
    case integration::BlockIntegration::kCurves:
      coverage.AddBlock(block.timeGrid.count(), block.timeGrid.at(block.timeGrid.count() - 1));
      break;
  }
  if (const double lowest = LowestNegative(workspace.coefficients); lowest < 0) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2E", lowest);
    warn(std::string("coefficients below zero (lowest ") + text +
         " Gy/Bq); a dose cannot be negative");
  }
  if (auto warning = UnboundedWarning(block, workspace.coefficients, run))
    messages.push_back(std::move(*warning));
}

// Each block the walk hands on, integrated into a row group of `sink`.
base::Status WriteRowGroups(input::DoseRateFile& file, const input::IndexEntry& entry,
                            const RunSelection& run, output::TableSink& sink,
                            NuclideWorkspace& workspace, std::vector<RunMessage>& messages) {
  input::TimeCoverage coverage(run.integrationTimes);
  const base::Status status =
      WalkNuclideBlocks(file, entry, run, workspace.block, messages, [&](const WalkedBlock& block) {
        // Read rates are strictly increasing in time, which is all integration asks.
        base::Status integrated = integration::IntegrateRateBlock(
            block.rates, block.timeGrid, block.header.letLetter, run.integrationTimes,
            workspace.block.slopes, workspace.coefficients, TailOf(run));
        if (!integrated.ok()) return integrated;
        CheckBlock(block, run, workspace, coverage, messages);
        return sink.Add({block.table, block.header, block.form, workspace.coefficients});
      });
  if (!status.ok()) return status;
  const integration::Tail tail = TailOf(run);
  const std::string extension =
      tail == integration::Tail::kCubic ? "" : std::string(" by the ") + TailName(tail) + " tail";
  for (std::string& note : coverage.Notes(base::TrimBlanks(entry.name), extension)) {
    messages.push_back({MessageKind::kNote, std::move(note)});
  }
  return status;
}

}  // namespace

NuclideResult ProcessNuclide(input::DoseRateFile& file, const input::IndexEntry& entry,
                             const RunSelection& run, output::TableSink& sink,
                             NuclideWorkspace& workspace) {
  NuclideResult result;
  result.status = sink.Begin({entry.name, &run});
  if (result.status.ok()) {
    result.status = WriteRowGroups(file, entry, run, sink, workspace, result.messages);
  }
  // The sink keeps a failure that is the nuclide's own (a bad start record)
  // as a warning, not a file that could not be written.
  std::vector<RunMessage> kept = result.messages;
  if (!result.status.ok() && result.status.code() != base::Status::Code::kIoError) {
    kept.push_back({MessageKind::kWarning, result.status.message()});
  }
  const base::Status ended = sink.End(kept);
  if (result.status.ok()) result.status = ended;
  return result;
}

NuclideResult WriteNuclideTables(input::DoseRateFile& file, const input::IndexEntry& entry,
                                 const RunSelection& run, const std::filesystem::path& outputFolder,
                                 NuclideWorkspace& workspace) {
  output::TextTableSink sink(outputFolder);
  NuclideResult result = ProcessNuclide(file, entry, run, sink, workspace);
  result.files = sink.Paths();
  return result;
}

}  // namespace quillmore::run
