#include "input/data_check.h"

#include <gtest/gtest.h>

#include <map>

#include "support/data_builder.h"
#include "support/temp_dir.h"

namespace quillmore::input {
namespace {

using testing::BlockSpec;
using testing::DoseRateFileBuilder;
using testing::IndexFileBytes;
using testing::IndexRow;
using testing::ScaledRates;

BlockSpec Block(const std::string& name, std::int32_t ageDays, char let,
                std::vector<double> times) {
  BlockSpec block;
  block.name = name;
  block.ageDays = ageDays;
  block.letLetter = let;
  block.times = times;
  for (std::size_t i = 0; i < times.size(); ++i) {
    block.rates.push_back(ScaledRates(1e-9 * static_cast<double>(i + 1)));
    block.highRates.push_back(ScaledRates(1e-8 * static_cast<double>(i + 1)));
  }
  return block;
}

// Writes a data folder with Am-241 ("B") and H-3 ("L") in both files; `edit`
// may change the blocks before they are written.
class DataCheckTest : public ::testing::Test {
 protected:
  std::vector<DataProblem> Check(const std::vector<BlockSpec>& inhalation,
                                 std::vector<IndexRow> rows = {}) {
    DoseRateFileBuilder inh(DataKind::kInhalation);
    DoseRateFileBuilder ing(DataKind::kIngestion);
    std::map<std::string, std::int32_t> inhStart;
    std::map<std::string, std::int32_t> ingStart;
    for (const BlockSpec& block : inhalation) {
      const std::int32_t record = inh.AddBlock(block);
      inhStart.emplace(block.name, record);
      ingStart.emplace(block.name, ing.AddBlock(block));
    }
    if (rows.empty()) {
      for (const auto& [name, record] : inhStart) rows.push_back({name, ingStart[name], record});
    }
    inh.WriteTo(dir_ / "TQV27INH2.DRT");
    ing.WriteTo(dir_ / "TQV27ING2.DRT");
    testing::WriteFile(dir_ / "DoseInd.NDX", IndexFileBytes(rows));
    return CheckDataSet(dir_.path());
  }

  static std::string Describe(const std::vector<DataProblem>& problems) {
    std::string text;
    for (const auto& p : problems)
      text += p.file + ":" + std::to_string(p.record) + ": " + p.message + "\n";
    return text;
  }

  testing::TempDir dir_;
};

TEST_F(DataCheckTest, CleanDataSetHasNoProblems) {
  const auto problems =
      Check({Block("Am-241", 100, 'B', {1, 2, 3}), Block("Am-241", 7300, 'B', {1, 2}),
             Block("H-3", 100, 'L', {0.5, 10}), Block("H-3", 9125, 'L', {1})});
  EXPECT_TRUE(problems.empty()) << Describe(problems);
}

TEST_F(DataCheckTest, ReportsBrokenBlocksWithRecordNumbers) {
  BlockSpec mismatched = Block("H-3", 365, 'L', {1, 2});
  mismatched.recordsPerPoint = 2;
  BlockSpec tooMany = Block("H-3", 1825, 'L', {1, 2});
  tooMany.timePointCount = 151;
  const auto problems = Check(
      {Block("Am-241", 100, 'B', {1, 3, 2}), Block("H-3", 7299, 'L', {1, 2}), mismatched, tooMany});
  const std::string text = Describe(problems);
  EXPECT_NE(text.find("TQV27INH2.DRT:9: time points not strictly increasing"), std::string::npos)
      << text;
  EXPECT_NE(text.find("TQV27INH2.DRT:10: age 7299 d belongs to no age group"), std::string::npos)
      << text;
  EXPECT_NE(text.find("TQV27INH2.DRT:13: LET letter \"L\" disagrees with 2 records per point"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("TQV27INH2.DRT:16: time-point count 151 outside 0..150"), std::string::npos)
      << text;
}

TEST_F(DataCheckTest, ReportsIndexProblems) {
  const auto problems = Check(
      {Block("Am-241", 100, 'L', {1}), Block("H-3", 100, 'L', {1}), Block("Am-241", 365, 'L', {1})},
      {{"H-3", 5, 5}, {"Am-241", 3, 4}, {"Am-241", 0, 3}});
  const std::string text = Describe(problems);
  EXPECT_NE(text.find("TQV27INH2.DRT:7: blocks of \"Am-241 \" are not contiguous"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("DoseInd.NDX:4: \"Am-241 \" is out of order"), std::string::npos) << text;
  EXPECT_NE(text.find("DoseInd.NDX:5: \"Am-241 \" is listed twice"), std::string::npos) << text;
  EXPECT_NE(text.find("DoseInd.NDX:4: start record 4 in TQV27INH2.DRT is not the first block"),
            std::string::npos)
      << text;
  EXPECT_NE(
      text.find(
          "DoseInd.NDX:5: \"Am-241 \" has blocks in TQV27ING2.DRT from record 3 but no start"),
      std::string::npos)
      << text;
}

TEST_F(DataCheckTest, ReportsMissingFilesAndBadRecordLengths) {
  Check({Block("H-3", 100, 'L', {1})});
  std::filesystem::remove(dir_ / "TQV27ING2.DRT");
  testing::WriteFile(dir_ / "DoseInd.NDX", testing::ReadFile(dir_ / "DoseInd.NDX") + "x");
  const std::string text = Describe(CheckDataSet(dir_.path()));
  EXPECT_NE(text.find("TQV27ING2.DRT:0: "), std::string::npos) << text;
  EXPECT_NE(text.find("DoseInd.NDX:4: file size 76 is not a whole number of 25-byte records"),
            std::string::npos)
      << text;
}

}  // namespace
}  // namespace quillmore::input
