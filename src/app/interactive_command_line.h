// The command line of the interactive program: only --help and --version,
// both answered without touching the terminal.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quillmore::app {

// Answers argv[1..] of quillmore. No arguments: nullopt, the session starts.
// --help (which wins) or --version: the text on `out`, status 0. Anything
// else: a one-line usage error on `err`, status 2.
std::optional<int> AnswerCommandLine(const std::vector<std::string>& arguments, std::ostream& out,
                                     std::ostream& err);

}  // namespace quillmore::app
