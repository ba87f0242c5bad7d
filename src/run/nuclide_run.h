// One nuclide's tables: the walk through its blocks in the dose-rate file,
// each selected block read, integrated and handed to a table sink.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "input/selection.h"
#include "integration/block_integration.h"
#include "integration/coefficient_table.h"
#include "integration/tail.h"
#include "output/run_message.h"
#include "output/table_sink.h"

namespace quillmore::run {

// The selection as the run layer names it, with the rule for curves past
// their data: `tail` as the command gave it, unset when it gave none.
struct RunSelection : input::Selection {
  std::optional<integration::Tail> tail;
};

// The tail a table run follows: the one given, otherwise the last piece
// continued.
inline integration::Tail TailOf(const RunSelection& run) {
  return run.tail.value_or(integration::Tail::kCubic);
}

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

// Hands the tables of entry.name to `sink`: Begin, then each block of a
// selected age group that WalkNuclideBlocks hands on, integrated, as a row
// group, then End with the messages. A start record below 3 or past the end of
// the file is a Corruption error. `result.files` stays empty. Warnings: those
// of the walk, a block not integrated (unknown LET letter, no time points),
// coefficients below zero and coefficients past the data that cannot be
// trusted (UnboundedWarning). Notes: periods past the last tabulated time, blocks
// of a single time point.
NuclideResult ProcessNuclide(input::DoseRateFile& file, const input::IndexEntry& entry,
                             const RunSelection& run, output::TableSink& sink,
                             NuclideWorkspace& workspace);

// ProcessNuclide into the text tables in `outputFolder`; the result lists
// the files written.
NuclideResult WriteNuclideTables(input::DoseRateFile& file, const input::IndexEntry& entry,
                                 const RunSelection& run, const std::filesystem::path& outputFolder,
                                 NuclideWorkspace& workspace);

}  // namespace quillmore::run
