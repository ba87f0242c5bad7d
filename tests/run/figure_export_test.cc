// The comparison figures of the batch command, below the program: which
// curves each figure holds, what it is called and what it says. The drawings
// themselves are read back in tests/app/figures.
#include "run/figure_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "run/curve_plot.h"
#include "run/nuclide_curves.h"
#include "support/nuclide_run_fixture.h"

namespace quillmore::run {
namespace {

namespace fs = std::filesystem;
using testing::Block;
using testing::BlockSpec;

class FigureExportTest : public testing::NuclideRunTest {
 protected:
  FigureExportTest() {
    options_.formats = {plot::FigureFormat::kSvg};
    run_.selectedRegions = {30};
    fs::create_directories(dir_ / "FIG");
  }

  void Open() {
    builder_.WriteTo(dir_ / "TQV27INH2.DRT");
    ASSERT_TRUE(file_.Open(dir_ / "TQV27INH2.DRT").ok());
  }

  static NamedNuclide Named(std::string name, std::int32_t start) {
    input::NormaliseNuclideName(name);
    return {{name, 0, start}, name};
  }

  base::Status Figures(const NamedNuclide& nuclide, Comparison compare) {
    options_.compare = compare;
    return WriteNuclideFigures(file_, nuclide.entry, nuclide.name, run_, options_, dir_ / "FIG",
                               nullptr);
  }

  // The figure files written so far, by name; each call empties the folder.
  std::vector<std::string> TakeWritten() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_ / "FIG"))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) metadata_[name] = testing::ReadFile(dir_ / "FIG" / name);
    fs::remove_all(dir_ / "FIG");
    fs::create_directories(dir_ / "FIG");
    return names;
  }

  // From a taken figure's metadata: the value of each `attribute` in turn, empty ones left out.
  std::vector<std::string> Attributes(const std::string& name, const std::string& attribute) {
    const std::string& text = metadata_[name];
    std::vector<std::string> values;
    const std::string opening = " " + attribute + "=\"";
    for (std::size_t at = text.find(opening); at != std::string::npos;
         at = text.find(opening, at + 1)) {
      const std::size_t begin = at + opening.size();
      const std::string value = text.substr(begin, text.find('"', begin) - begin);
      if (!value.empty()) values.push_back(value);
    }
    return values;
  }
  std::vector<std::string> Labels(const std::string& name) { return Attributes(name, "label"); }

  FigureOptions options_;
  std::map<std::string, std::string> metadata_;
};

using Names = std::vector<std::string>;

// Each age group's figure holds its own table's forms, and its title names
// the age group; an age comparison is named by row group counting from 1.
TEST_F(FigureExportTest, FormsAreComparedPerAgeGroupAndAgesPerRowGroup) {
  const std::int32_t start = builder_.NextRecordNumber();
  for (const char form : {'F', 'M', 'S'}) {
    builder_.AddBlock(Block("Cs-137", 100, 'L', form));
    builder_.AddBlock(Block("Cs-137", 7300, 'H', form));
  }
  run_.selectedAges = {1, 6};
  Open();
  const NamedNuclide cs = Named("Cs-137", start);

  ASSERT_TRUE(Figures(cs, Comparison::kForms).ok());
  EXPECT_EQ(TakeWritten(), (Names{"Cs-137_H_100_forms_r30.svg", "Cs-137_H_7300_forms_r30.svg"}));
  EXPECT_EQ(Labels("Cs-137_H_7300_forms_r30.svg"),
            (Names{"class F, high LET", "class M, high LET", "class S, high LET"}));
  EXPECT_EQ(Attributes("Cs-137_H_7300_forms_r30.svg", "title")[0],
            "Cs-137  inhalation  Adult  Lung");
  EXPECT_EQ(Labels("Cs-137_H_100_forms_r30.svg"),
            (Names{"class F, low LET", "class M, low LET", "class S, low LET"}));

  ASSERT_TRUE(Figures(cs, Comparison::kAges).ok());
  EXPECT_EQ(TakeWritten(), (Names{"Cs-137_H_ages_f1_r30.svg", "Cs-137_H_ages_f2_r30.svg",
                                  "Cs-137_H_ages_f3_r30.svg"}));
  EXPECT_EQ(Labels("Cs-137_H_ages_f2_r30.svg"), (Names{"Infant, low LET", "Adult, high LET"}));
}

