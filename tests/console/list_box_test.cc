#include "console/list_box.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "console/headless_terminal.h"

namespace quillmore::console {
namespace {

using Indices = std::vector<std::size_t>;

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
  std::optional<std::size_t> One(const std::vector<std::string>& entries, std::size_t initial = 0) {
    return ChooseOne(console, "Multiple Select: Ctrl + Left Click", " Select Target Regions",
                     entries, initial);
  }
  std::vector<std::size_t> Several(const std::vector<std::string>& entries,
                                   std::size_t initial = 0) {
    return ChooseSeveral(console, "Multiple Select: Ctrl + Left Click", " Select Target Regions",
                         entries, initial);
  }
  // The box as the user saw it before the last input.
  const Screen& seen() const { return terminal.shownWhenLastRead(); }

  HeadlessTerminal terminal;
  Console console{terminal};
};

TEST_F(ListBoxTest, SeveralMarkedByKeyboardComeBackAsAscendingIndices) {
  terminal.Key(kKeyDown).Key(kKeyDown).Key(kKeyDown).Key(kKeyDown).Key(' ');  // entry 5
  terminal.Key(kKeyUp).Key(kKeyUp).Key(kKeyUp).Key(' ');                      // entry 2
  terminal.Key(13);
  EXPECT_EQ(Several(kAges), (Indices{1, 4}));

  terminal.Key(' ').Key(kKeyDown).Key(' ').Key(' ').Key(13);
  EXPECT_EQ(Several(kAges, 3), (Indices{3})) << "entry 5 marked and unmarked again";
  terminal.Key(' ').Key(' ').Key(kKeyDown).Key(13);
  EXPECT_EQ(Several(kAges, 3), (Indices{4})) << "nothing marked: the highlighted entry";
}

TEST_F(ListBoxTest, EscapeAndCancelChooseNothingInBothModes) {
  terminal.Key(' ').Key(27);
  EXPECT_EQ(Several(kAges), Indices{});
  terminal.Key(kKeyDown).Key(27);
  EXPECT_EQ(One(kAges), std::nullopt);

  terminal.Key(kKeyDown);  // lets the test read where the button is drawn
  terminal.Key(27);
  Several(kAges);
  const Place cancel = Find(seen(), "[ Cancel ]");
  ASSERT_NE(cancel.row, 0);
  terminal.Key(' ').Click(cancel.row, cancel.column + 3);
  EXPECT_EQ(Several(kAges), Indices{});
  terminal.Click(cancel.row, cancel.column);
  EXPECT_EQ(One({"a", "b", "c", "d", "e", "f", "g"}), std::nullopt);
  EXPECT_EQ(One({}), std::nullopt) << "nothing to choose";
  EXPECT_EQ(Several({}), Indices{}) << "nothing to choose";
  EXPECT_EQ(terminal.unreadCount(), 0u);
}

TEST_F(ListBoxTest, ChooseOneByKeyboardGivesTheEntryIndex) {
  terminal.Key(13);
  EXPECT_EQ(One({"TQV27INH2.DRT", "TQV27ING2.DRT"}), 0u);
  terminal.Key(kKeyDown).Key(kKeyDown).Key(13);
  EXPECT_EQ(One({"TQV27INH2.DRT", "TQV27ING2.DRT"}), 1u) << "stops at the last entry";
  terminal.Key(kKeyEnd).Key(kKeyPageUp).Key(kKeyDown).Key(13);
  EXPECT_EQ(One(kAges, 2), 1u);
  terminal.Key(13);
  EXPECT_EQ(One(kAges, 99), 6u) << "initial entry clamped";
}

TEST_F(ListBoxTest, ChooseOneByClickOnAnEntry) {
  terminal.Key(kKeyHome).Key(27);
  One(kAges);
  const Place adult = Find(seen(), "Adult");
  ASSERT_NE(adult.row, 0);
  terminal.MousePress(adult.row, adult.column);
  terminal.Wheel(adult.row, adult.column, false);
  terminal.MouseRelease(adult.row, adult.column + 7);
  EXPECT_EQ(One(kAges), 5u);
  terminal.Click(adult.row, 1).Click(1, 1).Key(27);
  EXPECT_EQ(One(kAges), std::nullopt) << "clicks outside the box do nothing";
}

TEST_F(ListBoxTest, PlainClickMarksAloneCtrlClickTogglesOkAccepts) {
  terminal.Key(27);
  Several(kAges);
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
  EXPECT_EQ(Several(kAges), (Indices{0, 1, 5}));

  terminal.Click(first + 1, column, true).Click(first + 4, column).Key(13);
  EXPECT_EQ(Several(kAges), (Indices{4})) << "a plain click clears other marks";
}

TEST_F(ListBoxTest, ThirtyOneRegionsScrollOnTwentyEightRows) {
  terminal.Key(kKeyEnd).Key(13);
  EXPECT_EQ(One(Regions()), 30u);
  EXPECT_NE(Find(seen(), "ALL ORGANS").row, 0);
  EXPECT_EQ(Find(seen(), "Region1 ").row, 0) << "scrolled out of view";
  EXPECT_NE(Find(seen(), " 31/31 ").row, 0);

  for (int i = 0; i < 30; ++i) terminal.Key(kKeyDown);
  terminal.Key(' ').Key(kKeyPageUp).Key(kKeyPageDown).Key(13);
  EXPECT_EQ(Several(Regions()), (Indices{30}));

  terminal.Key(kKeyPageDown).Key(13);
  EXPECT_EQ(One(Regions()), 21u) << "one page of 21 rows on";
}

TEST_F(ListBoxTest, WheelScrollsAndAClickChoosesTheScrolledEntry) {
  terminal.Key(27);
  One(Regions());
  const Place first = Find(seen(), "Region1 ");
  ASSERT_NE(first.row, 0);
  EXPECT_NE(Find(seen(), "Region21").row, 0);
  EXPECT_EQ(Find(seen(), "Region22").row, 0);
  EXPECT_EQ(RightBorder(seen(), first.row + 20), 'v') << "more below";
  EXPECT_EQ(RightBorder(seen(), first.row), '|');

  for (int i = 0; i < 4; ++i) terminal.Wheel(first.row, first.column, false);
  terminal.Key(27);
  One(Regions());
  EXPECT_NE(Find(seen(), "ALL ORGANS").row, 0) << "wheel reached the end";
  EXPECT_EQ(RightBorder(seen(), first.row), '^');
  EXPECT_EQ(RightBorder(seen(), first.row + 20), '|');

  for (int i = 0; i < 4; ++i) terminal.Wheel(first.row, first.column, false);
  terminal.Click(first.row + 20, first.column);
  EXPECT_EQ(One(Regions()), 30u);

  // The highlight stays among the entries shown: from the end, one step of
  // three rows up leaves entries 8 to 28 in view.
  terminal.Key(kKeyEnd).Wheel(first.row, first.column, true).Key(13);
  EXPECT_EQ(One(Regions()), 27u);
  EXPECT_EQ(Find(seen(), "ALL ORGANS").row, 0);
  const Place chosen = Find(seen(), "Region28");
  ASSERT_NE(chosen.row, 0);
  EXPECT_EQ(seen().at(chosen.row, chosen.column).attribute, MakeAttribute(kBrightWhite, kBlue));
}

TEST_F(ListBoxTest, LetterJumpsToTheNextEntryStartingWithIt) {
  const std::vector<std::string> names = {"Adrenals", "Bladder", "Bone", " brain", "Colon"};
  terminal.Text("b").Key(13);
  EXPECT_EQ(One(names), 1u);
  terminal.Text("bbb").Key(13);
  EXPECT_EQ(One(names), 3u) << "case and leading blanks do not count";
  terminal.Text("bbbb").Key(13);
  EXPECT_EQ(One(names), 1u) << "wraps round";
  terminal.Text("bbz").Key(13);
  EXPECT_EQ(One(names), 2u) << "a letter no entry starts with does nothing";
}

TEST_F(ListBoxTest, BoxShowsTitleCaptionStatusAndRestoresTheScreen) {
  const Screen before = console.screen();
  terminal.Key(kKeyDown).Key(27);
  Several(kAges);
  EXPECT_NE(Find(seen(), " Select Target Regions").row, 0);
  EXPECT_NE(Find(seen(), "Multiple Select: Ctrl + Left Click").row, 0);
  EXPECT_NE(Find(seen(), "Space or Ctrl+click mark").row, 0);
  const Place second = Find(seen(), "1 y-old");
  ASSERT_NE(second.row, 0);
  EXPECT_EQ(seen().at(second.row, second.column).attribute, MakeAttribute(kBrightWhite, kBlue))
      << "highlight";
  EXPECT_NE(seen().at(second.row - 1, second.column).attribute, MakeAttribute(kBrightWhite, kBlue));

  EXPECT_EQ(console.screen().Text(), before.Text());
  EXPECT_EQ(terminal.shown().Text(), before.Text());
  EXPECT_EQ(terminal.shown().at(14, 40), before.at(14, 40));
  EXPECT_EQ(console.screen().row(), before.row());
  EXPECT_EQ(console.screen().column(), before.column());
  EXPECT_TRUE(terminal.mouseReporting());
}

TEST_F(ListBoxTest, EndOfInputClosesTheBoxWithoutAChoice) {
  terminal.Key(kKeyDown);
  EXPECT_EQ(One(kAges), std::nullopt);
  terminal.Key(' ');
  EXPECT_EQ(Several(kAges), Indices{});
}

}  // namespace
}  // namespace quillmore::console
