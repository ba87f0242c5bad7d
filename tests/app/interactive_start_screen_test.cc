#include "app/interactive_start_screen.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "console/headless_terminal.h"

namespace quillmore::app {
namespace {

using console::Screen;

// The start screen as the user reads it: rows 1 to 28, trailing blanks cut
// (reviewed, and shared with the real-terminal test). The credit line is
// centred by (80 - length) / 2 like the title.
std::string ExpectedStartScreen() {
  std::ifstream in(QUILLMORE_SOURCE_DIR "/tests/app/golden/start_screen.txt");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

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
  EXPECT_EQ(TrimmedRows(seen), ExpectedStartScreen());
  EXPECT_EQ(seen.RowText(2).find("Quillmore"), 24u);

  const auto attributeAt = [&](int row, int column) { return seen.at(row, column).attribute; };
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
