#include "run/nuclide_run.h"

#include <algorithm>
#include <cstdio>

#include "base/text.h"
#include "input/age_groups.h"
#include "input/time_coverage.h"
#include "output/text_table_sink.h"

namespace quillmore::run {
namespace {

// A letter as a message shows it: control bytes as "?".
std::string LetterText(char letter) {
  const bool printable = static_cast<unsigned char>(letter) >= 32 && letter != 127;
  return "\"" + std::string(1, printable ? letter : '?') + "\"";
}

bool IsLetLetter(char letter) {
  return letter == 'L' || letter == 'H' || letter == 'B';
}

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

// "Tc-99m, age 100 d, record 1234: ", built only for a message.
std::string BlockPlace(const std::string& shownName, const input::BlockHeader& header,
                       std::int64_t headerRecord) {
  return shownName + ", age " + std::to_string(header.ageDays) + " d, record " +
         std::to_string(headerRecord) + ": ";
}

// Warnings and notes about one block read for a table; the rows are written
// whatever they say.
void CheckBlock(const std::string& shownName, const input::BlockHeader& header,
                std::int64_t headerRecord, const NuclideWorkspace& workspace,
                input::TimeCoverage& coverage, std::vector<RunMessage>& messages) {
  const auto warn = [&](const std::string& what) {
    messages.push_back({MessageKind::kWarning, BlockPlace(shownName, header, headerRecord) + what,
                        header.ageDays, headerRecord});
  };
  if (!IsLetLetter(header.letLetter)) {
    warn("unknown LET letter " + LetterText(header.letLetter) +
         "; its rows are written but not integrated");
  } else if (header.timePointCount == 0) {
    warn("no time points; its rows are written as zeros");
  } else {
    const integration::TimeGrid& grid = workspace.block.timeGrid;
    coverage.AddBlock(grid.count(), grid.at(grid.count() - 1));
  }
  if (const double lowest = LowestNegative(workspace.coefficients); lowest < 0) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2E", lowest);
    warn(std::string("coefficients below zero (lowest ") + text +
         " Gy/Bq); a dose cannot be negative");
  }
}

// The warning for selected age groups whose tables got no rows.
void ReportEmptyTables(const std::string& shownName, const RunSelection& run,
                       const std::vector<bool>& hasRows, const std::string& why,
                       std::vector<RunMessage>& messages) {
  std::vector<int> empty;
  for (std::size_t i = 0; i < hasRows.size(); ++i) {
    if (!hasRows[i]) empty.push_back(run.selectedAges[i]);
  }
  if (empty.empty()) return;
  messages.push_back({MessageKind::kWarning,
                      shownName + ": " + why + "headers only for " + input::AgeGroupList(empty)});
}

// The walk through the nuclide's blocks, each block of a selected age group
// handed to `sink`; stops at the first sink failure.
void WalkBlocks(input::DoseRateFile& file, const input::IndexEntry& entry,
                const std::string& nuclideName, const RunSelection& run, output::TableSink& sink,
                NuclideWorkspace& workspace, NuclideResult& result) {
  const std::int32_t start = entry.startFor(run.dataKind);
  const std::string shownName = base::TrimBlanks(nuclideName);
  std::vector<bool> hasRows(run.selectedAges.size(), false);
  if (start == 0) {
    ReportEmptyTables(
        shownName, run, hasRows,
        std::string("no data in ") + input::DataSetOf(run.dataKind).doseRateFileName + "; ",
        result.messages);
    return;
  }
  if (start < 3 || start > file.recordCount()) {
    result.status = base::Status::Corruption(
        "the index gives record " + std::to_string(start) + " of " +
        file.file().path().filename().string() + " as the start of " + shownName +
        ", but the file has records 3 to " + std::to_string(file.recordCount()));
    return;
  }
  file.PositionAt(start);
  input::TimeCoverage coverage(run.integrationTimes);
  std::int32_t formNumber = 0;
  while (true) {
    const input::BlockHeader header = file.ReadBlockHeader(run.dataKind);
    if (header.name != nuclideName) break;
    const std::int64_t headerRecord = file.lastRecordNumber();
    if (const std::string fault = BlockExtentFault(header); !fault.empty()) {
      // Reading on would take rate records for headers.
      result.messages.push_back({MessageKind::kWarning,
                                 BlockPlace(shownName, header, headerRecord) + fault +
                                     "; the tables of " + shownName + " stop here, incomplete",
                                 header.ageDays, headerRecord});
      break;
    }
    const int table = TableForAge(run, header.ageDays);
    if (table < 0) {
      file.SkipRecords(header.RecordsToSkip());
    } else {
      // Forms are counted on the first selected group; the others use the count as it stands.
      if (table == 0) ++formNumber;
      const integration::BlockResult block = integration::ReadAndIntegrateBlock(
          file, header, run.selectedRegions, run.integrationTimes, workspace.block,
          workspace.coefficients);
      if (!block.valid) {
        result.messages.push_back(
            {MessageKind::kWarning,
             BlockPlace(shownName, header, headerRecord) + block.reason + "; its rows are left out",
             header.ageDays, headerRecord});
      } else {
        CheckBlock(shownName, header, headerRecord, workspace, coverage, result.messages);
        result.status =
            sink.Add({static_cast<std::size_t>(table), header, formNumber, workspace.coefficients});
        if (!result.status.ok()) return;
        hasRows[static_cast<std::size_t>(table)] = true;
      }
    }
    if (file.atEnd()) break;
  }
  ReportEmptyTables(shownName, run, hasRows, "", result.messages);
  for (std::string& note : coverage.Notes(shownName)) {
    result.messages.push_back({MessageKind::kNote, std::move(note)});
  }
}

}  // namespace

int TableForAge(const RunSelection& run, std::int32_t ageDays) {
  const int group = input::AgeGroupFor(ageDays);
  for (std::size_t i = 0; i < run.selectedAges.size(); ++i) {
    if (run.selectedAges[i] == group) return static_cast<int>(i);
  }
  return -1;
}

std::string BlockExtentFault(const input::BlockHeader& header) {
  const std::int32_t perPoint = header.letLetter == 'B' ? 2 : 1;
  if (header.recordsPerPoint != perPoint) {
    return "LET letter " + LetterText(header.letLetter) + " disagrees with " +
           std::to_string(header.recordsPerPoint) + " records per point";
  }
  if (header.timePointCount < 0) {
    return "time-point count " + std::to_string(header.timePointCount) + " is negative";
  }
  return {};
}

NuclideResult ProcessNuclide(input::DoseRateFile& file, const input::IndexEntry& entry,
                             const std::string& nuclideName, const RunSelection& run,
                             output::TableSink& sink, NuclideWorkspace& workspace) {
  NuclideResult result;
  result.status = sink.Begin({nuclideName, run.dataKind, run.selectedAges, run.selectedRegions,
                              run.regionNames, run.integrationTimes});
  if (result.status.ok()) WalkBlocks(file, entry, nuclideName, run, sink, workspace, result);
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
                                 const std::string& nuclideName, const RunSelection& run,
                                 const std::filesystem::path& outputFolder,
                                 NuclideWorkspace& workspace) {
  output::TextTableSink sink(outputFolder);
  NuclideResult result = ProcessNuclide(file, entry, nuclideName, run, sink, workspace);
  result.files = sink.Paths();
  return result;
}

}  // namespace quillmore::run
