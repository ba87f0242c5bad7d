#include "console/file_viewer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "console/headless_terminal.h"
#include "support/temp_dir.h"

namespace quillmore::console {
namespace {

// A table of `rows` lines: a 9-character row label, then blocks of 19
// characters named by their block number ("B01" ...), like a wide table.
std::string Table(int rows, int blocks) {
  std::string text = "Label    ";
  for (int b = 1; b <= blocks; ++b)
    text += "|Head" + std::string(b < 10 ? "0" : "") + std::to_string(b) + std::string(12, ' ');
  text += "\r\n";
  for (int r = 1; r <= rows; ++r) {
    std::string label = "Row" + std::to_string(r);
    label.resize(9, ' ');
    text += label;
    for (int b = 1; b <= blocks; ++b) {
      std::string cell =
          "|B" + std::string(b < 10 ? "0" : "") + std::to_string(b) + "R" + std::to_string(r);
      cell.resize(19, '.');
      text += cell;
    }
    text += "\r\n";
  }
  return text;
}

class FileViewerTest : public ::testing::Test {
 protected:
  FileViewerTest() {
    console.SetColor(kBrightWhite, kBlue);
    console.ClearScreen();
    console.PrintText("under the viewer");
    quillmore::testing::WriteFile(dir / "table.txt", Table(60, 8));
  }
  // Views the table, then says what row `row` showed before the last key.
  bool View(int frozenRows = 1, int frozenColumns = 9) {
    return ViewFile(console, dir / "table.txt", frozenRows, frozenColumns);
  }
  std::string Seen(int row) const { return terminal.shownWhenLastRead().RowText(row); }

