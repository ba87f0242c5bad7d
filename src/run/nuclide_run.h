// One nuclide's tables: the walk through its blocks in the dose-rate file,
// each selected block read, integrated and handed to a table sink.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/status.h"
#include "input/data_index.h"
#include "input/data_kind.h"
#include "input/dose_rate_file.h"
#include "integration/block_integration.h"
#include "integration/coefficient_table.h"
#include "output/run_message.h"
#include "output/table_sink.h"

namespace quillmore::run {

// The run's choices, owned by the driver and only read here.
struct RunSelection {
  input::DataKind dataKind = input::DataKind::kInhalation;
  std::vector<int> selectedAges;         // age-group numbers 1 to 6, list order
  std::vector<int> selectedRegions;      // region numbers 1 to 30, list order
  std::vector<std::string> regionNames;  // names of regions 1 to 30
  std::vector<double> integrationTimes;  // days
};

// A run's warnings and notes; the output keeps them in the JSON files and the manifest.
using output::MessageKind;
using output::MessageKindName;
using output::RunMessage;

struct NuclideResult {
  base::Status status;                       // a file that could not be written, a bad start record
  std::vector<RunMessage> messages;          // warnings in the order found, then the notes
  std::vector<std::filesystem::path> files;  // text tables, in the order of selectedAges
};

// Tables reused from nuclide to nuclide.
struct NuclideWorkspace {
  integration::BlockWorkspace block;
  integration::CoefficientTable coefficients;
};

// Index in the selection of the table that takes a block of `ageDays`
// (input::AgeGroupFor), or -1.
int TableForAge(const RunSelection& run, std::int32_t ageDays);

// Why the block walk cannot tell where the block of `header` ends (it skips by
// the LET letter, the reader reads by the records per point, so the two must
// agree), or empty. The walk stops at such a block.
std::string BlockExtentFault(const input::BlockHeader& header);

// Hands the tables of `nuclideName` (7 characters, confirmed by the index as
// `entry`) to `sink`: Begin, then each block of a selected age group as a row
// group, until a header of another nuclide or the end of the file, then End
// with the messages. A start record of 0 gives no row group; one below 3 or
// past the end of the file is a Corruption error. `result.files` stays empty.
// Warnings: a start record of 0, a selected age group left with headers only,
// a block whose rows are left out (unreadable) or not integrated (unknown LET
// letter, no time points), coefficients below zero, and a block whose LET
// letter and records per point disagree, where the walk stops rather than
// read rate records as headers. Notes: periods past the last tabulated time,
// blocks of a single time point.
NuclideResult ProcessNuclide(input::DoseRateFile& file, const input::IndexEntry& entry,
                             const std::string& nuclideName, const RunSelection& run,
                             output::TableSink& sink, NuclideWorkspace& workspace);

// ProcessNuclide into the text tables in `outputFolder`; the result lists
// the files written.
NuclideResult WriteNuclideTables(input::DoseRateFile& file, const input::IndexEntry& entry,
                                 const std::string& nuclideName, const RunSelection& run,
                                 const std::filesystem::path& outputFolder,
                                 NuclideWorkspace& workspace);

}  // namespace quillmore::run
