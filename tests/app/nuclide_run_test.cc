#include "app/nuclide_run.h"

#include <gtest/gtest.h>

#include <sstream>

#include "input/data_index.h"
#include "input/nuclide_name.h"
#include "support/data_builder.h"
#include "support/temp_dir.h"

namespace quillmore::app {
namespace {

using input::DataKind;
using testing::BlockSpec;
using testing::DoseRateFileBuilder;
using testing::ScaledRates;

BlockSpec Block(const std::string& name, std::int32_t ageDays, char let, char classCode = 'F') {
  BlockSpec block;
  block.name = name;
  block.ageDays = ageDays;
  block.letLetter = let;
  block.classCode = classCode;
  block.times = {1, 10, 100};
  for (double scale : {1e-9, 5e-10, 1e-10}) {
    block.rates.push_back(ScaledRates(scale));
    block.highRates.push_back(ScaledRates(scale * 20));
  }
  return block;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

class NuclideRunTest : public ::testing::Test {
 protected:
  NuclideRunTest() : builder_(DataKind::kInhalation) {
    for (int k = 1; k <= 29; ++k) run_.regionNames.push_back("R" + std::to_string(k));
    run_.regionNames.push_back("Lung");
    run_.selectedRegions = {1, 30};
    run_.integrationTimes = {1, 50};
  }

  // Writes the file and runs `name` starting at `start`.
  NuclideResult Run(const std::string& typed, std::int32_t start) {
    builder_.WriteTo(dir_ / "TQV27INH2.DRT");
    EXPECT_TRUE(file_.Open(dir_ / "TQV27INH2.DRT").ok());
    std::string name = typed;
    input::NormaliseNuclideName(name);
    input::IndexEntry entry{name, 0, start};
    return WriteNuclideTables(file_, entry, name, run_, dir_ / "OUTPUT", workspace_);
  }

  std::vector<std::string> FileLines(const std::string& fileName) {
    return Lines(testing::ReadFile(dir_ / "OUTPUT" / fileName));
  }

  testing::TempDir dir_;
  DoseRateFileBuilder builder_;
  RunSelection run_;
  input::DoseRateFile file_;
  NuclideWorkspace workspace_;
};

TEST_F(NuclideRunTest, FormsAreCountedOnTheFirstSelectedGroup) {
  builder_.AddBlock(Block("C-14", 100, 'L'));
  const std::int32_t start = builder_.NextRecordNumber();
  for (char form = '1'; form <= '6'; ++form) {
    for (std::int32_t age : {100, 1825, 7300}) builder_.AddBlock(Block("H-3", age, 'L', form));
  }
  builder_.AddBlock(Block("I-131", 100, 'L'));
  run_.selectedAges = {3, 6};
  const NuclideResult result = Run("h-3", start);
  ASSERT_TRUE(result.status.ok()) << result.status.message();
  ASSERT_EQ(result.files.size(), 2U);
  EXPECT_EQ(result.files[0].filename(), "H-3_1825_H.TXT");
  EXPECT_EQ(result.files[1].filename(), "H-3_7300_H.TXT");
  for (const char* fileName : {"H-3_1825_H.TXT", "H-3_7300_H.TXT"}) {
    const auto lines = FileLines(fileName);
    ASSERT_EQ(lines.size(), 3U + 6 * 2) << fileName;
    for (int form = 1; form <= 6; ++form) {
      const std::string& first = lines[static_cast<std::size_t>(3 + 2 * (form - 1))];
      EXPECT_EQ(first.substr(0, 9), "H-3    " + std::to_string(form) + " ");
      const char* labels[] = {" ", " ", " ", " (Water Vapor)", " (Elemental)", " (Organic)"};
      EXPECT_EQ(first.substr(9 + 8 + 2 * 19), labels[form - 1]) << fileName << " form " << form;
    }
  }
}

TEST_F(NuclideRunTest, AdultTakesOlderBlocksAndSkipsFollowTheLetLetter) {
  const std::int32_t start = builder_.NextRecordNumber();
  builder_.AddBlock(Block("Am-241", 3650, 'B', 'M'));
  builder_.AddBlock(Block("Am-241", 7299, 'H', 'M'));
  builder_.AddBlock(Block("Am-241", 9125, 'B', 'S'));
  builder_.AddBlock(Block("Am-241", 100, 'B', 'F'));  // skipped: 2N records
  builder_.AddBlock(Block("Am-241", 7300, 'L', 'V'));
  run_.selectedAges = {6};
  const NuclideResult result = Run("am-241", start);
  ASSERT_TRUE(result.status.ok());
  const auto lines = FileLines("Am-241_7300_H.TXT");
  ASSERT_EQ(lines.size(), 3U + 2 * 2);
  EXPECT_EQ(lines[0], "Inhalation Absorbed Dose Coefficients (Gy/Bq) For Adult   ");
  EXPECT_EQ(lines[3].substr(0, 8), "Am-241 S");
  EXPECT_EQ(lines[5].substr(0, 8), "Am-241 V");
}

TEST_F(NuclideRunTest, EndsOnTheEndOfTheFile) {
  builder_.AddBlock(Block("Ba-140", 100, 'L'));
  const std::int32_t start = builder_.NextRecordNumber();
  builder_.AddBlock(Block("Zr-95", 100, 'L'));
  builder_.AddBlock(Block("Zr-95", 365, 'B'));
  run_.selectedAges = {1, 2};
  const NuclideResult result = Run("ZR-95", start);
  ASSERT_TRUE(result.status.ok());
  EXPECT_EQ(FileLines("Zr-95_100_H.TXT").size(), 5U);
  EXPECT_EQ(FileLines("Zr-95_365_H.TXT").size(), 5U);
}

TEST_F(NuclideRunTest, InvalidBlockIsReportedSkippedAndTheWalkGoesOn) {
  const std::int32_t start = builder_.NextRecordNumber();
  BlockSpec broken = Block("Cs-137", 100, 'L');
  broken.times = {1, 10, 5};
  builder_.AddBlock(broken);
  builder_.AddBlock(Block("Cs-137", 365, 'L'));
  run_.selectedAges = {1, 2};
  const NuclideResult result = Run("cs-137", start);
  ASSERT_TRUE(result.status.ok());
  ASSERT_EQ(result.warnings.size(), 1U);
  EXPECT_EQ(result.warnings[0].nuclide, "Cs-137");
  EXPECT_EQ(result.warnings[0].ageDays, 100);
  EXPECT_EQ(result.warnings[0].record, start);
  EXPECT_FALSE(result.warnings[0].reason.empty());
  EXPECT_EQ(FileLines("Cs-137_100_H.TXT").size(), 3U) << "no row group for the invalid block";
  EXPECT_EQ(FileLines("Cs-137_365_H.TXT").size(), 5U);
}

TEST_F(NuclideRunTest, StartRecordsOutsideTheFile) {
  builder_.AddBlock(Block("Co-60", 100, 'L'));
  run_.selectedAges = {1};
  NuclideResult none = Run("co-60", 0);
  EXPECT_TRUE(none.status.ok());
  EXPECT_EQ(FileLines("Co-60_100_H.TXT").size(), 3U) << "headers only";
  for (std::int32_t start : {2, 7, -1}) {
    file_ = input::DoseRateFile();
    const NuclideResult bad = Run("co-60", start);
    EXPECT_EQ(bad.status.code(), base::Status::Code::kCorruption) << start;
    EXPECT_NE(bad.status.message().find("TQV27INH2.DRT"), std::string::npos);
  }
}

}  // namespace
}  // namespace quillmore::app
