#include "console/screen.h"

#include <gtest/gtest.h>

#include <string>

namespace quillmore::console {
namespace {

std::string Row(const Screen& screen, int row) {
  std::string text = screen.RowText(row);
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

Screen BlueScreen() {
  Screen screen;
  screen.SetColor(kBrightWhite, kBlue);
  screen.ClearScreen();
  return screen;
}

TEST(Screen, EightyCharactersThenNewLineLeaveAnEmptyRow) {
  Screen screen = BlueScreen();
  screen.PrintText(std::string(80, 'x'));
  EXPECT_EQ(screen.row(), 2);
  EXPECT_EQ(screen.column(), 1);
  screen.NewLine();
  screen.PrintText("next");
  EXPECT_EQ(Row(screen, 1), std::string(80, 'x'));
  EXPECT_EQ(Row(screen, 2), "");
  EXPECT_EQ(Row(screen, 3), "next");
}

TEST(Screen, LastCellOfBottomRowScrollsOnlyWithTheNextOutput) {
  Screen screen = BlueScreen();
  screen.PrintText("top");
  screen.Locate(28, 79);
  screen.PrintText("ab");
  EXPECT_TRUE(screen.scrollPending());
  EXPECT_EQ(Row(screen, 1), "top") << "no scroll yet";
  EXPECT_EQ(screen.RowText(28).substr(78), "ab");

  screen.PrintText("c");
  EXPECT_FALSE(screen.scrollPending());
  EXPECT_EQ(Row(screen, 1), "") << "top row scrolled away";
  EXPECT_EQ(screen.RowText(27).substr(78), "ab");
  EXPECT_EQ(Row(screen, 28), "c");
  EXPECT_EQ(screen.column(), 2);
  EXPECT_EQ(screen.at(28, 80).attribute, MakeAttribute(kBrightWhite, kBlue))
      << "new bottom row blank in the current colours";
}

TEST(Screen, NewLineOnBottomRowScrollsOnceOrTwiceWhenPending) {
  Screen screen = BlueScreen();
  screen.PrintText("r1");
  screen.Locate(28, 1);
  screen.PrintText("bottom");
  screen.NewLine();
  EXPECT_EQ(Row(screen, 27), "bottom");
  EXPECT_EQ(screen.row(), 28);
  EXPECT_EQ(screen.column(), 1);

  screen.PrintText(std::string(80, 'z'));
  ASSERT_TRUE(screen.scrollPending());
  screen.NewLine();
  EXPECT_EQ(Row(screen, 26), std::string(80, 'z')) << "pending scroll plus the newline's own";
  EXPECT_EQ(Row(screen, 27), "");
  EXPECT_EQ(Row(screen, 28), "");
  EXPECT_FALSE(screen.scrollPending());
}

TEST(Screen, LocateClearsPendingScrollAndKeepsOutOfRangeCoordinates) {
  Screen screen = BlueScreen();
  screen.Locate(28, 80);
  screen.PrintText("x");
  ASSERT_TRUE(screen.scrollPending());
  screen.Locate(28, 80);
  EXPECT_FALSE(screen.scrollPending());
  screen.PrintText("y");
  EXPECT_EQ(screen.RowText(28)[79], 'y') << "overwrote the last cell, no scroll";

  screen.Locate(5, 10);
  screen.Locate(0, 81);
  EXPECT_EQ(screen.row(), 5);
  EXPECT_EQ(screen.column(), 10);
  screen.Locate(29, 3);
  EXPECT_EQ(screen.row(), 5);
  EXPECT_EQ(screen.column(), 3);
  screen.Locate(7, -1);
  EXPECT_EQ(screen.row(), 7);
  EXPECT_EQ(screen.column(), 3);
}

TEST(Screen, TabToPastTheColumnContinuesOnTheNextRow) {
  Screen screen = BlueScreen();
  screen.Locate(3, 30);
  screen.TabTo(25);
  EXPECT_EQ(screen.row(), 4);
  EXPECT_EQ(screen.column(), 25);
  EXPECT_EQ(Row(screen, 4), "");

  screen.PrintText("x");
  screen.TabTo(30);
  EXPECT_EQ(screen.column(), 30);
  EXPECT_EQ(Row(screen, 4), std::string(24, ' ') + "x");
  screen.TabTo(30);
  EXPECT_EQ(screen.row(), 4) << "already there: nothing";
  screen.TabTo(0);
  screen.TabTo(-3);
  screen.TabTo(81);
  EXPECT_EQ(screen.row(), 4);
  EXPECT_EQ(screen.column(), 30);
}

TEST(Screen, SetColorKeepsComponentsOutOfRangeAndClearFillsBlue) {
  Screen screen;
  screen.SetColor(kBrightWhite, kBlue);
  screen.SetColor(kYellow, -1);
  EXPECT_EQ(screen.attribute(), MakeAttribute(kYellow, kBlue));
  screen.SetColor(16, 2);
  EXPECT_EQ(screen.attribute(), MakeAttribute(kYellow, 2));
  screen.SetColor(kYellow, kBlue);

  screen.PrintText("old");
  screen.ClearScreen();
  EXPECT_EQ(screen.row(), 1);
  EXPECT_EQ(screen.column(), 1);
  for (int r = 1; r <= kScreenRows; ++r) {
    for (int c = 1; c <= kScreenColumns; ++c) {
      ASSERT_EQ(screen.at(r, c), (Cell{' ', MakeAttribute(kYellow, kBlue)})) << r << "," << c;
    }
  }
}

TEST(Screen, ControlBytesAreStoredNotInterpreted) {
  Screen screen = BlueScreen();
  screen.PrintText(std::string("a\nb\r\tc\0d", 8));
  EXPECT_EQ(screen.row(), 1);
  EXPECT_EQ(screen.column(), 9);
  EXPECT_EQ(screen.RowText(1).substr(0, 8), std::string("a\nb\r\tc\0d", 8));
}

TEST(Screen, EraseBackCrossesTheRowStartAndHandlesThePendingCell) {
  Screen screen = BlueScreen();
  screen.Locate(3, 80);
  screen.PrintText("ab");
  screen.EraseBack();
  EXPECT_EQ(screen.row(), 4);
  EXPECT_EQ(screen.column(), 1);
  EXPECT_EQ(Row(screen, 4), "");
  screen.EraseBack();
  EXPECT_EQ(screen.row(), 3);
  EXPECT_EQ(screen.column(), 80);
  EXPECT_EQ(Row(screen, 3), "");

  screen.Locate(28, 80);
  screen.PrintText("z");
  screen.EraseBack();
  EXPECT_FALSE(screen.scrollPending());
  EXPECT_EQ(screen.column(), 80);
  EXPECT_EQ(Row(screen, 28), "");

  screen.Locate(1, 1);
  screen.EraseBack();
  EXPECT_EQ(screen.row(), 1);
  EXPECT_EQ(screen.column(), 1);
}

TEST(Screen, PutTextClipsAndLeavesTheCursor) {
  Screen screen = BlueScreen();
  screen.Locate(2, 2);
  screen.PutText(1, 78, "abcdef", MakeAttribute(0, 7));
  screen.PutText(0, 1, "ignored", 0);
  screen.PutText(29, 1, "ignored", 0);
  EXPECT_EQ(screen.RowText(1).substr(77), "abc");
  EXPECT_EQ(screen.RowText(2), std::string(80, ' '));
  EXPECT_EQ(screen.at(1, 80).attribute, MakeAttribute(0, 7));
  EXPECT_EQ(screen.row(), 2);
  EXPECT_EQ(screen.column(), 2);
}

}  // namespace
}  // namespace quillmore::console