  quillmore::testing::TempDir dir;
  HeadlessTerminal terminal;
  Console console{terminal};
};

TEST_F(FileViewerTest, OpensAtTheTopLeftWithAStatusLine) {
  terminal.Key('q');
  EXPECT_TRUE(View());
  EXPECT_EQ(Seen(1).substr(0, 14), "Label    |Head");
  EXPECT_EQ(Seen(2).substr(0, 16), "Row1     |B01R1.");
  EXPECT_EQ(Seen(27).substr(0, 6), "Row26 ");
  EXPECT_NE(Seen(28).find("table.txt  Row 2/61  Col 10"), std::string::npos) << Seen(28);
  EXPECT_EQ(terminal.shownWhenLastRead().at(2, 1).attribute, MakeAttribute(kYellow, kBlue));
  EXPECT_EQ(terminal.shownWhenLastRead().at(2, 10).attribute, MakeAttribute(kBrightWhite, kBlue));
}

TEST_F(FileViewerTest, FrozenRowsAndColumnsStayWhileTheRestScrolls) {
  terminal.Key(kKeyRight).Key(kKeyDown).Key(kKeyDown).Key('q');
  View();
  EXPECT_EQ(Seen(1).substr(0, 15), "Label    |Head0") << "frozen row";
  EXPECT_EQ(Seen(1).substr(9, 7), "|Head02") << "frozen row scrolls sideways";
  EXPECT_EQ(Seen(2).substr(0, 16), "Row3     |B02R3.") << "two rows down, one block right";
  EXPECT_NE(Seen(28).find("Row 4/61  Col 29"), std::string::npos) << Seen(28);
}

TEST_F(FileViewerTest, ColumnsMoveByOneWithShiftOrAngleBracketsAndStopAtTheEdges) {
  terminal.Key(kKeyRight, true).Key('>').Key('>').Key('<').Key('q');
  View();
  EXPECT_EQ(Seen(2).substr(9, 9), "|01R1....") << "two columns on, kept apart by a separator";

  terminal.Key(kKeyLeft).Key(kKeyLeft, true).Key('<').Key('q');
  View();
  EXPECT_EQ(Seen(2).substr(9, 6), "|B01R1") << "no scrolling before the first column";

  terminal.Key(kKeyRight).Key(kKeyRight).Key(kKeyRight).Key(kKeyLeft).Key('q');
  View();
  EXPECT_EQ(Seen(2).substr(9, 6), "|B03R1") << "Left: one block back";
  terminal.Key(kKeyRight).Key(kKeyRight).Key(kKeyLeft, true).Key(kKeyLeft, true).Key('q');
  View();
  EXPECT_EQ(Seen(2).substr(9, 9), "|..|B03R1") << "Shift+Left: two columns back, kept apart";
  EXPECT_NE(Seen(28).find("Col 46"), std::string::npos) << Seen(28);

  // 9 + 8 x 19 = 161 characters: the last 80 are shown at most.
  for (int i = 0; i < 10; ++i) terminal.Key(kKeyRight);
  terminal.Key('q');
  View(1, 0);
  EXPECT_EQ(Seen(2).substr(61), "|B08R1.............") << "the line's end in the last column";
  EXPECT_NE(Seen(28).find("Col 82"), std::string::npos) << Seen(28);
}

TEST_F(FileViewerTest, RowKeysPageAndStopAtTheEnds) {
  terminal.Key(kKeyPageDown).Key('q');
  View(1, 9);
  EXPECT_EQ(Seen(2).substr(0, 6), "Row27 ") << "one page of 26 rows";

  terminal.Key(kKeyEnd).Key(kKeyDown).Key('q');
  View(1, 9);
  EXPECT_EQ(Seen(27).substr(0, 6), "Row60 ") << "last line on the last text row";
  EXPECT_EQ(Seen(2).substr(0, 6), "Row35 ");

  terminal.Key(kKeyEnd).Key(kKeyHome).Key(kKeyUp).Key(kKeyPageUp).Key(27);
  View(3, 9);
  EXPECT_EQ(Seen(4).substr(0, 6), "Row3  ");
  terminal.Wheel(5, 5, false).Key('Q');
  View(3, 9);
  EXPECT_EQ(Seen(4).substr(0, 6), "Row6  ");
}

TEST_F(FileViewerTest, ClosingRestoresTheScreen) {
  const std::string before = console.screen().Text();
  terminal.Key(kKeyDown).Key(27);
  View();
  EXPECT_EQ(console.screen().Text(), before);
  EXPECT_EQ(terminal.shown().Text(), before);
  EXPECT_EQ(terminal.unreadCount(), 0u);
}

TEST_F(FileViewerTest, MissingFileShowsOneLineAndReturnsFalse) {
  const std::string before = console.screen().Text();
  terminal.Key('x').Key('y');
  EXPECT_FALSE(ViewFile(console, dir / "absent.txt", 0, 0));
  EXPECT_NE(Seen(28).find("Cannot open"), std::string::npos);
  EXPECT_NE(Seen(28).find("absent.txt"), std::string::npos);
  EXPECT_EQ(Seen(27), std::string(80, ' '));
  EXPECT_EQ(terminal.unreadCount(), 1u) << "one key dismisses it";
  EXPECT_EQ(console.screen().Text(), before);
  EXPECT_FALSE(ViewFile(console, dir.path(), 0, 0)) << "a folder is no file";
}

TEST_F(FileViewerTest, EmptyFileAndShortFileDoNotScroll) {
  quillmore::testing::WriteFile(dir / "short.txt", "one\ntwo\n");
  terminal.Key(kKeyEnd).Key(kKeyRight).Key('q');
  EXPECT_TRUE(ViewFile(console, dir / "short.txt", 5, 120));
  EXPECT_EQ(Seen(2).substr(0, 4), "two ");
  EXPECT_EQ(Seen(3), std::string(80, ' '));
  quillmore::testing::WriteFile(dir / "empty.txt", "");
  terminal.Key(kKeyDown).Key('q');
  EXPECT_TRUE(ViewFile(console, dir / "empty.txt", 0, 0));
  EXPECT_NE(Seen(28).find("Row 1/0"), std::string::npos) << Seen(28);
}

// Records what the viewer showed when a plot was asked for.
class PlotRecorder : public PlotSource {
 public:
  explicit PlotRecorder(const HeadlessTerminal& terminal) : terminal_(terminal) {}
  std::optional<plot::Plot> PlotFor(int region, int group) override {
    asked.push_back({region, group});
    if (tableWhenAsked.empty()) tableWhenAsked = terminal_.shown().Text();
    return plot::Plot{"plot", "t (d)", {}, {}};
  }
  std::string SaveFigure(int, int) override { return ""; }
  std::vector<std::pair<int, int>> asked;
  std::string tableWhenAsked;

