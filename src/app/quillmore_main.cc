// quillmore: the interactive program.
#include <filesystem>
#include <iostream>

#include "app/driver.h"
#include "console/console.h"
#include "console/curses_terminal.h"
#include "console/interactive_check.h"

int main() {
  if (const int status = quillmore::console::CheckInteractiveTerminal(); status != 0) return status;
  auto terminal = quillmore::console::CursesTerminal::Open();
  if (terminal == nullptr)
    return quillmore::console::CheckInteractiveTerminal(false, false, std::cerr);
  quillmore::console::Console console(*terminal);
  return quillmore::app::RunInteractive(console, std::filesystem::current_path());
}
