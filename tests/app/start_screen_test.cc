#include "app/start_screen.h"

#include <gtest/gtest.h>

#include <string>

#include "console/headless_terminal.h"

namespace quillmore::app {
namespace {

using console::Screen;

// The start screen as the user reads it: rows 1 to 28, trailing blanks cut.
// The credit line is centred by (80 - length) / 2 like the title.
constexpr const char* kStartScreen = R"(
                        Quillmore Code (Nov 19, 2012)
                     Written by the Quillmore developers

 Quillmore computes absorbed dose coefficients for user specified
 commitment periods (integration times). The times (upper limit on the
 integrals) are specified in the file Quillmore.INI which resides in the
 subfolder DATA.  The software operates on the absorbed dose rate file
 for inhalation or ingestion archived on the TQV-27 CD. The output files
 contain the low and high LET components of the absorbed dose. The output
 files are written in the subfolder OUTPUT.

 The user selects:
    1. either the ingestion or inhalation data set,
    2. the age(s) of interest (all is an option),
    3. the organ(s) to be processed (all is an option).

 The user is prompted to input the nuclide of interest; e.g., H-3, Tc-99m,
 Am-241. After processing the nuclide, the user is prompted for another
 nuclide or to exit the software.

 The name of the output files is based on the nuclide name, age, and with
 H or G indicated inhalation or ingestion; the file extension is TXT. Thus
 the file Tc-99m_3650_H.TXT contains coefficients for inhalation of Tc-99m
 by the ten year old (age 3650 d).

 Press a key (or left click mouse) to continue...

)";

std::string TrimmedRows(const Screen& screen) {
  std::string text;
  for (int row = 1; row <= console::kScreenRows; ++row) {
    std::string line = screen.RowText(row);
    line.erase(line.find_last_not_of(' ') + 1);
    text += line + "\n";
  }
  return text;
}

class StartScreenTest : public ::testing::Test {
 protected:
  StartScreenTest() {
    console.SetColor(kBrightWhite, kBlue);
    console.ClearScreen();
  }
  console::HeadlessTerminal terminal;
  console::Console console{terminal};
};

TEST_F(StartScreenTest, FillsRowsOneToTwentySevenAndPausesInYellow) {
  terminal.Key(' ');
  ShowStartScreen(console);
  const Screen& seen = terminal.shownWhenLastRead();
  EXPECT_EQ(TrimmedRows(seen), kStartScreen);
  EXPECT_EQ(seen.RowText(2).find("Quillmore"), 24u);

  const auto attributeAt = [&](int row, int column) { return seen.At(row, column).attribute; };
  EXPECT_EQ(attributeAt(5, 2), console::MakeAttribute(kBrightWhite, kBlue));
  EXPECT_EQ(attributeAt(2, 25), console::MakeAttribute(kBrightWhite, kBlue));
  EXPECT_EQ(attributeAt(27, 2), console::MakeAttribute(kYellow, kBlue));
  EXPECT_EQ(attributeAt(27, 48), console::MakeAttribute(kYellow, kBlue));
  EXPECT_EQ(attributeAt(28, 80), console::MakeAttribute(kBrightWhite, kBlue));
  EXPECT_EQ(seen.row(), 27);
  // Back to bright white for what follows.
  EXPECT_EQ(console.screen().attribute(), console::MakeAttribute(kBrightWhite, kBlue));
}

TEST_F(StartScreenTest, KeysTypedAheadEndThePauseAndTheRestIsDiscarded) {
  terminal.TypeAheadKey('a').TypeAheadKey('b').TypeAheadKey('c');
  ShowStartScreen(console);
  EXPECT_EQ(terminal.unreadCount(), 0u);
}

TEST_F(StartScreenTest, LeftButtonReleaseEndsThePauseOnceTheMouseIsEnabled) {
  console.SetMouseEvents(console::kMouseReleased, console::kLeftButton);
  console.EnableMouse();
  terminal.MousePress(5, 5).MouseRelease(5, 5, console::kRightButton).MouseRelease(5, 5).Key('x');
  ShowStartScreen(console);
  EXPECT_EQ(terminal.unreadCount(), 1u);
}

TEST_F(StartScreenTest, HeaderBlockPlacesTheCreditLineAtTheGivenColumn) {
  console.NewLine();
  PrintHeaderBlock(console, 32);
  PrintHeaderBlock(console, 25);
  const Screen& shown = terminal.shown();
  EXPECT_EQ(shown.RowText(2).find(kTitleLine), 24u);
  EXPECT_EQ(shown.RowText(3).find(kCreditLine), 31u);
  EXPECT_EQ(shown.RowText(4).find(kTitleLine), 24u);
  EXPECT_EQ(shown.RowText(5).find(kCreditLine), 24u);
  EXPECT_EQ(shown.row(), 6);
  EXPECT_EQ(shown.column(), 1);
}

}  // namespace
}  // namespace quillmore::app
