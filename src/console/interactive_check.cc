#include "console/interactive_check.h"

#include <unistd.h>

#include <iostream>

namespace quillmore::console {

int CheckInteractiveTerminal(bool inputIsTerminal, bool outputIsTerminal, std::ostream& err) {
  if (inputIsTerminal && outputIsTerminal) return 0;
  err << "quillmore: the interactive program needs a terminal on standard "
      << (inputIsTerminal    ? "output"
          : outputIsTerminal ? "input"
                             : "input and output")
      << ".\n"
      << "To run without a terminal (scripts, pipes, CI) use quillmore-batch.\n";
  return kNoTerminalExitStatus;
}

int CheckInteractiveTerminal() {
  return CheckInteractiveTerminal(isatty(STDIN_FILENO) == 1, isatty(STDOUT_FILENO) == 1, std::cerr);
}

}  // namespace quillmore::console
