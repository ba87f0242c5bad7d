// quillmore: the interactive program.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "app/interactive_command_line.h"
#include "app/interactive_session.h"
#include "console/console.h"
#include "console/curses_terminal.h"
#include "console/interactive_check.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  // Answered before the terminal is looked at, so that they work anywhere.
  if (const std::optional<int> status =
          quillmore::app::AnswerCommandLine(arguments, std::cout, std::cerr)) {
    return *status;
  }
  if (const int status = quillmore::console::CheckInteractiveTerminal(); status != 0) return status;
  std::error_code error;
  const std::filesystem::path workingFolder = std::filesystem::current_path(error);
  if (error) {
    std::cerr << "quillmore: cannot tell the current folder: " << error.message() << '\n';
    return quillmore::app::kSessionError;
  }
  auto terminal = quillmore::console::CursesTerminal::Open();
  if (terminal == nullptr) {
    // Both streams are terminals, so it is the terminal type that is unusable.
    std::cerr << "quillmore: the terminal type is unknown to the terminal library (check TERM).\n"
                 "To run without a terminal (scripts, pipes, CI) use quillmore-batch.\n";
    return quillmore::console::kNoTerminalExitStatus;
  }
  quillmore::console::Console console(*terminal);
  return quillmore::app::RunInteractive(console, workingFolder);
}
