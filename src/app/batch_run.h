// quillmore-batch: the same tables as the interactive program, for a list of
// nuclides named on the command line.
#pragma once

#include <ostream>

#include "app/batch_options.h"

namespace quillmore::app {

// Exit statuses of a batch run.
inline constexpr int kBatchOk = 0;
inline constexpr int kBatchWarnings = 1;  // a nuclide missing, a block invalid, a check problem
inline constexpr int kBatchError = 2;     // usage, missing or unreadable data, unwritable output

// Runs the command described by `options` in the current folder: tables to
// the output folder, listings and check reports to `out`, warnings and errors
// (one line each) to `err`. `showProgress` draws a one-line progress bar on
// `err` (for a terminal). Returns the exit status.
int RunBatch(const BatchOptions& options, std::ostream& out, std::ostream& err, bool showProgress);

}  // namespace quillmore::app
