// Whether the standard streams an interactive program draws on are terminals;
// the programs decide what to tell the user.
#pragma once

namespace quillmore::console {

struct TerminalStreams {
  bool input = true;   // standard input is a terminal
  bool output = true;  // standard output is a terminal

  bool ok() const { return input && output; }
};

// This process's standard input and output.
TerminalStreams CheckTerminalStreams();

}  // namespace quillmore::console
