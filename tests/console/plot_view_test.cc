#include "console/plot_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "console/headless_terminal.h"
#include "console/plot_drawing.h"

namespace quillmore::console {
namespace {

using plot::Plot;
using plot::PlotSeries;

// Markers of a power law y = 3e-9 x^-1.5 at four points a decade, 1 to 1e4 d.
Plot PowerLaw() {
  PlotSeries series;
  series.style = 0;  // bright cyan
  for (int k = 0; k <= 16; ++k) {
    const double x = std::pow(10.0, k / 4.0);
    series.markers.push_back({x, 3e-9 * std::pow(x, -1.5)});
    series.line.push_back(series.markers.back());
  }
  return {"power law", "time (d)", {{"Rate (Gy/Bq per day)", {series}, {}}}, {}};
}

std::vector<std::pair<int, int>> MarkerCells(const Screen& screen) {
  std::vector<std::pair<int, int>> cells;
  for (int r = 1; r <= screen.rows(); ++r)
    for (int c = 1; c <= screen.columns(); ++c)
      if (screen.at(r, c).byte == 'o' && screen.at(r, c).attribute == MakeAttribute(11, kBlack))
        cells.push_back({r, c});
  return cells;
}

bool Shows(const Screen& screen, const std::string& text) {
  return screen.Text().find(text) != std::string::npos;
}

// Points of a power law lie on one straight line on log-log axes: every
// marker within one cell of the line through the first and the last.
TEST(DrawPlotTest, PowerLawMarkersLieOnOneStraightLine) {
  for (const auto& [rows, columns, unicode] :
       std::vector<std::tuple<int, int, bool>>{{28, 80, false}, {45, 160, true}, {30, 100, true}}) {
    Screen screen(rows, columns);
    DrawPlot(PowerLaw(), screen, unicode);
    const auto cells = MarkerCells(screen);
    ASSERT_EQ(cells.size(), 17u) << columns;
    const auto [r0, c0] = cells.front();  // top left: the largest rate first
    const auto [r1, c1] = cells.back();
    ASSERT_GT(r1, r0 + 5);
    for (const auto& [r, c] : cells) {
      const double onLine = r0 + static_cast<double>(c - c0) * (r1 - r0) / (c1 - c0);
      EXPECT_LE(std::abs(r - onLine), 1.0) << columns << ": marker at " << r << "," << c;
    }
    bool braille = false;
    for (int r = 1; r <= rows; ++r)
      for (int c = 1; c <= columns; ++c)
        braille = braille || (screen.at(r, c).glyph >= 0x2800 && screen.at(r, c).glyph <= 0x28FF);
    EXPECT_EQ(braille, unicode) << "Braille only where the locale shows it";
  }
}

TEST(DrawPlotTest, AxesCarryDecadesAndUnitsAndSayWhatIsLeftOut) {
  Plot plot = PowerLaw();
  plot.panels[0].series[0].markers.push_back({1e5, 0});
  plot.panels[0].series[0].markers.push_back({2e5, -1e-12});
  plot.panels[0].series[0].markers.push_back({3e5, HUGE_VAL});  // no decade: passed over
  plot.panels[0].series[0].label = "LET 1";
  plot.panels[0].series[0].dashedLine = {{1e4, 3e-15}, {1e5, 1e-16}};
  Screen screen(28, 80);
  DrawPlot(plot, screen, false);
  EXPECT_TRUE(Shows(screen, "Rate (Gy/Bq per day)"));
  EXPECT_TRUE(Shows(screen, "time (d)"));
  EXPECT_TRUE(Shows(screen, "1E-09")) << screen.Text();
  EXPECT_TRUE(Shows(screen, "1E-15"));
  EXPECT_TRUE(Shows(screen, "1E+00"));
  EXPECT_TRUE(Shows(screen, "o LET 1"));
  EXPECT_TRUE(Shows(screen, "dotted: extrapolated"));
  EXPECT_TRUE(Shows(screen, "Rate: 2 values <= 0 left out")) << screen.Text();
  EXPECT_EQ(MarkerCells(screen).size(), 17u + 1) << "the legend's marker, none at the floor";
}

// A stretch that cannot be trusted is marked cell by cell in its series'
// colour and named in the legend; a plot without one shows neither.
TEST(DrawPlotTest, UnboundedStretchesAreMarkedApartAndNamed) {
  Plot plot = PowerLaw();
  plot.panels[0].series[0].dashedLine = {{1e4, 3e-15}, {1e5, 1e-13}};
  const auto marks = [](const Screen& screen) {
    int count = 0;
    for (int r = 1; r <= screen.rows(); ++r)
      for (int c = 1; c <= screen.columns(); ++c)
        count +=
            screen.at(r, c).byte == '!' && screen.at(r, c).attribute == MakeAttribute(11, kBlack);
    return count;
  };
  Screen plain(28, 80);
  DrawPlot(plot, plain, true);
  EXPECT_EQ(marks(plain), 0);
  EXPECT_FALSE(Shows(plain, "past the data's range"));
  plot.panels[0].series[0].unboundedLines = {plot.panels[0].series[0].dashedLine};
  Screen marked(28, 80);
  DrawPlot(plot, marked, true);
  EXPECT_GT(marks(marked), 5) << marked.Text();
  EXPECT_TRUE(Shows(marked, "!: past the data's range"));
}

class RecordingSource : public PlotSource {
 public:
  std::optional<Plot> PlotFor(int region, int group) override {
    asked.push_back({region, group});
    if (group == 1) return std::nullopt;
    return PowerLaw();
  }
  std::string SaveFigure(int region, int group) override {
    return "Saved region " + std::to_string(region) + " group " + std::to_string(group);
  }
  std::vector<std::pair<int, int>> asked;
};

TEST(ShowPlotsTest, ArrowsStepThroughRegionsAndGroupsAndResizeRedraws) {
  HeadlessTerminal terminal;
  Console console(terminal);
  RecordingSource source;
  terminal.Key(kKeyRight).Key(kKeyRight).Key(kKeyRight).Key(kKeyDown).Key(kKeyLeft);
  terminal.Resize(45, 160).Key(kKeyUp).Key(27);
  ShowPlots(console, source, 0, 3, 0, 2);
  EXPECT_EQ(source.asked, (std::vector<std::pair<int, int>>{
                              {0, 0}, {1, 0}, {2, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 1}, {1, 0}}));
  EXPECT_EQ(terminal.shown().columns(), 160);
  EXPECT_TRUE(Shows(terminal.shown(), "q back to the table"));
  EXPECT_TRUE(Shows(terminal.shownWhenLastRead(), "power law"));
  EXPECT_EQ(terminal.unreadCount(), 0u);

  terminal.Key('s').Key(27);
  ShowPlots(console, source, 1, 3, 0, 2);
  EXPECT_TRUE(Shows(terminal.shownWhenLastRead(), "Saved region 1 group 0"))
      << "s says on the status line where it saved";
}

}  // namespace
}  // namespace quillmore::console