// A figure holds eight curves, here four blocks of both components; a ninth
// is refused before anything is drawn, pointing to the face's age list.
TEST_F(FigureExportTest, EightCurvesAreDrawnAndNineRefused) {
  const std::int32_t eight = builder_.NextRecordNumber();
  for (const char form : {'F', 'M', 'S', 'V'}) builder_.AddBlock(Block("Am-241", 7300, 'B', form));
  const std::int32_t nine = builder_.NextRecordNumber();
  for (const char form : {'F', 'M', 'S', 'V'}) builder_.AddBlock(Block("Cm-244", 7300, 'B', form));
  builder_.AddBlock(Block("Cm-244", 7300, 'L', 'F'));
  run_.selectedAges = {6};
  Open();

  ASSERT_TRUE(Figures(Named("Am-241", eight), Comparison::kForms).ok());
  ASSERT_EQ(TakeWritten(), Names{"Am-241_H_7300_forms_r30.svg"});
  EXPECT_EQ(Labels("Am-241_H_7300_forms_r30.svg").size(), 8U);
  options_.words.ages = "ages=";
  const base::Status refused = Figures(Named("Cm-244", nine), Comparison::kForms);
  EXPECT_EQ(refused.code(), base::Status::Code::kInvalidArgument);
  EXPECT_EQ(refused.message(),
            "Cm-244_H_7300_forms_r30 would hold 9 curves; a figure holds at most 8 (select "
            "fewer with ages=, or compare otherwise)");
  EXPECT_TRUE(TakeWritten().empty());
}

// --form N takes each nuclide that has an N-th row group, the last one too.
TEST_F(FigureExportTest, ANuclideWithExactlyTheFormAsksForItIsCompared) {
  const std::int32_t two = builder_.NextRecordNumber();
  builder_.AddBlock(Block("Am-241", 7300, 'L', 'F'));
  builder_.AddBlock(Block("Am-241", 7300, 'L', 'M'));
  const std::int32_t one = builder_.NextRecordNumber();
  builder_.AddBlock(Block("Cs-137", 7300, 'L', 'F'));
  run_.selectedAges = {6};
  Open();
  options_.compare = Comparison::kNuclides;
  options_.form = 2;
  ASSERT_TRUE(WriteNuclidesComparison(file_, {Named("Am-241", two), Named("Cs-137", one)}, run_,
                                      options_, dir_ / "FIG", nullptr)
                  .ok());
  ASSERT_EQ(TakeWritten(), Names{"nuclides_H_7300_f2_r30.svg"});
  EXPECT_EQ(Labels("nuclides_H_7300_f2_r30.svg"), Names{"Am-241 class M, low LET"});
}

// The note on curves past the range of their data holds for the figure as a
// whole, whichever of its curves leaves it.
TEST_F(FigureExportTest, ComparisonNotesACurveLeavingItsDataWhereverItIs) {
  const std::int32_t start = builder_.NextRecordNumber();
  builder_.AddBlock(Block("Cs-137", 7300, 'L', 'F'));  // to 100 d: leaves its data by 100000 d
  BlockSpec longer = Block("Cs-137", 7300, 'L', 'M');
  longer.times = {1, 1000, 200000};  // tabulated past every period
  builder_.AddBlock(longer);
  run_.selectedAges = {6};
  run_.integrationTimes = {50, 100000};
  Open();
  const NuclideCurves curves = ReadNuclideCurves(file_, Named("Cs-137", start).entry, run_);
  ASSERT_TRUE(curves.status.ok());
  ASSERT_EQ(curves.blocks.size(), 2U);
  const auto noted = [this](const std::vector<ComparedCurve>& compared) {
    const plot::Plot plot = BuildComparisonPlot(compared, run_, "t");
    return std::any_of(plot.notes.begin(), plot.notes.end(), [](const std::string& note) {
      return note.find("leave the range of their data") != std::string::npos;
    });
  };
  const BlockCurves& shorter = curves.blocks[0];
  EXPECT_TRUE(noted({{&shorter, 0, "F"}, {&curves.blocks[1], 0, "M"}}));
  EXPECT_FALSE(noted({{&curves.blocks[1], 0, "M"}}));
}

}  // namespace
}  // namespace quillmore::run
