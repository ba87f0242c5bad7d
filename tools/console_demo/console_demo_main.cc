// A small program of the console layer alone, for trying it in a real
// terminal and for the terminal smoke test: two list boxes, a typed line and
// a pause, each result printed on the blue screen; given a file name, the file
// viewer before the pause (first row and 9 columns frozen).
#include <cstddef>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/curses_terminal.h"
#include "console/file_viewer.h"
#include "console/interactive_check.h"
#include "console/list_box.h"

namespace {

using quillmore::console::Console;

// The chosen entries' numbers (from 1), separated by '|'.
std::string Readable(const std::vector<std::size_t>& chosen) {
  std::string text;
  for (const std::size_t index : chosen) {
    if (!text.empty()) text += '|';
    text += std::to_string(index + 1);
  }
  return text;
}

void Run(Console& console, const char* viewPath) {
  console.SetTitle("Console demo");
  console.SetColor(15, 1);
  console.ClearScreen();
  console.SetMouseEvents(8, 1);
  console.EnableMouse();
  // Markers at the corners show where the 80 x 28 screen lies.
  console.PrintText("|left");
  console.Locate(1, 75);
  console.PrintText("right|");
  console.Locate(28, 1);
  console.PrintText("|bottom");
  console.Locate(2, 25);
  console.PrintText("Console layer demo");
  console.NewLine();
  console.NewLine();

  std::vector<std::string> regions;
  for (int i = 1; i <= 29; ++i) regions.push_back("Region " + std::to_string(i));
  regions.push_back("Lung");
  regions.push_back("ALL ORGANS");
  const std::vector<std::size_t> marked = quillmore::console::ChooseSeveral(
      console, "Multiple Select: Ctrl + Left Click", " Select Target Regions", regions);
  console.PrintText(" Marked: [" + Readable(marked) + "]");
  console.NewLine();

  const std::vector<std::string> dataSets = {"FIRST.DAT", "SECOND.DAT"};
  const std::optional<std::size_t> chosen = quillmore::console::ChooseOne(
      console, "Click on data set", " Select Data Set to Process", dataSets);
  console.PrintText(" Chosen: [" + (chosen ? dataSets[*chosen] : std::string()) + "]");
  console.NewLine();

  console.SetColor(14, -1);
  console.PrintText(" Type a line: ");
  const std::string line = console.ReadLine();
  console.PrintText(" Typed: [" + line + "]");
  console.NewLine();
  if (viewPath != nullptr) quillmore::console::ViewFile(console, viewPath, 1, 9);
  console.Pause("exit...");
}

}  // namespace

int main(int argc, char** argv) {
  auto terminal = quillmore::console::CheckTerminalStreams().ok()
                      ? quillmore::console::CursesTerminal::Open()
                      : nullptr;
  if (!terminal) {
    std::cerr << "quillmore-console-demo: needs a usable terminal on standard input and output\n";
    return 2;
  }
  Console console(*terminal);
  Run(console, argc > 1 ? argv[1] : nullptr);
  return 0;
}
