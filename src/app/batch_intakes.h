// quillmore-batch --intakes: the annual doses of an intake history.
#pragma once

#include <filesystem>
#include <ostream>

#include "app/batch_options.h"

namespace quillmore::app {

// Runs the intake history of options.intakesFile with the data in
// `dataFolder`: bad rows are listed on `err` (exit 2, nothing written);
// otherwise the files go to the output folder and warnings to `err`.
// Returns the exit status.
int RunIntakes(const BatchOptions& options, const std::filesystem::path& dataFolder,
               std::ostream& out, std::ostream& err);

}  // namespace quillmore::app
