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

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  // Answered before the terminal is looked at, so that they work anywhere.
  if (const std::optional<int> status =
          quillmore::app::AnswerCommandLine(arguments, std::cout, std::cerr)) {
    return *status;
  }
  if (const std::optional<int> status = quillmore::app::RefuseWithoutTerminal(
          quillmore::console::CheckTerminalStreams(), std::cerr)) {
    return *status;
  }
  std::error_code error;
  const std::filesystem::path workingFolder = std::filesystem::current_path(error);
  if (error) {
    std::cerr << "quillmore: cannot tell the current folder: " << error.message() << '\n';
    return quillmore::app::kSessionError;
  }
  auto terminal = quillmore::console::CursesTerminal::Open();
  if (terminal == nullptr) return quillmore::app::RefuseUnknownTerminal(std::cerr);
  quillmore::console::Console console(*terminal);
  return quillmore::app::RunInteractive(console, workingFolder);
}
