// The interactive program needs a terminal on both standard input and output.
#pragma once

#include <ostream>

namespace quillmore::console {

// The exit status of an interactive program started without a terminal.
inline constexpr int kNoTerminalExitStatus = 2;

// 0 when both streams are terminals; otherwise writes to `err` that a terminal
// is needed and that quillmore-batch runs without one, and returns
// kNoTerminalExitStatus.
int CheckInteractiveTerminal(bool inputIsTerminal, bool outputIsTerminal, std::ostream& err);
// The same for this process's standard input and output, writing to std::cerr.
int CheckInteractiveTerminal();

}  // namespace quillmore::console
