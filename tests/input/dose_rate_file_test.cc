#include "input/dose_rate_file.h"

#include <gtest/gtest.h>

#include "support/data_builder.h"
#include "support/temp_dir.h"

namespace quillmore::input {
namespace {

using testing::BlockSpec;
using testing::DoseRateFileBuilder;
using testing::Record;
using testing::TempDir;

// A header record with `text` placed at 1-based `position`s.
std::string HeaderRecord(std::initializer_list<std::pair<std::size_t, std::string>> fields) {
  std::string content(kDoseRateRecordLength - 2, ' ');
  for (const auto& [position, text] : fields) content.replace(position - 1, text.size(), text);
  return Record(content, kDoseRateRecordLength);
}

TEST(DecodeBlockHeader, OneRecordReadsDifferentlyByDataKind) {
  const std::string record = HeaderRecord({{1, "Cs-137"},
                                           {8, " 7300"},
                                           {13, "1.0E-01 "},
                                           {21, "   1"},
                                           {25, " 1"},
                                           {28, "L"},
                                           {32, " 2"},
                                           {35, "B"}});
  const BlockHeader inhalation = DecodeBlockHeader(record, DataKind::kInhalation);
  EXPECT_EQ(inhalation.name, "Cs-137 ");
  EXPECT_EQ(inhalation.ageDays, 7300);
  EXPECT_EQ(inhalation.classCode, '1');
  EXPECT_EQ(inhalation.timePointCount, 0);  // positions 28-31 hold "L"
  EXPECT_EQ(inhalation.recordsPerPoint, 2);
  EXPECT_EQ(inhalation.letLetter, 'B');

  const BlockHeader ingestion = DecodeBlockHeader(record, DataKind::kIngestion);
  EXPECT_EQ(ingestion.name, "Cs-137 ");
  EXPECT_EQ(ingestion.ageDays, 7300);
  EXPECT_EQ(ingestion.f1Text, "1.0E-01 ");
  EXPECT_EQ(ingestion.timePointCount, 1);
  EXPECT_EQ(ingestion.recordsPerPoint, 1);
  EXPECT_EQ(ingestion.letLetter, 'L');
}

TEST(DecodeBlockHeader, RoundsCountsAndSurvivesShortRecords) {
  const BlockHeader header = DecodeBlockHeader(
      HeaderRecord({{1, "H-3"}, {8, "  100"}, {19, "F"}, {28, "12.6"}, {32, " 2"}, {35, "B"}}),
      DataKind::kInhalation);
  EXPECT_EQ(header.timePointCount, 13);
  EXPECT_EQ(header.RecordsToSkip(), 26);
  const BlockHeader low = DecodeBlockHeader(
      HeaderRecord({{1, "H-3"}, {28, "  12"}, {32, " 1"}, {35, "L"}}), DataKind::kInhalation);
  EXPECT_EQ(low.RecordsToSkip(), 12);
  const BlockHeader empty = DecodeBlockHeader("H-3", DataKind::kInhalation);
  EXPECT_EQ(empty.name, "H-3");
  EXPECT_EQ(empty.timePointCount, 0);
  EXPECT_EQ(empty.letLetter, '\0');
}

TEST(DecodeRateRecord, ReadsTimeAndAllTwentyNineColumns) {
  std::string text = "  1.0E-04";
  text += " 2.345D-12";
  text += "          ";
  for (int k = 3; k <= 29; ++k) text += testing::RightField(std::to_string(k) + ".5E-9", 10);
  const RateRecord rate = DecodeRateRecord(Record(text, kDoseRateRecordLength));
  EXPECT_EQ(rate.timeDays, 1.0e-4);
  EXPECT_EQ(rate.rates[0], 2.345e-12);
  EXPECT_EQ(rate.rates[1], 0.0);
  EXPECT_EQ(rate.rates[2], 3.5e-9);
  EXPECT_EQ(rate.rates[28], 29.5e-9);
  EXPECT_EQ(RateRecordRate(Record(text, kDoseRateRecordLength), 29), 29.5e-9);
}

TEST(DoseRateFile, HeadingsBlocksSkipsAndPositioning) {
  TempDir dir;
  DoseRateFileBuilder builder(DataKind::kInhalation);
  std::array<std::string, kRegionColumnCount> headings;
  for (int k = 0; k < kRegionColumnCount; ++k)
    headings[static_cast<std::size_t>(k)] = "R" + std::to_string(k + 1);
  headings[28] = "Other|Tis";
  builder.Headings(headings);
  BlockSpec first;
  first.name = "Am-241";
  first.ageDays = 100;
  first.classCode = 'M';
  first.letLetter = 'B';
  first.times = {1.0, 2.0};
  first.rates = {testing::ScaledRates(1e-9), testing::ScaledRates(2e-9)};
  first.highRates = {testing::ScaledRates(1e-7), testing::ScaledRates(2e-7)};
  const auto firstHeader = builder.AddBlock(first);
  BlockSpec second;
  second.name = "Am-241";
  second.classCode = 'S';
  second.times = {0.5};
  second.rates = {testing::ScaledRates(3e-9)};
  const auto secondHeader = builder.AddBlock(second);
  builder.WriteTo(dir / "TQV27INH2.DRT");
  EXPECT_EQ(firstHeader, 3);
  EXPECT_EQ(secondHeader, 8);

  DoseRateFile file;
  ASSERT_TRUE(file.Open(dir / "TQV27INH2.DRT").ok());
  EXPECT_EQ(file.recordCount(), 9);
  const auto read = file.RegionHeadings();
  EXPECT_EQ(read[0], "R1        ");
  EXPECT_EQ(read[28], "Other|Tis ");

  file.PositionAt(firstHeader);
  const BlockHeader header = file.ReadBlockHeader(DataKind::kInhalation);
  EXPECT_EQ(header.ageDays, 100);
  EXPECT_EQ(header.recordsPerPoint, 2);
  file.SkipRecords(header.RecordsToSkip());
  EXPECT_FALSE(file.atEnd());
  const BlockHeader next = file.ReadBlockHeader(DataKind::kInhalation);
  EXPECT_EQ(next.ageDays, 7300);
  EXPECT_EQ(next.classCode, 'S');
  EXPECT_EQ(DecodeRateRecord(file.ReadNextRecord()).timeDays, 0.5);
  EXPECT_FALSE(file.atEnd());
  EXPECT_EQ(file.ReadBlockHeader(DataKind::kInhalation).name, std::string(7, '\0'));
  EXPECT_TRUE(file.atEnd());
}

}  // namespace
}  // namespace quillmore::input
