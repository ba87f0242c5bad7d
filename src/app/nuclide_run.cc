#include "app/nuclide_run.h"

#include "input/age_groups.h"
#include "input/nuclide_name.h"
#include "output/text_table_sink.h"

namespace quillmore::app {
namespace {

// Index in the selection of the table that takes a block of `ageDays`, or -1.
// The adult group takes every block older than 7299 days.
int TableFor(const RunSelection& run, std::int32_t ageDays) {
  constexpr std::int32_t kAdultFrom = 7299;
  for (std::size_t i = 0; i < run.selectedAges.size(); ++i) {
    const std::int32_t days = input::AgeGroupDays(run.selectedAges[i]);
    if ((days > kAdultFrom && ageDays > kAdultFrom) || days == ageDays) return static_cast<int>(i);
  }
  return -1;
}

// The walk through the nuclide's blocks from its start record.
void WalkBlocks(input::DoseRateFile& file, std::int32_t start, const std::string& nuclideName,
                const RunSelection& run, output::TableSink& sink, NuclideWorkspace& workspace,
                NuclideResult& result) {
  file.PositionAt(start);
  std::int32_t formNumber = 0;
  while (true) {
    const input::BlockHeader header = file.ReadBlockHeader(run.dataKind);
    if (header.name != nuclideName) break;
    const std::int64_t headerRecord = file.LastRecordNumber();
    const int table = TableFor(run, header.ageDays);
    if (table < 0) {
      file.SkipRecords(header.RecordsToSkip());
    } else {
      // Forms are counted on the first selected group; the others use the count as it stands.
      if (table == 0) ++formNumber;
      const integration::BlockResult block = integration::ReadAndIntegrateBlock(
          file, header, run.selectedRegions, run.integrationTimes, workspace.block,
          workspace.coefficients);
      if (!block.valid) {
        result.warnings.push_back(
            {input::TrimBlanks(nuclideName), header.ageDays, headerRecord, block.reason});
      } else {
        result.status =
            sink.Add({static_cast<std::size_t>(table), header, formNumber, workspace.coefficients});
        if (!result.status.ok()) return;
      }
    }
    if (file.AtEnd()) break;
  }
}

// What the sink keeps of the run's problems: the rejected blocks, and a
// failure that is the nuclide's own (not a file that could not be written).
std::vector<output::RunMessage> WarningsOf(const NuclideResult& result) {
  std::vector<output::RunMessage> warnings;
  for (const BlockWarning& warning : result.warnings) {
    warnings.push_back({false, warning.ageDays, warning.record, warning.reason});
  }
  if (!result.status.ok() && result.status.code() != input::Status::Code::kIoError) {
    warnings.push_back({false, 0, 0, result.status.message()});
  }
  return warnings;
}

}  // namespace

NuclideResult ProcessNuclide(input::DoseRateFile& file, const input::IndexEntry& entry,
                             const std::string& nuclideName, const RunSelection& run,
                             output::TableSink& sink, NuclideWorkspace& workspace) {
  NuclideResult result;
  result.status = sink.Begin({nuclideName, run.dataKind, run.selectedAges, run.selectedRegions,
                              run.regionNames, run.integrationTimes});
  const std::int32_t start = entry.StartFor(run.dataKind);
  if (result.status.ok() && start != 0) {
    if (start < 3 || start > file.RecordCount()) {
      result.status = input::Status::Corruption(
          "the index gives record " + std::to_string(start) + " of " +
          file.File().Path().filename().string() + " as the start of " +
          input::TrimBlanks(nuclideName) + ", but the file has records 3 to " +
          std::to_string(file.RecordCount()));
    } else {
      WalkBlocks(file, start, nuclideName, run, sink, workspace, result);
    }
  }
  const input::Status ended = sink.End(WarningsOf(result));
  if (result.status.ok()) result.status = ended;
  return result;
}

NuclideResult WriteNuclideTables(input::DoseRateFile& file, const input::IndexEntry& entry,
                                 const std::string& nuclideName, const RunSelection& run,
                                 const std::filesystem::path& outputFolder,
                                 NuclideWorkspace& workspace) {
  output::TextTableSink sink(outputFolder);
  NuclideResult result = ProcessNuclide(file, entry, nuclideName, run, sink, workspace);
  result.files = sink.Paths();
  return result;
}

}  // namespace quillmore::app
