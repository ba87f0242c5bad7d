// The command line of the interactive program: only --help and --version,
// both answered without touching the terminal; then what the program says
// when it has no usable terminal.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "console/interactive_check.h"

namespace quillmore::app {

// Answers argv[1..] of quillmore. No arguments: nullopt, the session starts.
// --help (which wins) or --version: the text on `out`, status 0. Anything
// else: a one-line usage error on `err`, status 2.
std::optional<int> AnswerCommandLine(const std::vector<std::string>& arguments, std::ostream& out,
                                     std::ostream& err);

// Nullopt when `streams` are both terminals; otherwise writes to `err` which
// stream lacks one and that quillmore-batch runs without, and returns
// kSessionError.
std::optional<int> RefuseWithoutTerminal(console::TerminalStreams streams, std::ostream& err);

// What `err` is told when the terminal type is unknown; returns kSessionError.
int RefuseUnknownTerminal(std::ostream& err);

}  // namespace quillmore::app
