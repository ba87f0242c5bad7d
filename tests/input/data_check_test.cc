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
  std::vector<Fault> Check(const std::vector<BlockSpec>& inhalation,
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
    if (!std::filesystem::exists(dir_ / "Quillmore.ini"))
      testing::WriteFile(dir_ / "Quillmore.ini", "START\r\n1\r\nEND\r\n");
    return CheckDataSet(dir_.path(), dir_ / "Quillmore.ini");
  }

  static std::string Describe(const std::vector<Fault>& problems) {
    std::string text;
    for (const auto& p : problems) {
      text += p.file + ":" + std::to_string(p.line) + ": " + (p.note ? "note: " : "") + p.message +
              "\n";
    }
    return text;
  }

  testing::TempDir dir_;
};

// A nuclide's blocks for all six age groups (the adult one at 9125 d).
std::vector<BlockSpec> AllAges(const std::string& name, char let, std::vector<double> times) {
  std::vector<BlockSpec> blocks;
  for (std::int32_t age : {100, 365, 1825, 3650, 5475, 9125}) {
    blocks.push_back(Block(name, age, let, times));
  }
  return blocks;
}

TEST_F(DataCheckTest, CleanDataSetHasOnlyNotes) {
  std::vector<BlockSpec> blocks = AllAges("Am-241", 'B', {1, 2, 3});
  for (BlockSpec& block : AllAges("H-3", 'L', {0.5, 10})) blocks.push_back(block);
  blocks[11].times = {1};
  blocks[11].rates.resize(1);
  EXPECT_EQ(Describe(Check(blocks)),
            "TQV27INH2.DRT:45: note: H-3: 1 block holds one time point; its rows give the "
            "tabulated rate (Gy/Bq per day), not an integral\n"
            "TQV27ING2.DRT:45: note: H-3: 1 block holds one time point; its rows give the "
            "tabulated rate (Gy/Bq per day), not an integral\n");
}

TEST_F(DataCheckTest, ReportsWhatTheProgramsWouldTripOnOrNote) {
  std::vector<BlockSpec> blocks = AllAges("Am-241", 'B', {1, 2, 3});
  blocks.pop_back();
  testing::WriteFile(dir_ / "Quillmore.ini", "START\r\n1\r\n30\r\n365\r\nEND\r\n");
  const std::string text = Describe(Check(blocks, {{"Am-241", 3, 3}, {"H-3", 0, 0}}));
  EXPECT_EQ(text,
            "TQV27INH2.DRT:3: \"Am-241 \" has no block for Adult: those tables would hold "
            "headers only\n"
            "TQV27ING2.DRT:3: \"Am-241 \" has no block for Adult: those tables would hold "
            "headers only\n"
            "DoseInd.NDX:4: \"H-3    \" has no data in either dose-rate file\n"
            "TQV27INH2.DRT:3: note: Am-241: periods 30, 365 d lie past the last tabulated time "
            "of some blocks (earliest 3 d); their curves are extended\n"
            "TQV27ING2.DRT:3: note: Am-241: periods 30, 365 d lie past the last tabulated time "
            "of some blocks (earliest 3 d); their curves are extended\n");

  // A nuclide in one file only is a note; the times file as the programs read it.
  const std::vector<std::pair<std::string, std::string>> timesFiles = {
      {"START\nEND\n", "Quillmore.ini:0: holds no integration times between START and END"},
      {"START\r\n1\r\n-5\r\nEND\r\n", "Quillmore.ini:3: \"-5\" is a negative time"},
      {"x\r\nSTART\r\n\r\nabc\r\nEND\r\n", "Quillmore.ini:4: \"abc\" is not a number of days"}};
  Check(AllAges("Am-241", 'B', {1, 2, 3}), {{"Am-241", 0, 3}});
  DoseRateFileBuilder(DataKind::kIngestion).WriteTo(dir_ / "TQV27ING2.DRT");
  for (const auto& [content, problem] : timesFiles) {
    testing::WriteFile(dir_ / "Quillmore.ini", content);
    EXPECT_EQ(Describe(CheckDataSet(dir_.path(), dir_ / "Quillmore.ini")),
              problem + "\nDoseInd.NDX:3: note: Am-241 has no data in TQV27ING2.DRT\n");
  }
  std::filesystem::remove(dir_ / "Quillmore.ini");
  EXPECT_EQ(Describe(CheckDataSet(dir_.path(), dir_ / "Quillmore.ini")).substr(0, 31),
            "Quillmore.ini:0: no such file\nD");
}

TEST_F(DataCheckTest, ReportsBrokenBlocksWithRecordNumbers) {
  BlockSpec mismatched = Block("H-3", 365, 'L', {1, 2});
  mismatched.recordsPerPoint = 2;
  BlockSpec tooMany = Block("H-3", 1825, 'L', {1, 2});
  tooMany.timePointCount = 151;
  const auto problems = Check({Block("Am-241", 100, 'B', {1, 3, 3, 2}),
                               Block("H-3", 7299, 'L', {1, 2}), mismatched, tooMany});
  const std::string text = Describe(problems);
  // A repeated time point, then a falling one.
  EXPECT_NE(text.find("TQV27INH2.DRT:9: time points not strictly increasing\n"
                      "TQV27INH2.DRT:11: time points not strictly increasing"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("TQV27INH2.DRT:12: age 7299 d belongs to no age group"), std::string::npos)
      << text;
  EXPECT_NE(text.find("TQV27INH2.DRT:15: LET letter \"L\" disagrees with 2 records per point"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("TQV27INH2.DRT:18: time-point count 151 outside 0..150"), std::string::npos)
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
  std::string text = Describe(CheckDataSet(dir_.path(), dir_ / "Quillmore.ini"));
  EXPECT_NE(text.find("TQV27ING2.DRT:0: "), std::string::npos) << text;
  EXPECT_NE(text.find("DoseInd.NDX:4: file size 76 is not a whole number of 25-byte records"),
            std::string::npos)
      << text;

  // Line ends converted to LF: the cause, once, instead of a problem per record.
  std::string drt = testing::ReadFile(dir_ / "TQV27INH2.DRT");
  for (std::size_t at; (at = drt.find("\r\n")) != std::string::npos;) drt.erase(at, 1);
  testing::WriteFile(dir_ / "TQV27INH2.DRT", drt);
  text = Describe(CheckDataSet(dir_.path(), dir_ / "Quillmore.ini"));
  EXPECT_NE(text.find("TQV27INH2.DRT:1: lines end in LF, not CR LF: the line ends were probably "
                      "converted (convert them back, for example with unix2dos)"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("TQV27INH2.DRT:2:"), std::string::npos) << text;
  // An entry range outside the index names its field.
  testing::WriteFile(dir_ / "DoseInd.NDX", IndexFileBytes({{"H-3", 0, 3}}).replace(29, 4, "9E99"));
  text = Describe(CheckDataSet(dir_.path(), dir_ / "Quillmore.ini"));
  EXPECT_NE(text.find("DoseInd.NDX:2: the last entry (positions 5-8) reads 2147483647; it must lie "
                      "in records 3 to 3\n"),
            std::string::npos)
      << text;
}

}  // namespace
}  // namespace quillmore::input
