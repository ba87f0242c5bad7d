// The interactive program: start screen, data-set, age and region choices,
// then the nuclide loop until an empty answer.
#pragma once

#include <filesystem>

#include "console/console.h"

namespace quillmore::app {

// Runs one session on `console` with the folders DATA and OUTPUT of
// `workingFolder` (found in any letter case; OUTPUT created when missing).
// Returns when the session ends, whichever way; the result is the exit status
// (always 0: every ending has been shown to the user).
int RunInteractive(console::Console& console, const std::filesystem::path& workingFolder);

}  // namespace quillmore::app
