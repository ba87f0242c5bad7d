#include "app/interactive_selection.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "console/headless_terminal.h"
#include "support/data_builder.h"
#include "support/list_box_keys.h"
#include "support/temp_dir.h"

namespace quillmore::app {
namespace {

constexpr int kEnter = 13;
constexpr int kEscape = 27;

std::vector<int> Range(int first, int last) {
  std::vector<int> numbers;
  for (int n = first; n <= last; ++n) numbers.push_back(n);
  return numbers;
}

class SelectionTest : public ::testing::Test {
 protected:
  SelectionTest() {
    std::array<std::string, input::kRegionColumnCount> headings;
    for (std::size_t i = 0; i < headings.size(); ++i)
      headings[i] = "Organ " + std::to_string(i + 1);
    headings[4] = " A|B";
    headings[28] = " Other|Tis";
    testing::DoseRateFileBuilder builder(input::DataKind::kInhalation);
    builder.Headings(headings);
    builder.WriteTo(dir / "TQV27INH2.DRT");
    EXPECT_TRUE(file.Open(dir / "TQV27INH2.DRT").ok());
    console.SetColor(console::kBrightWhite, console::kBlue);
    console.ClearScreen();
  }
  void Mark(const std::vector<int>& numbers) { testing::MarkEntries(terminal, numbers); }
  std::string Row(int row) const {
    std::string text = terminal.shown().RowText(row);
    return text.erase(text.find_last_not_of(' ') + 1);
  }

  testing::TempDir dir;
  input::DoseRateFile file;
  console::HeadlessTerminal terminal;
  console::Console console{terminal};
};

TEST_F(SelectionTest, InfantAndTenYearOldWithLungAlone) {
  Mark({1, 4});
  Mark({30});
  input::Selection selection;
  SelectAgesAndRegions(console, file, selection);
  EXPECT_EQ(selection.selectedAges, (std::vector<int>{1, 4}));
  EXPECT_EQ(selection.selectedRegions, (std::vector<int>{30}));
  EXPECT_EQ(Row(1), " # Ages selected: 2");
  EXPECT_EQ(Row(2), "");
  EXPECT_EQ(Row(3), " # Organs/Tissues selected: 1");
  EXPECT_EQ(terminal.shown().row(), 4);
  EXPECT_EQ(terminal.shown().column(), 1);

  // Region names: trimmed headings; only the 29th loses its bar; then Lung.
  ASSERT_EQ(selection.regionNames.size(), 30u);
  EXPECT_EQ(selection.regionNames[0], "Organ 1");
  EXPECT_EQ(selection.regionNames[4], "A|B");
  EXPECT_EQ(selection.regionNames[28], "Other Tis");
  EXPECT_EQ(selection.regionNames[29], "Lung");
  // The region box as the user last saw it.
  const std::string box = terminal.shownWhenLastRead().Text();
  EXPECT_NE(box.find(" Select Target Regions"), std::string::npos);
  EXPECT_NE(box.find("[ ] Other Tis "), std::string::npos);
  EXPECT_NE(box.find("[x] Lung "), std::string::npos);
}

TEST_F(SelectionTest, AllEntriesWinOverWhatIsChosenWithThem) {
  Mark({2, 7});
  Mark({1, 31});
  input::Selection selection;
  SelectAgesAndRegions(console, file, selection);
  EXPECT_EQ(selection.selectedAges, Range(1, 6));
  EXPECT_EQ(selection.selectedRegions, Range(1, 30));
  EXPECT_EQ(Row(1), " # Ages selected: 6");
  EXPECT_EQ(Row(3), " # Organs/Tissues selected: 30");
}

TEST_F(SelectionTest, ClosedAgeBoxEndsWithoutTheRegionBox) {
  terminal.Key(kEscape).Key(kEnter);
  input::Selection selection;
  SelectAgesAndRegions(console, file, selection);
  EXPECT_TRUE(selection.selectedAges.empty());
  EXPECT_TRUE(selection.selectedRegions.empty());
  EXPECT_EQ(terminal.unreadCount(), 1u);
  EXPECT_EQ(terminal.shown().Text(), console::Screen().Text());
  EXPECT_EQ(terminal.shown().row(), 1);
}

TEST_F(SelectionTest, ClosedRegionBoxPrintsTheEmptyResult) {
  Mark({3});
  terminal.Key(console::kKeyDown).Key(' ').Key(kEscape);
  input::Selection selection;
  SelectAgesAndRegions(console, file, selection);
  EXPECT_EQ(selection.selectedAges, (std::vector<int>{3}));
  EXPECT_TRUE(selection.selectedRegions.empty());
  EXPECT_EQ(Row(1), " # Ages selected: 1");
  EXPECT_EQ(Row(2), "");
  EXPECT_EQ(Row(3), "Result$ =");
  EXPECT_EQ(terminal.shown().row(), 4);
  EXPECT_EQ(terminal.shown().column(), 1);
}

}  // namespace
}  // namespace quillmore::app
