#include "console/list_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/headless_terminal.h"

namespace quillmore::console {
namespace {

using namespace std::string_literals;

const std::vector<std::string> kAges = {"Infant  ", "1 y-old ", "5 y-old ", "10 y-old",
                                        "15 y-old", "Adult   ", "ALL AGES"};

std::vector<std::string> Regions() {
  std::vector<std::string> names;
  for (int i = 1; i <= 29; ++i) names.push_back("Region" + std::to_string(i));
  names.push_back("Lung");
  names.push_back("ALL ORGANS");
  return names;
}

struct Place {
  int row = 0;
  int column = 0;
};

// Where `text` first appears on `screen` (row 0 when absent).
Place Find(const Screen& screen, std::string_view text) {
  for (int r = 1; r <= kScreenRows; ++r) {
    const std::size_t at = screen.RowText(r).find(text);
    if (at != std::string::npos) return {r, static_cast<int>(at) + 1};
  }
  return {};
}

// The last character drawn on a row (the screen around the box is blank).
char RightBorder(const Screen& screen, int row) {
  const std::string text = screen.RowText(row);
  return text[text.find_last_not_of(' ')];
}

class ListBoxTest : public ::testing::Test {
 protected:
  ListBoxTest() {
    console.SetColor(kBrightWhite, kBlue);
    console.ClearScreen();
    console.PrintText("status screen text");
    console.SetMouseEvents(kMouseReleased, kLeftButton);
    console.EnableMouse();
  }
  std::string Box(const std::vector<std::string>& entries, int mode, int initial = 1) {
    return ConsoleListBox(console, 1, 32766, 32766, "Multiple Select: Ctrl + Left Click",
                          " Select Target Regions", entries, initial, mode, 0);
  }
  // The box as the user saw it before the last input.
  const Screen& seen() const { return terminal.shownWhenLastRead(); }

