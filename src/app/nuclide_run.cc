#include "app/nuclide_run.h"

#include "input/age_groups.h"
#include "input/nuclide_name.h"
#include "output/table_writer.h"

namespace quillmore::app {
namespace {

input::Status WriteHeaders(const RunSelection& run, output::OutputFiles& files, std::string& text) {
  for (std::size_t i = 0; i < run.selectedAges.size(); ++i) {
    text.clear();
    output::WriteTableHeaders(input::AgeGroupLabel(run.selectedAges[i]), run.regionNames,
                              run.selectedRegions, run.dataKind, text);
    const input::Status status = files.Write(i, text);
    if (!status.ok()) return status;
  }
  return input::Status::Ok();
}

}  // namespace

int TableForAge(const RunSelection& run, std::int32_t ageDays) {
  constexpr std::int32_t kAdultFrom = 7299;
  for (std::size_t i = 0; i < run.selectedAges.size(); ++i) {
    const std::int32_t days = input::AgeGroupDays(run.selectedAges[i]);
    if ((days > kAdultFrom && ageDays > kAdultFrom) || days == ageDays) return static_cast<int>(i);
  }
  return -1;
}

NuclideResult ProcessNuclide(input::DoseRateFile& file, const input::IndexEntry& entry,
                             const std::string& nuclideName, const RunSelection& run,
                             output::OutputFiles& files, NuclideWorkspace& workspace) {
  NuclideResult result;
  result.status = WriteHeaders(run, files, workspace.text);
  const std::int32_t start = entry.StartFor(run.dataKind);
  if (!result.status.ok() || start == 0) return result;
  if (start < 3 || start > file.RecordCount()) {
    result.status = input::Status::Corruption("the index gives record " + std::to_string(start) +
                                              " of " + file.File().Path().filename().string() +
                                              " as the start of " + input::TrimBlanks(nuclideName) +
                                              ", but the file has records 3 to " +
                                              std::to_string(file.RecordCount()));
    return result;
  }
  file.PositionAt(start);
  std::int32_t formNumber = 0;
  while (true) {
    const input::BlockHeader header = file.ReadBlockHeader(run.dataKind);
    if (header.name != nuclideName) break;
    const std::int64_t headerRecord = file.LastRecordNumber();
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
        result.warnings.push_back(
            {input::TrimBlanks(nuclideName), header.ageDays, headerRecord, block.reason});
      } else {
        workspace.text.clear();
        if (run.dataKind == input::DataKind::kInhalation) {
          output::WriteInhalationRows(workspace.coefficients, run.integrationTimes, header,
                                      formNumber, workspace.text);
        } else {
          output::WriteIngestionRows(workspace.coefficients, run.integrationTimes, header,
                                     workspace.text);
        }
        result.status = files.Write(static_cast<std::size_t>(table), workspace.text);
        if (!result.status.ok()) return result;
      }
    }
    if (file.AtEnd()) break;
  }
  return result;
}

NuclideResult WriteNuclideTables(input::DoseRateFile& file, const input::IndexEntry& entry,
                                 const std::string& nuclideName, const RunSelection& run,
                                 const std::filesystem::path& outputFolder,
                                 NuclideWorkspace& workspace) {
  output::OutputFiles files;
  NuclideResult result;
  result.status =
      output::OpenOutputFiles(outputFolder, nuclideName, run.selectedAges, run.dataKind, files);
  if (!result.status.ok()) return result;
  result = ProcessNuclide(file, entry, nuclideName, run, files, workspace);
  const input::Status closed = files.Close();
  if (result.status.ok()) result.status = closed;
  for (std::size_t i = 0; i < files.Count(); ++i) result.files.push_back(files.Path(i));
  return result;
}

}  // namespace quillmore::app
