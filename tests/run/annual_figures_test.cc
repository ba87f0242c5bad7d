// A person's figure of annual doses, below the program: its file name and
// what its plot holds. The drawing's metadata are read back in
// tests/app/batch_e2e_test.cc.
#include "run/annual_figures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillmore::run {
namespace {

TEST(PersonFigureStems, MapsEveryOtherCharacterToUnderscoreAndNumbersNamesTakenBefore) {
  // "a b" and "a_b" meet; the third "a_b" skips "a_b_2", which a person's
  // own text took first; a UTF-8 character is one "_".
  EXPECT_EQ(
      PersonFigureStems({"W-001.x", "a b", "a_b_2", "a_b", "a/b", "Zo\xC3\xAB?", "a b"}),
      (std::vector<std::string>{"W-001.x_annual", "a_b_annual", "a_b_2_annual", "a_b_3_annual",
                                "a_b_4_annual", "Zo___annual", "a_b_5_annual"}));
}

TEST(CheckAnnualFigureRegions, EightLinesAFigureAndTheFaceWordsTheRest) {
  const ListWords words{"--ages", "--regions", "see --list-regions"};
  EXPECT_TRUE(CheckAnnualFigureRegions(8, words).ok());
  const base::Status nine = CheckAnnualFigureRegions(9, words);
  EXPECT_EQ(nine.code(), base::Status::Code::kInvalidArgument);
  EXPECT_NE(nine.message().find("with --regions"), std::string::npos) << nine.message();
}

TEST(BuildAnnualPlot, DotsThePastDataLeavesOutValuesAtOrBelowZeroAndMarksIntakesAndEnd) {
  input::IntakeRow row;
  row.start = *input::ParseDate("2000-07-02");  // day 183 of 366
  const integration::ResolvedIntake intake{&row, "Cs-137", {}};
  integration::PersonDoses person;
  person.person = "P";
  person.birthDate = *input::ParseDate("1980-01-01");
  person.intakes = {&intake};
  person.doses.Reset(2000, 5, 1);
  person.end = *input::ParseDate("2004-07-02");  // the last year counted to mid-year
  // Low LET: 2000 alone between nothing and a 0, then 2002 within the data
  // and 2003 and 2004 with a part from past the data. High LET: all 0.
  const double low[] = {1e-3, 0, 2e-4, 1e-4, 5e-5};
  for (int k = 0; k < 5; ++k) person.doses.low(2000 + k, 0) = low[k];
  for (const int year : {2003, 2004}) {
    person.doses.SetTails(year, 0, 1e-6, 0);
    person.doses.extrapolation(year, 0) = integration::Extrapolation::kBounded;
  }
  output::AnnualDoseColumns columns;
  columns.selectedRegions = {15};
  columns.regionNames.assign(30, "");
  columns.regionNames[14] = "Liver";

  const plot::Plot plot = BuildAnnualPlot(person, columns);
  ASSERT_EQ(plot.panels.size(), 2U);
  EXPECT_TRUE(plot.xYears);
  const plot::PlotSeries& lowSeries = plot.panels[0].series.at(0);
  EXPECT_EQ(lowSeries.label, "Liver");
  EXPECT_EQ(lowSeries.leftOut, 1);
  ASSERT_EQ(lowSeries.markers.size(), 1U);
  EXPECT_EQ(lowSeries.markers[0].x, 2000.5);
  EXPECT_TRUE(lowSeries.line.empty());
  ASSERT_EQ(lowSeries.dashedLine.size(), 3U);
  EXPECT_EQ(lowSeries.dashedLine[0].x, 2002.5);
  EXPECT_EQ(lowSeries.dashedLine[2].y, 5e-5);
  const plot::PlotSeries& highSeries = plot.panels[1].series.at(0);
  EXPECT_EQ(highSeries.leftOut, 5);
  EXPECT_TRUE(highSeries.line.empty() && highSeries.dashedLine.empty() &&
              highSeries.markers.empty());
  ASSERT_EQ(plot.marks.size(), 2U);
  EXPECT_EQ(plot.marks[0].at, std::vector<double>{2004.5});
  EXPECT_TRUE(plot.marks[0].line);
  EXPECT_EQ(plot.marks[1].at, std::vector<double>{2000.5});
  EXPECT_FALSE(plot.marks[1].line);
}

}  // namespace
}  // namespace quillmore::run