  HeadlessTerminal terminal;
  Console console{terminal};
};

TEST_F(ListBoxTest, SeveralMarkedByKeyboardComeBackAscendingWithNulSeparators) {
  terminal.Key(kKeyDown).Key(kKeyDown).Key(kKeyDown).Key(kKeyDown).Key(' ');  // entry 5
  terminal.Key(kKeyUp).Key(kKeyUp).Key(kKeyUp).Key(' ');                      // entry 2
  terminal.Key(13);
  EXPECT_EQ(Box(kAges, kChooseSeveral),
            "2\0"s
            "5");

  terminal.Key(' ').Key(kKeyDown).Key(' ').Key(' ').Key(13);
  EXPECT_EQ(Box(kAges, kChooseSeveral, 4), "4") << "entry 5 marked and unmarked again";
  terminal.Key(' ').Key(' ').Key(kKeyDown).Key(13);
  EXPECT_EQ(Box(kAges, kChooseSeveral, 4), "5") << "nothing marked: the highlighted entry";
}

TEST_F(ListBoxTest, EscapeAndCancelGiveEmptyTextInBothModes) {
  terminal.Key(' ').Key(27);
  EXPECT_EQ(Box(kAges, kChooseSeveral), "");
  terminal.Key(kKeyDown).Key(27);
  EXPECT_EQ(Box(kAges, kChooseOne), "");

  terminal.Key(kKeyDown);  // lets the test read where the button is drawn
  terminal.Key(27);
  Box(kAges, kChooseSeveral);
  const Place cancel = Find(seen(), "[ Cancel ]");
  ASSERT_NE(cancel.row, 0);
  terminal.Key(' ').Click(cancel.row, cancel.column + 3);
  EXPECT_EQ(Box(kAges, kChooseSeveral), "");
  terminal.Click(cancel.row, cancel.column);
  EXPECT_EQ(Box({"a", "b", "c", "d", "e", "f", "g"}, kChooseOne), "");
  EXPECT_EQ(Box({}, kChooseOne), "") << "nothing to choose";
  EXPECT_EQ(terminal.unreadCount(), 0u);
}

TEST_F(ListBoxTest, ChooseOneByKeyboardGivesTheEntryText) {
  terminal.Key(13);
  EXPECT_EQ(Box({"TQV27INH2.DRT", "TQV27ING2.DRT"}, kChooseOne), "TQV27INH2.DRT");
  terminal.Key(kKeyDown).Key(kKeyDown).Key(13);
  EXPECT_EQ(Box({"TQV27INH2.DRT", "TQV27ING2.DRT"}, kChooseOne), "TQV27ING2.DRT")
      << "stops at the last entry";
  terminal.Key(kKeyEnd).Key(kKeyPageUp).Key(kKeyDown).Key(13);
  EXPECT_EQ(Box(kAges, kChooseOne, 3), kAges[1]);
  terminal.Key(13);
  EXPECT_EQ(Box(kAges, kChooseOne, 99), "ALL AGES") << "initial entry clamped";
}

TEST_F(ListBoxTest, ChooseOneByClickOnAnEntry) {
  terminal.Key(kKeyHome).Key(27);
  Box(kAges, kChooseOne);
  const Place adult = Find(seen(), "Adult");
  ASSERT_NE(adult.row, 0);
  terminal.MousePress(adult.row, adult.column);
  terminal.Wheel(adult.row, adult.column, false);
  terminal.MouseRelease(adult.row, adult.column + 7);
  EXPECT_EQ(Box(kAges, kChooseOne), "Adult   ");
  terminal.Click(adult.row, 1).Click(1, 1).Key(27);
  EXPECT_EQ(Box(kAges, kChooseOne), "") << "clicks outside the box do nothing";
}

TEST_F(ListBoxTest, PlainClickMarksAloneCtrlClickTogglesOkAccepts) {
  terminal.Key(27);
  Box(kAges, kChooseSeveral);
  const int first = Find(seen(), "Infant").row;
  const Place ok = Find(seen(), "[ OK ]");
  ASSERT_NE(first, 0);
  ASSERT_NE(ok.row, 0);
  const int column = Find(seen(), "Infant").column;
  terminal
      .Click(first + 2, column)        // 3 alone
      .Click(first + 5, column, true)  // + 6
      .Click(first, column, true)      // + 1
      .Click(first + 2, column, true)  // - 3
      .Key(kKeyUp)
      .Key(' ')  // + 2 by keyboard (highlight follows clicks)
      .Click(ok.row, ok.column + 2);
  EXPECT_EQ(Box(kAges, kChooseSeveral),
            "1\0"s
            "2\0"s
            "6");

  terminal.Click(first + 1, column, true).Click(first + 4, column).Key(13);
  EXPECT_EQ(Box(kAges, kChooseSeveral), "5") << "a plain click clears other marks";
}

TEST_F(ListBoxTest, ThirtyOneRegionsScrollOnTwentyEightRows) {
  terminal.Key(kKeyEnd).Key(13);
  EXPECT_EQ(Box(Regions(), kChooseOne), "ALL ORGANS");
  EXPECT_NE(Find(seen(), "ALL ORGANS").row, 0);
  EXPECT_EQ(Find(seen(), "Region1 ").row, 0) << "scrolled out of view";
  EXPECT_NE(Find(seen(), " 31/31 ").row, 0);

  for (int i = 0; i < 30; ++i) terminal.Key(kKeyDown);
  terminal.Key(' ').Key(kKeyPageUp).Key(kKeyPageDown).Key(13);
  EXPECT_EQ(Box(Regions(), kChooseSeveral), "31");

  terminal.Key(kKeyPageDown).Key(13);
  EXPECT_EQ(Box(Regions(), kChooseOne), "Region22") << "one page of 21 rows on";
}

TEST_F(ListBoxTest, WheelScrollsAndAClickChoosesTheScrolledEntry) {
  terminal.Key(27);
  Box(Regions(), kChooseOne);
  const Place first = Find(seen(), "Region1 ");
  ASSERT_NE(first.row, 0);
  EXPECT_NE(Find(seen(), "Region21").row, 0);
  EXPECT_EQ(Find(seen(), "Region22").row, 0);
  EXPECT_EQ(RightBorder(seen(), first.row + 20), 'v') << "more below";
  EXPECT_EQ(RightBorder(seen(), first.row), '|');

  for (int i = 0; i < 4; ++i) terminal.Wheel(first.row, first.column, false);
  terminal.Key(27);
  Box(Regions(), kChooseOne);
  EXPECT_NE(Find(seen(), "ALL ORGANS").row, 0) << "wheel reached the end";
  EXPECT_EQ(RightBorder(seen(), first.row), '^');
  EXPECT_EQ(RightBorder(seen(), first.row + 20), '|');

  for (int i = 0; i < 4; ++i) terminal.Wheel(first.row, first.column, false);
  terminal.Click(first.row + 20, first.column);
  EXPECT_EQ(Box(Regions(), kChooseOne), "ALL ORGANS");

  // The highlight stays among the entries shown: from the end, one step of
  // three rows up leaves entries 8 to 28 in view.
  terminal.Key(kKeyEnd).Wheel(first.row, first.column, true).Key(13);
  EXPECT_EQ(Box(Regions(), kChooseOne), "Region28");
  EXPECT_EQ(Find(seen(), "ALL ORGANS").row, 0);
  const Place chosen = Find(seen(), "Region28");
  ASSERT_NE(chosen.row, 0);
  EXPECT_EQ(seen().At(chosen.row, chosen.column).attribute, MakeAttribute(kBrightWhite, kBlue));
}

TEST_F(ListBoxTest, LetterJumpsToTheNextEntryStartingWithIt) {
  const std::vector<std::string> names = {"Adrenals", "Bladder", "Bone", " brain", "Colon"};
  terminal.Text("b").Key(13);
  EXPECT_EQ(Box(names, kChooseOne), "Bladder");
  terminal.Text("bbb").Key(13);
  EXPECT_EQ(Box(names, kChooseOne), " brain") << "case and leading blanks do not count";
  terminal.Text("bbbb").Key(13);
  EXPECT_EQ(Box(names, kChooseOne), "Bladder") << "wraps round";
  terminal.Text("bbz").Key(13);
  EXPECT_EQ(Box(names, kChooseOne), "Bone") << "a letter no entry starts with does nothing";
}

TEST_F(ListBoxTest, BoxShowsTitleCaptionStatusAndRestoresTheScreen) {
  const Screen before = console.screen();
  terminal.Key(kKeyDown).Key(27);
  Box(kAges, kChooseSeveral);
  EXPECT_NE(Find(seen(), " Select Target Regions").row, 0);
  EXPECT_NE(Find(seen(), "Multiple Select: Ctrl + Left Click").row, 0);
  EXPECT_NE(Find(seen(), "Space or Ctrl+click mark").row, 0);
  const Place second = Find(seen(), "1 y-old");
  ASSERT_NE(second.row, 0);
  EXPECT_EQ(seen().At(second.row, second.column).attribute, MakeAttribute(kBrightWhite, kBlue))
      << "highlight";
  EXPECT_NE(seen().At(second.row - 1, second.column).attribute, MakeAttribute(kBrightWhite, kBlue));

  EXPECT_EQ(console.screen().Text(), before.Text());
  EXPECT_EQ(terminal.shown().Text(), before.Text());
  EXPECT_EQ(terminal.shown().At(14, 40), before.At(14, 40));
  EXPECT_EQ(console.screen().row(), before.row());
  EXPECT_EQ(console.screen().column(), before.column());
  EXPECT_TRUE(terminal.mouseReporting());
}

TEST_F(ListBoxTest, EndOfInputClosesTheBoxWithoutAChoice) {
  terminal.Key(kKeyDown);
  EXPECT_EQ(Box(kAges, kChooseOne), "");
}

}  // namespace
}  // namespace quillmore::console
