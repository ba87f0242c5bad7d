#include "run/block_walk.h"

#include <string>

#include "base/text.h"
#include "input/age_groups.h"
#include "input/block_cursor.h"
#include "integration/read_rate_block.h"

namespace quillmore::run {
namespace {

using output::MessageKind;

// Index in the selection of the table that takes a block of `ageDays`, or -1.
int TableForAge(const input::Selection& selection, std::int32_t ageDays) {
  const int group = input::AgeGroupFor(ageDays);
  for (std::size_t i = 0; i < selection.selectedAges.size(); ++i) {
    if (selection.selectedAges[i] == group) return static_cast<int>(i);
  }
  return -1;
}

// The warning for selected age groups whose tables got no rows.
void ReportEmptyTables(const std::string& shownName, const input::Selection& selection,
                       const std::vector<bool>& hasRows, const std::string& why,
                       std::vector<output::RunMessage>& messages) {
  std::vector<int> empty;
  for (std::size_t i = 0; i < hasRows.size(); ++i) {
    if (!hasRows[i]) empty.push_back(selection.selectedAges[i]);
  }
  if (empty.empty()) return;
  messages.push_back({MessageKind::kWarning,
                      shownName + ": " + why + "headers only for " + input::AgeGroupList(empty)});
}

}  // namespace

std::string BlockPlace(const input::BlockHeader& header, std::int64_t headerRecord) {
  return base::TrimBlanks(header.name) + ", age " + std::to_string(header.ageDays) + " d, record " +
         std::to_string(headerRecord) + ": ";
}

base::Status WalkNuclideBlocks(input::DoseRateFile& file, const input::IndexEntry& entry,
                               const input::Selection& selection,
                               integration::BlockWorkspace& workspace,
                               std::vector<output::RunMessage>& messages, const BlockVisitor& visit,
                               const LeftOutVisitor& leftOut) {
  const std::int32_t start = entry.startFor(selection.dataKind);
  const std::string shownName = base::TrimBlanks(entry.name);
  std::vector<bool> hasRows(selection.selectedAges.size(), false);
  if (start == 0) {
    ReportEmptyTables(
        shownName, selection, hasRows,
        std::string("no data in ") + input::DataSetOf(selection.dataKind).doseRateFileName + "; ",
        messages);
    return base::Status::Ok();
  }
  if (start < 3 || start > file.recordCount()) {
    return base::Status::Corruption("the index gives record " + std::to_string(start) + " of " +
                                    file.file().path().filename().string() + " as the start of " +
                                    shownName + ", but the file has records 3 to " +
                                    std::to_string(file.recordCount()));
  }
  input::BlockCursor cursor(file, selection.dataKind);
  cursor.PositionAt(start);
  input::FormCounter forms(selection.selectedAges.size());
  while (cursor.NextOf(entry.name)) {
    const input::BlockHeader& header = cursor.header();
    const std::int64_t headerRecord = cursor.headerRecord();
    if (const input::BlockExtent extent = cursor.Extent(); !extent.ok()) {
      // Reading on would take rate records for headers, or NULs for rates.
      messages.push_back({MessageKind::kWarning,
                          BlockPlace(header, headerRecord) + extent.first().message() +
                              "; the tables of " + shownName + " stop here, incomplete",
                          header.ageDays, headerRecord});
      break;
    }
    const int table = TableForAge(selection, header.ageDays);
    if (table < 0) {
      cursor.Skip();
      continue;
    }
    const auto t = static_cast<std::size_t>(table);
    const base::Status read = integration::ReadRateBlock(file, header, selection.selectedRegions,
                                                         workspace.timeGrid, workspace.rates);
    const input::FormNumbers form = forms.Next(t, read.ok());
    if (!read.ok()) {
      messages.push_back(
          {MessageKind::kWarning,
           BlockPlace(header, headerRecord) + read.message() + "; its rows are left out",
           header.ageDays, headerRecord});
      if (leftOut) {
        leftOut({t, header, headerRecord, form, workspace.timeGrid, workspace.rates}, read);
      }
      continue;
    }
    if (base::Status status =
            visit({t, header, headerRecord, form, workspace.timeGrid, workspace.rates});
        !status.ok()) {
      return status;
    }
    hasRows[t] = true;
  }
  ReportEmptyTables(shownName, selection, hasRows, "", messages);
  return base::Status::Ok();
}

}  // namespace quillmore::run
