#include "console/interactive_check.h"

#include <unistd.h>

namespace quillmore::console {

TerminalStreams CheckTerminalStreams() {
  return {isatty(STDIN_FILENO) == 1, isatty(STDOUT_FILENO) == 1};
}

}  // namespace quillmore::console
