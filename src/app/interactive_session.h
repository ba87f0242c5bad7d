// The interactive program: start screen, data-set, age and region choices,
// then the nuclide loop until an empty answer.
#pragma once

#include <filesystem>

#include "console/console.h"

namespace quillmore::app {

// Exit statuses of a session.
inline constexpr int kSessionEnded = 0;    // an empty answer at the nuclide prompt
inline constexpr int kSessionAborted = 1;  // a list box closed without a choice
inline constexpr int kSessionError = 2;    // missing or unusable data, after its message

// Runs one session on `console` with the folders DATA and OUTPUT of
// `workingFolder` (found in any letter case; OUTPUT created when missing).
// Returns the exit status when the session ends, whichever way.
int RunInteractive(console::Console& console, const std::filesystem::path& workingFolder);

}  // namespace quillmore::app
