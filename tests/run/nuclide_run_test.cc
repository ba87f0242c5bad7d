#include "run/nuclide_run.h"

#include <gtest/gtest.h>

#include <span>
#include <sstream>
#include <tuple>

#include "base/text.h"
#include "input/data_index.h"
#include "input/nuclide_name.h"
#include "output/csv_sink.h"
#include "run/intake_blocks.h"
#include "run/nuclide_curves.h"
#include "support/data_builder.h"
#include "support/nuclide_run_fixture.h"
#include "support/temp_dir.h"

namespace quillmore::run {
namespace {

using input::DataKind;
using testing::Block;
using testing::BlockSpec;
using testing::DoseRateFileBuilder;
using testing::Lines;
using testing::NuclideRunTest;
using testing::ScaledRates;

TEST_F(NuclideRunTest, FormsAreCountedOnTheFirstSelectedGroup) {
  builder_.AddBlock(Block("C-14", 100, 'L'));
  const std::int32_t start = builder_.NextRecordNumber();
  for (char form = '1'; form <= '6'; ++form) {
    for (std::int32_t age : {100, 1825, 7300}) builder_.AddBlock(Block("H-3", age, 'L', form));
  }
  builder_.AddBlock(Block("I-131", 100, 'L'));
  run_.selectedAges = {3, 6};
  const run::NuclideResult result = Run("h-3", start);
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
  const run::NuclideResult result = Run("am-241", start);
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
  const run::NuclideResult result = Run("ZR-95", start);
  ASSERT_TRUE(result.status.ok());
  EXPECT_EQ(FileLines("Zr-95_100_H.TXT").size(), 5U);
  EXPECT_EQ(FileLines("Zr-95_365_H.TXT").size(), 5U);
}

// The messages of a run, one line each: "warning: ..." or "note: ...".
std::vector<std::string> Messages(const run::NuclideResult& result) {
  std::vector<std::string> lines;
  for (const run::RunMessage& message : result.messages) {
    lines.push_back(std::string(run::MessageKindName(message.kind)) + ": " + message.text);
  }
  return lines;
}

TEST_F(NuclideRunTest, SuspectBlocksAreNamedAndTheWalkGoesOn) {
  const std::int32_t start = builder_.NextRecordNumber();
  BlockSpec broken = Block("Cs-137", 100, 'L');
  broken.times = {1, 10, 5};
  builder_.AddBlock(broken);                       // record 3: rows left out
  builder_.AddBlock(Block("Cs-137", 365, 'X'));    // record 7: rows of zeros
  BlockSpec negative = Block("Cs-137", 365, 'L');  // record 11: extended below zero
  negative.rates = {ScaledRates(0), ScaledRates(1e-9), ScaledRates(2e-9)};
  builder_.AddBlock(negative);
  BlockSpec negativeHigh = Block("Cs-137", 365, 'B');  // record 15: high LET below zero
  negativeHigh.highRates = negative.rates;
  builder_.AddBlock(negativeHigh);
  BlockSpec empty = Block("Cs-137", 365, 'H');  // record 22
  empty.times.clear();
  builder_.AddBlock(empty);
  run_.selectedAges = {1, 2, 3};
  const run::NuclideResult result = Run("cs-137", start);
  ASSERT_TRUE(result.status.ok());
  EXPECT_EQ(Messages(result),
            (std::vector<std::string>{
                "warning: Cs-137, age 100 d, record 3: time points not strictly increasing at "
                "record 6; its rows are left out",
                "warning: Cs-137, age 365 d, record 7: unknown LET letter \"X\"; its rows are "
                "written but not integrated",
                "warning: Cs-137, age 365 d, record 11: coefficients below zero (lowest -9.65E-10 "
                "Gy/Bq); a dose cannot be negative",
                "warning: Cs-137, age 365 d, record 15: coefficients below zero (lowest -9.65E-10 "
                "Gy/Bq); a dose cannot be negative",
                "warning: Cs-137, age 365 d, record 22: no time points; its rows are written as "
                "zeros",
                "warning: Cs-137: headers only for Infant, 5 y-old"}));
  EXPECT_EQ(FileLines("Cs-137_100_H.TXT").size(), 3U) << "no row group for the invalid block";
  const auto written = FileLines("Cs-137_365_H.TXT");
  ASSERT_EQ(written.size(), 3U + 4 * 2);
  const std::string numbers = written[4].substr(written[4].size() - 36);
  EXPECT_EQ(numbers.find_first_of("123456789"), std::string::npos)
      << "the unknown letter's rows are written, all zeros: " << numbers;
}

TEST_F(NuclideRunTest, LetLetterAndRecordsPerPointDisagreeingStopTheWalk) {
  // Each block is skipped by its letter but would be read by its P: in step
  // only when they agree. An unknown letter with P = 2 is the same case.
  for (const char let : {'L', 'X'}) {
    for (const int age : {100, 365}) {
      SCOPED_TRACE(std::string(1, let) + " " + std::to_string(age));
      builder_ = DoseRateFileBuilder(DataKind::kInhalation);
      const std::int32_t start = builder_.NextRecordNumber();
      BlockSpec pairs = Block("Pu-239", age, 'B');
      pairs.letLetter = let;
      pairs.recordsPerPoint = 2;
      pairs.highRates.clear();
      builder_.AddBlock(pairs);
      builder_.AddBlock(Block("Pu-239", 7300, 'L'));
      run_.selectedAges = {1, 6};
      const run::NuclideResult result = Run("pu-239", start);
      ASSERT_TRUE(result.status.ok());
      EXPECT_EQ(
          Messages(result),
          (std::vector<std::string>{
              "warning: Pu-239, age " + std::to_string(age) + " d, record 3: LET letter \"" + let +
                  "\" disagrees with 2 records per point; the tables of Pu-239 stop here, "
                  "incomplete",
              "warning: Pu-239: headers only for Infant, Adult"}));
      EXPECT_EQ(FileLines("Pu-239_7300_H.TXT").size(), 3U);
    }
  }
}

TEST_F(NuclideRunTest, NotesForExtendedPeriodsAndSinglePoints) {
  const std::int32_t start = builder_.NextRecordNumber();
  BlockSpec shortBlock = Block("Be-7", 100, 'L');
  shortBlock.times = {1, 2, 20};  // 50 d lies past it, where the flat rate stays in range
  shortBlock.rates.assign(3, testing::ScaledRates(1e-10));
  builder_.AddBlock(shortBlock);
  BlockSpec single = Block("Be-7", 100, 'B');
  single.times = {1};
  builder_.AddBlock(single);
  builder_.AddBlock(Block("Be-7", 7300, 'L'));  // reaches 100 d
  run_.selectedAges = {1, 6};
  run_.integrationTimes = {1, 30, 50.5};
  const run::NuclideResult result = Run("be-7", start);
  EXPECT_EQ(Messages(result),
            (std::vector<std::string>{
                "note: Be-7: periods 30, 50.5 d lie past the last tabulated time of some blocks "
                "(earliest 20 d); their curves are extended",
                "note: Be-7: 1 block holds one time point; its rows give the tabulated rate "
                "(Gy/Bq per day), not an integral"}));
  builder_ = DoseRateFileBuilder(DataKind::kInhalation);
  builder_.AddBlock(Block("Be-7", 100, 'L'));
  run_.selectedAges = {1};
  run_.integrationTimes = {1, 100};
  EXPECT_TRUE(Run("be-7", start).messages.empty()) << "the last time itself is within the data";
}

TEST_F(NuclideRunTest, StartRecordsOutsideTheFile) {
  builder_.AddBlock(Block("Co-60", 100, 'L'));
  run_.selectedAges = {1};
  run::NuclideResult none = Run("co-60", 0);
  EXPECT_TRUE(none.status.ok());
  EXPECT_EQ(FileLines("Co-60_100_H.TXT").size(), 3U) << "headers only";
  EXPECT_EQ(Messages(none),
            std::vector<std::string>{
                "warning: Co-60: no data in TQV27INH2.DRT; headers only for Infant"});
  for (std::int32_t start : {2, 7, -1}) {
    file_ = input::DoseRateFile();
    const run::NuclideResult bad = Run("co-60", start);
    EXPECT_EQ(bad.status.code(), base::Status::Code::kCorruption) << start;
    EXPECT_NE(bad.status.message().find("TQV27INH2.DRT"), std::string::npos);
  }
}

// Keeps the row groups counted and the messages End receives.
class RecordingSink final : public output::TableSink {
 public:
  base::Status Begin(const output::NuclideTables& /*tables*/) override { return {}; }
  base::Status Add(const output::RowGroup& group) override {
    ++groups;
    rows.push_back({group.table, group.form.rowGroup, group.form.label, group.header.ageDays});
    return {};
  }
  base::Status End(std::span<const run::RunMessage> received) override {
    messages.assign(received.begin(), received.end());
    return {};
  }
  int groups = 0;
  std::vector<std::tuple<std::size_t, int, int, int>> rows;  // table, row group, label, age
  std::vector<run::RunMessage> messages;
};

// What the JSON files and the manifest keep: the run's messages, a block's
// with its age and record, and a failure that is the nuclide's own.
TEST_F(NuclideRunTest, TheSinkGetsTheMessagesWithTheirBlocksAndTheNuclidesFailure) {
  const std::int32_t start = builder_.NextRecordNumber();
  builder_.AddBlock(Block("Sr-90", 100, 'X'));
  BlockSpec shortBlock = Block("Sr-90", 100, 'L');
  shortBlock.times = {1, 2, 20};  // 50 d lies past it, within range: a note
  shortBlock.rates.assign(3, testing::ScaledRates(1e-10));
  builder_.AddBlock(shortBlock);
  run_.selectedAges = {1};
  const run::NuclideResult tables = Run("sr-90", start);
  const std::string name = "Sr-90  ";
  RecordingSink sink;
  const run::NuclideResult result =
      run::ProcessNuclide(file_, {name, 0, start}, run_, sink, workspace_);
  EXPECT_EQ(sink.groups, 2);
  EXPECT_EQ(Messages(result), Messages(tables));
  ASSERT_EQ(sink.messages.size(), 2U);
  EXPECT_EQ(sink.messages[0].kind, run::MessageKind::kWarning);
  EXPECT_EQ(sink.messages[0].text, result.messages[0].text);
  EXPECT_EQ(sink.messages[0].ageDays, 100);
  EXPECT_EQ(sink.messages[0].record, 3);
  EXPECT_EQ(sink.messages[1].kind, run::MessageKind::kNote);
  EXPECT_EQ(sink.messages[1].ageDays, 0) << "a note about the nuclide as a whole";

  const run::NuclideResult bad = run::ProcessNuclide(file_, {name, 0, 2}, run_, sink, workspace_);
  ASSERT_EQ(bad.status.code(), base::Status::Code::kCorruption);
  ASSERT_EQ(sink.messages.size(), 1U);
  EXPECT_EQ(sink.messages[0].kind, run::MessageKind::kWarning);
  EXPECT_EQ(sink.messages[0].text, bad.status.message());
}

// A left-out block counts for the chemical-form label, not for the row group:
// the CSV numbers the rows it has, the label names the block's own form.
TEST_F(NuclideRunTest, ALeftOutBlockCountsForTheLabelButNotTheRowGroup) {
  const std::int32_t start = builder_.NextRecordNumber();
  for (int form = 1; form <= 3; ++form) builder_.AddBlock(Block("H-3", 100, 'L'));
  BlockSpec backwards = Block("H-3", 100, 'L');
  backwards.times = {1, 10, 5};
  builder_.AddBlock(backwards);               // form 4: left out
  builder_.AddBlock(Block("H-3", 100, 'L'));  // form 5: "(Elemental)"
  run_.selectedAges = {1};
  ASSERT_TRUE(Run("h-3", start).status.ok());
  const std::vector<std::string> lines = FileLines("H-3_100_H.TXT");
  ASSERT_EQ(lines.size(), 3U + 4 * 2);
  EXPECT_EQ(base::TrimBlanks(lines[3 + 3 * 2]).substr(lines[9].find('(')), "(Elemental)");

  std::filesystem::create_directories(dir_ / "CSV");
  output::CsvSink csv(dir_ / "CSV", nullptr);
  ASSERT_TRUE(ProcessNuclide(file_, {"H-3    ", 0, start}, run_, csv, workspace_).status.ok());
  const std::string rows = testing::ReadFile(dir_ / "CSV" / "H-3_H.csv");
  EXPECT_NE(rows.find("\nH-3,inhalation,Infant,100,4,F,(Elemental),1,"), std::string::npos) << rows;
  EXPECT_EQ(rows.find(",100,5,"), std::string::npos) << "four row groups";
}

// The curves walk the blocks as the tables do: the same row groups, numbered
// alike, past every kind of suspect block; the same failure for a bad start.
TEST_F(NuclideRunTest, TablesAndCurvesAgreeOnSuspectBlocksAndABadStartRecord) {
  const std::int32_t start = builder_.NextRecordNumber();
  builder_.AddBlock(Block("H-3", 100, 'X'));  // written, not integrated
  BlockSpec backwards = Block("H-3", 100, 'L');
  backwards.times = {1, 10, 5};
  builder_.AddBlock(backwards);  // left out
  BlockSpec empty = Block("H-3", 7300, 'L');
  empty.times.clear();
  empty.rates.clear();
  builder_.AddBlock(empty);  // no time points
  BlockSpec single = Block("H-3", 100, 'B');
  single.times = {1};
  single.rates.resize(1);
  single.highRates.resize(1);
  builder_.AddBlock(single);
  builder_.AddBlock(Block("H-3", 7300, 'L'));
  BlockSpec disagreeing = Block("H-3", 100, 'B');
  disagreeing.recordsPerPoint = 1;
  builder_.AddBlock(disagreeing);  // the walk stops here
  builder_.AddBlock(Block("H-3", 100, 'L'));
  run_.selectedAges = {1, 6};
  const run::NuclideResult tables = Run("h-3", start);
  ASSERT_TRUE(tables.status.ok());
  const input::IndexEntry entry{"H-3    ", 0, start};
  RecordingSink sink;
  ASSERT_TRUE(ProcessNuclide(file_, entry, run_, sink, workspace_).status.ok());
  const NuclideCurves curves = ReadNuclideCurves(file_, entry, run_);
  ASSERT_TRUE(curves.status.ok());
  std::vector<std::tuple<std::size_t, int, int, int>> curveRows;
  for (const BlockCurves& block : curves.blocks) {
    curveRows.emplace_back(static_cast<std::size_t>(block.table), block.rowGroup, block.formNumber,
                           block.header.ageDays);
  }
  EXPECT_EQ(sink.rows, (std::vector<std::tuple<std::size_t, int, int, int>>{
                           {0, 1, 1, 100}, {1, 1, 2, 7300}, {0, 2, 3, 100}, {1, 2, 3, 7300}}));
  EXPECT_EQ(curveRows, sink.rows);
  // An intake history sees every block of its age group, left out or not,
  // with the label numbers, and curves only where the tables integrate.
  std::vector<std::tuple<int, std::string, bool, std::size_t>> groups;
  for (const int ageGroup : {1, 6}) {
    const base::Result<std::vector<FormBlock>> blocks =
        ReadAgeGroupBlocks(file_, entry, DataKind::kInhalation, ageGroup, run_.selectedRegions);
    ASSERT_TRUE(blocks.ok()) << blocks.status().message();
    for (const FormBlock& block : blocks.value()) {
      groups.emplace_back(block.formNumber, block.formCode, block.integrable.ok(),
                          block.curves.size());
    }
  }
  EXPECT_EQ(groups, (std::vector<std::tuple<int, std::string, bool, std::size_t>>{
                        {1, "F", false, 0},
                        {2, "F", false, 0},
                        {3, "F", false, 0},
                        {1, "F", false, 0},
                        {2, "F", true, 2}}));

  const input::IndexEntry past{"H-3    ", 0, 9999};
  const NuclideResult bad = ProcessNuclide(file_, past, run_, sink, workspace_);
  EXPECT_EQ(bad.status.code(), base::Status::Code::kCorruption);
  EXPECT_EQ(ReadNuclideCurves(file_, past, run_).status.message(), bad.status.message());
  EXPECT_EQ(ReadAgeGroupBlocks(file_, past, DataKind::kInhalation, 1, run_.selectedRegions)
                .status()
                .message(),
            bad.status.message());
}

}  // namespace
}  // namespace quillmore::run
