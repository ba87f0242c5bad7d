// Generates sample data folders and reads them back through the program's own
// index and dose-rate readers, as the nuclide processing run walks them.
#include "sample_data/sample_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "input/age_groups.h"
#include "input/data_check.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "input/integration_times.h"
#include "input/nuclide_name.h"
#include "support/temp_dir.h"

namespace quillmore::tools {
namespace {

using input::BlockHeader;
using input::DataKind;
using input::kRegionColumnCount;

// What one block held, for the checks that span blocks.
struct BlockSeen {
  BlockHeader header;
  double firstTime = 0;
  double lastTime = 0;
  double maxLow = 0;   // largest low-LET rate of the block
  double maxHigh = 0;  // largest high-LET rate of the block
};

struct FileSeen {
  std::map<std::string, std::vector<BlockSeen>> blocks;  // by nuclide name
  std::int64_t recordsWalked = 0;                        // headers and rate records
};

// Reads one block's rate records after its header, checking every record.
BlockSeen ReadBlock(input::DoseRateFile& file, const BlockHeader& header) {
  BlockSeen block{header};
  double previous = -1;
  for (int point = 0; point < header.timePointCount; ++point) {
    double pointTime = 0;
    for (int part = 0; part < header.recordsPerPoint; ++part) {
      const std::string_view record = file.ReadNextRecord();
      EXPECT_FALSE(file.atEnd()) << header.name << " record " << file.lastRecordNumber();
      EXPECT_EQ(record.find_first_of("\r\n"), 299u) << "record " << file.lastRecordNumber();
      EXPECT_EQ(record.substr(299), "\r\n");
      const input::RateRecord rates = input::DecodeRateRecord(record);
      if (part == 0) {
        pointTime = rates.timeDays;
        EXPECT_GT(pointTime, previous) << header.name << " record " << file.lastRecordNumber();
        previous = pointTime;
      } else {
        EXPECT_EQ(rates.timeDays, pointTime) << "low and high record of a point share the time";
      }
      const bool high = header.letLetter == 'H' || part == 1;
      for (const double rate : rates.rates) {
        EXPECT_GE(rate, 0.0);
        EXPECT_LT(rate, 1e-8);
        double& peak = high ? block.maxHigh : block.maxLow;
        peak = std::max(peak, rate);
      }
    }
    if (point == 0) block.firstTime = pointTime;
    block.lastTime = pointTime;
  }
  return block;
}

// Walks the blocks of every index entry in the file of `kind` and checks them.
FileSeen WalkFile(const std::filesystem::path& folder, input::DataIndex& index, DataKind kind) {
  input::DoseRateFile file;
  EXPECT_TRUE(file.Open(folder / input::DataSetOf(kind).doseRateFileName).ok());
  FileSeen seen;
  for (std::int32_t r = index.firstEntry(); r <= index.lastEntry(); ++r) {
    const input::IndexEntry entry = index.ReadEntry(r);
    const std::int32_t start = entry.startFor(kind);
    if (start == 0) continue;
    file.PositionAt(start);
    for (;;) {
      const BlockHeader header = file.ReadBlockHeader(kind);
      if (header.name != entry.name) break;
      EXPECT_GE(header.timePointCount, 1) << entry.name;
      EXPECT_LE(header.timePointCount, input::kMaxTimePoints) << entry.name;
      EXPECT_EQ(header.recordsPerPoint, header.letLetter == 'B' ? 2 : 1) << entry.name;
      EXPECT_EQ(header.RecordsToSkip(), header.recordsPerPoint * header.timePointCount);
      EXPECT_NE(std::string("LBH").find(header.letLetter), std::string::npos) << entry.name;
      if (kind == DataKind::kInhalation) {
        EXPECT_NE(std::string("FMSV").find(header.classCode), std::string::npos) << entry.name;
      } else {
        EXPECT_EQ(header.f1Text.size(), 8u);
      }
      seen.blocks[entry.name].push_back(ReadBlock(file, header));
      seen.recordsWalked += 1 + header.RecordsToSkip();
      if (file.atEnd()) break;
    }
  }
  EXPECT_EQ(seen.recordsWalked + 2, file.recordCount()) << "every record belongs to a block";
  return seen;
}

// Checks the index and both files of `folder` and returns what the files held.
std::map<DataKind, FileSeen> ReadBack(const std::filesystem::path& folder) {
  for (const char* name :
       {input::kIndexFileName, input::DataSetOf(DataKind::kInhalation).doseRateFileName,
        input::DataSetOf(DataKind::kIngestion).doseRateFileName}) {
    const std::string bytes = testing::ReadFile(folder / name);
    const std::size_t length = name == std::string(input::kIndexFileName) ? 25 : 301;
    EXPECT_EQ(bytes.size() % length, 0u) << name;
    for (std::size_t at = length - 2; at < bytes.size(); at += length) {
      if (bytes.compare(at, 2, "\r\n") != 0) {
        ADD_FAILURE() << name << ": no CR LF at byte " << at;
        break;
      }
    }
  }
  input::DataIndex index;
  EXPECT_TRUE(index.Open(folder / input::kIndexFileName).ok());
  EXPECT_EQ(index.firstEntry(), 3);
  std::string previous;
  for (std::int32_t r = index.firstEntry(); r <= index.lastEntry(); ++r) {
    const std::string name = index.ReadEntry(r).name;
    EXPECT_LT(previous, name) << "sorted and unique";
    std::string normalised = name;
    EXPECT_EQ(input::NormaliseNuclideName(normalised), name);
    EXPECT_EQ(index.FindNuclide(name), r) << name;
    EXPECT_TRUE(index.entry().inhalationStart > 0 || index.entry().ingestionStart > 0) << name;
    previous = name;
  }
  std::map<DataKind, FileSeen> seen;
  seen[DataKind::kInhalation] = WalkFile(folder, index, DataKind::kInhalation);
  seen[DataKind::kIngestion] = WalkFile(folder, index, DataKind::kIngestion);
  // Clean: notes at most, and none for periods past a block's data.
  for (const input::Fault& problem : input::CheckDataSet(folder, folder / input::kTimesFileName)) {
    EXPECT_TRUE(problem.note) << problem.file << ':' << problem.line << ": " << problem.message;
    EXPECT_EQ(problem.message.find("past the last tabulated time"), std::string::npos)
        << problem.message;
  }
  return seen;
}

// Forms of a nuclide: its blocks of the first age group.
int FormCount(const std::vector<BlockSeen>& blocks) {
  return static_cast<int>(std::count_if(blocks.begin(), blocks.end(), [](const BlockSeen& b) {
    return b.header.ageDays == input::kAgeGroupDays[0];
  }));
}

std::uintmax_t FolderBytes(const std::filesystem::path& folder) {
  std::uintmax_t total = 0;
  for (const auto& file : std::filesystem::directory_iterator(folder)) total += file.file_size();
  return total;
}

TEST(SampleData, DefaultSetReadsBackThroughTheProgramsReaders) {
  testing::TempDir dir;
  ASSERT_TRUE(GenerateSampleData({}, dir.path()).ok());
  const auto seen = ReadBack(dir.path());
  EXPECT_LT(FolderBytes(dir.path()), 10u * 1000 * 1000);

  // Every nuclide lists, per form, the six age groups in increasing age.
  for (const auto& [kind, file] : seen) {
    for (const auto& [name, blocks] : file.blocks) {
      ASSERT_EQ(blocks.size() % 6, 0u) << name;
      for (std::size_t b = 0; b < blocks.size(); ++b) {
        EXPECT_EQ(blocks[b].header.ageDays, input::kAgeGroupDays[b % 6]) << name;
      }
    }
  }
  const FileSeen& inhalation = seen.at(DataKind::kInhalation);
  const FileSeen& ingestion = seen.at(DataKind::kIngestion);
  EXPECT_GE(inhalation.blocks.size(), 35u);
  // The forms that get chemical-form labels, and Cs-137's unlabelled fourth.
  EXPECT_EQ(FormCount(inhalation.blocks.at("H-3    ")), 6);
  EXPECT_EQ(FormCount(inhalation.blocks.at("C-14   ")), 5);
  EXPECT_EQ(FormCount(inhalation.blocks.at("S-35   ")), 5);
  EXPECT_EQ(FormCount(inhalation.blocks.at("I-131  ")), 5);
  EXPECT_EQ(FormCount(inhalation.blocks.at("Hg-203 ")), 7);
  EXPECT_EQ(FormCount(inhalation.blocks.at("Cs-137 ")), 4);
  EXPECT_EQ(inhalation.blocks.count("Tc-99m ") + inhalation.blocks.count("Te-131m"), 2u);
  // A nuclide in one file only, both ways.
  EXPECT_TRUE(inhalation.blocks.count("Kr-85  ") && !ingestion.blocks.count("Kr-85  "));
  EXPECT_TRUE(!inhalation.blocks.count("Ni-63  ") && ingestion.blocks.count("Ni-63  "));

  std::set<char> letters;
  bool singlePoint = false;
  for (const auto& [kind, file] : seen) {
    for (const auto& [name, blocks] : file.blocks) {
      for (const BlockSeen& block : blocks) {
        letters.insert(block.header.letLetter);
        singlePoint = singlePoint || block.header.timePointCount == 1;
        if (block.header.timePointCount < 20) continue;
        EXPECT_LE(block.header.timePointCount, 100) << name;
        EXPECT_NEAR(block.firstTime, 0.001, 0.0003) << name;
        EXPECT_GT(block.lastTime, 18250) << name;
        if (block.header.letLetter == 'B') {
          EXPECT_GT(block.maxHigh, 50 * block.maxLow) << name;
        } else {
          const bool high = block.header.letLetter == 'H';
          EXPECT_EQ(high ? block.maxLow : block.maxHigh, 0) << name;
        }
        EXPECT_GT(std::max(block.maxLow, block.maxHigh), 1e-16) << name;
      }
    }
  }
  EXPECT_EQ(letters, (std::set<char>{'B', 'H', 'L'}));
  EXPECT_TRUE(singlePoint);
}

TEST(SampleData, HeadingsAndTimesFile) {
  testing::TempDir dir;
  ASSERT_TRUE(GenerateSampleData({}, dir.path()).ok());
  std::map<DataKind, std::array<std::string, kRegionColumnCount>> headings;
  for (const DataKind kind : {DataKind::kInhalation, DataKind::kIngestion}) {
    input::DoseRateFile file;
    ASSERT_TRUE(file.Open(dir / input::DataSetOf(kind).doseRateFileName).ok());
    headings[kind] = file.RegionHeadings();
    for (int column = 15; column <= 18; ++column) {
      EXPECT_EQ(headings[kind][input::RegionIndex(column)].substr(0, 5), "Lung ");
    }
  }
  const std::size_t last = input::RegionIndex(29);
  EXPECT_NE(headings[DataKind::kInhalation][last].find('|'), std::string::npos);
  EXPECT_EQ(headings[DataKind::kIngestion][last].find('|'), std::string::npos);

  const input::IntegrationTimes times = input::ReadIntegrationTimes(dir / input::kTimesFileName);
  ASSERT_TRUE(times.ok());
  EXPECT_EQ(times.value(), std::vector<double>(std::begin(kSampleIntegrationTimesDays),
                                               std::end(kSampleIntegrationTimesDays)));
}

TEST(SampleData, SameSeedGivesTheSameBytes) {
  testing::TempDir first;
  testing::TempDir second;
  testing::TempDir third;
  ASSERT_TRUE(GenerateSampleData({}, first.path()).ok());
  ASSERT_TRUE(GenerateSampleData({}, second.path()).ok());
  ASSERT_TRUE(GenerateSampleData({0, 2}, third.path()).ok());
  for (const char* name :
       {input::kIndexFileName, input::DataSetOf(DataKind::kInhalation).doseRateFileName,
        input::DataSetOf(DataKind::kIngestion).doseRateFileName, input::kTimesFileName}) {
    EXPECT_EQ(testing::ReadFile(first / name), testing::ReadFile(second / name)) << name;
  }
  const std::string inhalation = input::DataSetOf(DataKind::kInhalation).doseRateFileName;
  EXPECT_NE(testing::ReadFile(first / inhalation), testing::ReadFile(third / inhalation));

  // Synthetic sets too; regenerating into a used folder replaces its files.
  ASSERT_TRUE(GenerateSampleData({25, 7}, first.path()).ok());
  ASSERT_TRUE(GenerateSampleData({25, 7}, second.path()).ok());
  EXPECT_EQ(testing::ReadFile(first / inhalation), testing::ReadFile(second / inhalation));
  EXPECT_EQ(testing::ReadFile(first / input::kIndexFileName),
            testing::ReadFile(second / input::kIndexFileName));
}

TEST(SampleData, SyntheticSetIsValidAndSorted) {
  testing::TempDir dir;
  ASSERT_TRUE(GenerateSampleData({120, 3}, dir.path()).ok());
  const auto seen = ReadBack(dir.path());
  input::DataIndex index;
  ASSERT_TRUE(index.Open(dir / input::kIndexFileName).ok());
  EXPECT_EQ(index.lastEntry() - index.firstEntry() + 1, 120);
  std::set<char> letters;
  for (const auto& [kind, file] : seen) {
    for (const auto& [name, blocks] : file.blocks) {
      for (const BlockSeen& block : blocks) letters.insert(block.header.letLetter);
    }
  }
  EXPECT_EQ(letters, (std::set<char>{'B', 'H', 'L'}));
}

TEST(SampleData, RejectsBadCountsAndUnwritableFolders) {
  testing::TempDir dir;
  EXPECT_EQ(GenerateSampleData({-1, 1}, dir.path()).code(), base::Status::Code::kInvalidArgument);
  EXPECT_EQ(GenerateSampleData({9998, 1}, dir.path()).code(), base::Status::Code::kInvalidArgument);
  testing::WriteFile(dir / "plain", "x");
  const base::Status status = GenerateSampleData({}, dir / "plain" / "sub");
  EXPECT_EQ(status.code(), base::Status::Code::kIoError);
  EXPECT_NE(status.message().find("plain"), std::string::npos);
}

}  // namespace
}  // namespace quillmore::tools
