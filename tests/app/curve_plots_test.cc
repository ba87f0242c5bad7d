#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/interactive_curve_plots.h"
#include "base/text.h"
#include "input/nuclide_name.h"
#include "support/nuclide_run_fixture.h"

namespace quillmore::app {
namespace {

using testing::Block;
using testing::BlockSpec;
using testing::NuclideRunTest;

// The plots read the blocks of the table's row groups again: each period's
// values are listed as the table prints them; a single point is only a point.
TEST_F(NuclideRunTest, PlotsFollowTheRowGroupsAndListTheTableValues) {
  const std::int32_t start = builder_.NextRecordNumber();
  builder_.AddBlock(Block("Cs-137", 3650, 'B'));
  BlockSpec single = Block("Cs-137", 3650, 'L', 'M');
  single.times = {5};
  single.rates.resize(1);
  builder_.AddBlock(single);
  builder_.AddBlock(Block("Cs-137", 100, 'B'));
  builder_.AddBlock(Block("Cs-137", 3650, 'L', 'S'));
  run_.selectedAges = {4};
  run_.integrationTimes = {1, 50, 101};  // 101: past the data, within its range
  ASSERT_TRUE(Run("cs-137", start).status.ok());
  const auto lines = FileLines("Cs-137_3650_H.TXT");
  ASSERT_EQ(lines.size(), 3U + 3 * 3);

  std::string name = "Cs-137";
  input::NormaliseNuclideName(name);
  FigureSaving saving{dir_ / "OUTPUT", "OUTPUT", {}};
  saving.options.formats = {plot::FigureFormat::kSvg, plot::FigureFormat::kPng};
  CurvePlots plots(file_, {name, 0, start}, name, run_, 0, saving);
  for (int group : {0, 2}) {
    const std::optional<plot::Plot> plot = plots.PlotFor(1, group);
    ASSERT_TRUE(plot.has_value());
    EXPECT_NE(plot->title.find("class " + std::string(group == 0 ? "F" : "S")), std::string::npos);
    ASSERT_EQ(plot->panels.size(), 2U);
    const std::vector<std::string>& legend = plot->panels[1].legend;
    ASSERT_EQ(legend.size(), 1U + 3 + 1) << "heading, periods, the one past the data";
    for (std::size_t k = 0; k < 3; ++k) {
      const std::string& row = lines[3 + static_cast<std::size_t>(group) * 3 + k];
      EXPECT_EQ(legend[1 + k],
                base::TrimBlanks(row.substr(9, 8) + row.substr(17 + 19, 19)) + (k == 2 ? "*" : ""));
    }
    EXPECT_EQ(plot->panels[0].series.size(), group == 0 ? 2U : 1U) << "the block's components";
  }
  const std::optional<plot::Plot> point = plots.PlotFor(0, 1);
  ASSERT_TRUE(point.has_value());
  ASSERT_EQ(point->panels.size(), 1U);
  ASSERT_EQ(point->panels[0].series.size(), 1U);
  EXPECT_EQ(point->panels[0].series[0].markers.size(), 1U);
  EXPECT_TRUE(point->panels[0].series[0].line.empty());
  EXPECT_NE(point->notes.back().find("not an integral"), std::string::npos);
  EXPECT_FALSE(plots.PlotFor(0, 3).has_value());
  EXPECT_FALSE(plots.PlotFor(2, 0).has_value());

  // `s` in the plot: named as the batch command names the figure.
  const std::string stem = "Cs-137_H_3650_f3_r" + std::to_string(run_.selectedRegions[1]);
  EXPECT_EQ(plots.SaveFigure(1, 2), "Saved OUTPUT/" + stem + ".svg and .png");
  EXPECT_TRUE(std::filesystem::exists(dir_ / "OUTPUT" / (stem + ".svg")));
  EXPECT_TRUE(std::filesystem::exists(dir_ / "OUTPUT" / (stem + ".png")));
  EXPECT_EQ(plots.SaveFigure(2, 0), "Nothing to save here.");
}

// Far past the data the continued piece turns: the plot sets that stretch
// apart in both panels, marks its period in the list and says why.
TEST_F(NuclideRunTest, PlotsSetApartWhatLeavesTheRangeOfTheData) {
  const std::int32_t start = builder_.NextRecordNumber();
  builder_.AddBlock(Block("Cs-137", 3650, 'L'));
  run_.selectedAges = {4};
  run_.integrationTimes = {50, 101, 100000};
  ASSERT_TRUE(Run("cs-137", start).status.ok());
  std::string name = "Cs-137";
  input::NormaliseNuclideName(name);
  FigureSaving saving{dir_ / "OUTPUT", "OUTPUT", {}};
  CurvePlots plots(file_, {name, 0, start}, name, run_, 0, saving);
  const std::optional<plot::Plot> plot = plots.PlotFor(0, 0);
  ASSERT_TRUE(plot.has_value());
  for (const plot::PlotPanel& panel : plot->panels) {
    ASSERT_EQ(panel.series.size(), 1U);
    ASSERT_FALSE(panel.series[0].unboundedLines.empty()) << panel.title;
    EXPECT_GT(panel.series[0].unboundedLines[0].front().x, 100);
  }
  const std::vector<std::string>& legend = plot->panels[1].legend;
  ASSERT_EQ(legend.size(), 1U + 3 + 2) << "heading, periods, what * and ! mean";
  EXPECT_EQ(legend[2].back(), '*');
  EXPECT_EQ(legend[3].back(), '!');
  EXPECT_EQ(legend.back(), "! cannot be trusted");
  EXPECT_EQ(plot->notes.back().rfind("Past 100 d the extended curve leaves the range of its data: "
                                     "its doses from about ",
                                     0),
            0U)
      << plot->notes.back();
}

}  // namespace
}  // namespace quillmore::app
