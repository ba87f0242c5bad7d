// The one walk over a nuclide's blocks in a dose-rate file (by
// input::BlockCursor, as the data check): the tables, the curves and any
// later reader of rate tables all go through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "base/status.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "input/form_counter.h"
#include "input/selection.h"
#include "integration/block_integration.h"
#include "output/run_message.h"

namespace quillmore::run {

// A block of a selected age group whose rates were read. The references stay
// valid until the visitor returns.
struct WalkedBlock {
  std::size_t table = 0;  // index in selection.selectedAges
  const input::BlockHeader& header;
  std::int64_t headerRecord = 0;
  input::FormNumbers form;
  const integration::TimeGrid& timeGrid;  // the time points, days; none for N = 0
  const integration::RateTable& rates;    // by component, selection position, time point
};

// What a consumer does with each block; a failure stops the walk.
using BlockVisitor = std::function<base::Status(const WalkedBlock&)>;
// What a consumer that lists every block does with one whose rows are left
// out, and why (its time grid and rates are then empty).
using LeftOutVisitor = std::function<void(const WalkedBlock&, const base::Status& why)>;

// Walks the blocks of entry.name in `file` from the index's start record of
// selection.dataKind, until a header of another nuclide or the end of the
// file, and hands `visit` each block of a selected age group whose rates read
// (into workspace.timeGrid and workspace.rates). Returns the first visitor
// failure, or Corruption for a start record below 3 or past the end of the
// file. Warnings go to `messages` in the order found: a start record of 0, a
// block whose rows are left out (unreadable), the first fault of a block's
// extent (input::BlockExtent: the walk stops there rather than read rate
// records as headers), and last the selected age groups left with headers only.
// A block whose rows are left out also goes to `leftOut`, when given.
base::Status WalkNuclideBlocks(input::DoseRateFile& file, const input::IndexEntry& entry,
                               const input::Selection& selection,
                               integration::BlockWorkspace& workspace,
                               std::vector<output::RunMessage>& messages, const BlockVisitor& visit,
                               const LeftOutVisitor& leftOut = {});

// "Tc-99m, age 100 d, record 1234: ", where a message about a block starts.
std::string BlockPlace(const input::BlockHeader& header, std::int64_t headerRecord);

}  // namespace quillmore::run