 private:
  const HeadlessTerminal& terminal_;
};

TEST_F(FileViewerTest, FillsTheTerminalAndFollowsItsSize) {
  terminal.SetSize(45, 160).Key(kKeyDown);
  terminal.Resize(28, 80).Key('q');
  quillmore::testing::WriteFile(dir / "a_table_with_a_rather_long_name_for_its_status_line.txt",
                                Table(60, 8));
  View();
  EXPECT_EQ(terminal.shownWhenLastRead().columns(), 80);
  EXPECT_EQ(Seen(2).substr(0, 6), "Row2  ") << "the position survives the resize";

  terminal.SetSize(45, 160).Key('q');
  View();
  EXPECT_EQ(terminal.shownWhenLastRead().rows(), 45);
  EXPECT_NE(Seen(2).find("|B08R1"), std::string::npos) << "every block of 161 columns but one";
  EXPECT_NE(Seen(45).find("q quit"), std::string::npos);
  EXPECT_EQ(terminal.shown().columns(), 80) << "the 80 x 28 screen comes back";

  terminal.SetSize(28, 80).Key('q');
  ViewFile(console, dir / "a_table_with_a_rather_long_name_for_its_status_line.txt", 1, 9);
  EXPECT_EQ(Seen(28).substr(Seen(28).find_last_not_of(' ') - 5, 6), "q quit") << Seen(28);
}

TEST_F(FileViewerTest, MarksOneBlockAndGroupAndPlotsThemReturningToTheSamePlace) {
  PlotRecorder plots(terminal);
  const TableLayout layout{
      .frozenRows = 1, .frozenColumns = 9, .blockCount = 8, .rowsPerGroup = 5, .plots = &plots};
  const unsigned char current = MakeAttribute(kBrightWhite, kCyan);
  // Right moves the mark with the view; Down one group; g plots; Left and Up
  // step in the plot; q goes back, q closes.
  terminal.Key(kKeyRight).Key(kKeyDown).Key('g').Key(kKeyLeft).Key(kKeyUp).Key('q').Key('q');
  EXPECT_TRUE(ViewFile(console, dir / "table.txt", layout));
  EXPECT_EQ(plots.asked, (std::vector<std::pair<int, int>>{{1, 1}, {0, 1}, {0, 0}}));
  EXPECT_EQ(terminal.shownWhenLastRead().Text(), plots.tableWhenAsked) << "the same place";
  const Screen& table = terminal.shownWhenLastRead();
  EXPECT_EQ(Seen(2).substr(0, 16), "Row6     |B02R6.") << "group 2 (rows 6-10) at the top";
  EXPECT_EQ(table.at(1, 10).attribute, current) << "the block's heading";
  EXPECT_EQ(table.at(2, 28).attribute, current);
  EXPECT_EQ(table.at(2, 29).attribute, MakeAttribute(kBrightWhite, kBlue)) << "next block";
  EXPECT_EQ(table.at(6, 1).attribute, current) << "the group's row label";
  EXPECT_NE(table.at(7, 10).attribute, current) << "the next group";
  EXPECT_NE(Seen(28).find("g plot"), std::string::npos);
}

}  // namespace
}  // namespace quillmore::console
