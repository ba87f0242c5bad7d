#include "app/interactive_start_screen.h"

#include <array>

namespace quillmore::app {
namespace {

constexpr int kScreenWidth = 80;
constexpr int kTitleColumn = 25;
constexpr int kListColumn = 5;

constexpr std::array<std::string_view, 7> kAbout = {
    " Quillmore computes absorbed dose coefficients for user specified",
    " commitment periods (integration times). The times (upper limit on the",
    " integrals) are specified in the file Quillmore.INI which resides in the",
    " subfolder DATA.  The software operates on the absorbed dose rate file",
    " for inhalation or ingestion archived on the TQV-27 CD. The output files",
    " contain the low and high LET components of the absorbed dose. The output",
    " files are written in the subfolder OUTPUT."};

constexpr std::array<std::string_view, 3> kChoices = {
    "1. either the ingestion or inhalation data set,",
    "2. the age(s) of interest (all is an option),",
    "3. the organ(s) to be processed (all is an option)."};

constexpr std::array<std::string_view, 3> kPrompting = {
    " The user is prompted to input the nuclide of interest; e.g., H-3, Tc-99m,",
    " Am-241. After processing the nuclide, the user is prompted for another",
    " nuclide or to exit the software."};

constexpr std::array<std::string_view, 4> kFileNames = {
    " The name of the output files is based on the nuclide name, age, and with",
    " H or G indicated inhalation or ingestion; the file extension is TXT. Thus",
    " the file Tc-99m_3650_H.TXT contains coefficients for inhalation of Tc-99m ",
    " by the ten year old (age 3650 d)."};

void PrintLines(console::Console& console, const auto& lines) {
  for (std::string_view line : lines) {
    console.PrintText(line);
    console.NewLine();
  }
}

int CentredColumn(std::string_view text) {
  return (kScreenWidth - static_cast<int>(text.size())) / 2;
}

}  // namespace

void PrintHeaderBlock(console::Console& console, int creditColumn) {
  console.TabTo(kTitleColumn);
  console.PrintText(kTitleLine);
  console.NewLine();
  console.TabTo(creditColumn);
  console.PrintText(kCreditLine);
  console.NewLine();
}

void ShowStartScreen(console::Console& console) {
  console.NewLine();
  console.TabTo(CentredColumn(kTitleLine));
  console.PrintText(kTitleLine);
  console.NewLine();
  console.TabTo(CentredColumn(kCreditLine));
  console.PrintText(kCreditLine);
  console.NewLine();
  console.NewLine();
  PrintLines(console, kAbout);
  console.NewLine();
  console.PrintText(" The user selects:");
  console.NewLine();
  for (std::string_view line : kChoices) {
    console.TabTo(kListColumn);
    console.PrintText(line);
    console.NewLine();
  }
  console.NewLine();
  PrintLines(console, kPrompting);
  console.NewLine();
  PrintLines(console, kFileNames);
  console.NewLine();
  console.SetColor(kYellow, kKeepColor);
  console.Pause("continue...");
  console.FlushInput();
  console.SetColor(kBrightWhite, kKeepColor);
}

}  // namespace quillmore::app
