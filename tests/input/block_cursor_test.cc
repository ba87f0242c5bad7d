#include "input/block_cursor.h"

#include <gtest/gtest.h>

#include "support/data_builder.h"

namespace quillmore::input {
namespace {

using testing::BlockSpec;
using testing::DoseRateFileBuilder;
using testing::ScaledRates;

BlockSpec Spec(const std::string& name, std::int32_t ageDays, char let, int points) {
  BlockSpec block;
  block.name = name;
  block.ageDays = ageDays;
  block.letLetter = let;
  for (int i = 0; i < points; ++i) {
    block.times.push_back(i + 1.0);
    block.rates.push_back(ScaledRates(1e-9));
    block.highRates.push_back(ScaledRates(2e-9));
  }
  return block;
}

// Headers in turn, a nuclide's blocks ending at the next nuclide, blocks
// skipped by their LET letter, and each fault that hides where a block ends
// worded on its own, the walk's first one first.
TEST(BlockCursor, WalksANuclidesBlocksAndChecksEachExtent) {
  DoseRateFileBuilder builder(DataKind::kInhalation);
  builder.AddBlock(Spec("Cs-137", 100, 'L', 2));  // record 3
  BlockSpec disagreeing = Spec("Cs-137", 365, 'B', 2);
  disagreeing.recordsPerPoint = 1;
  builder.AddBlock(disagreeing);  // record 6: four records by its letter
  // Record 11: a count of -2 (the builder writes none below 0).
  std::string negative =
      testing::BlockHeaderRecord(Spec("Cs-137", 1825, 'L', 0), DataKind::kInhalation);
  negative.replace(27, 4, "  -2");
  builder.AddRawRecord(negative.substr(0, kDoseRateRecordLength - 2));
  builder.AddBlock(Spec("Sr-90", 100, 'H', 1));  // record 12
  BlockSpec cut = Spec("Sr-90", 365, 'B', 1);
  cut.timePointCount = 3;
  cut.recordsPerPoint = 1;
  builder.AddBlock(cut);  // record 14, claims records to 20 of 16
  DoseRateFile file;
  ASSERT_TRUE(file.OpenBytes(builder.Bytes(), "TQV27INH2.DRT").ok());

  BlockCursor cursor(file, DataKind::kInhalation);
  cursor.PositionAt(3);
  ASSERT_TRUE(cursor.NextOf("Cs-137 "));
  EXPECT_EQ(cursor.headerRecord(), 3);
  EXPECT_TRUE(cursor.Extent().ok());
  cursor.Skip();
  ASSERT_TRUE(cursor.NextOf("Cs-137 "));
  EXPECT_EQ(cursor.headerRecord(), 6);
  BlockExtent extent = cursor.Extent();
  EXPECT_EQ(extent.first().message(), "LET letter \"B\" disagrees with 1 records per point");
  EXPECT_TRUE(extent.timePointCount.ok());
  EXPECT_TRUE(extent.inFile.ok());
  cursor.Skip();
  ASSERT_TRUE(cursor.NextOf("Cs-137 "));
  EXPECT_EQ(cursor.headerRecord(), 11);
  extent = cursor.Extent();
  EXPECT_TRUE(extent.recordsPerPoint.ok());
  EXPECT_EQ(extent.first().message(), "time-point count -2 is negative");
  EXPECT_TRUE(extent.inFile.ok());
  cursor.Skip();  // nothing to skip
  EXPECT_FALSE(cursor.NextOf("Cs-137 "));
  EXPECT_EQ(cursor.headerRecord(), 12);
  EXPECT_EQ(cursor.header().name, "Sr-90  ");

  cursor.Skip();
  ASSERT_TRUE(cursor.Next());
  EXPECT_EQ(cursor.headerRecord(), 14);
  extent = cursor.Extent();
  EXPECT_FALSE(extent.ok());
  EXPECT_EQ(extent.first().message(), extent.recordsPerPoint.message());
  EXPECT_EQ(extent.inFile.message(),
            "the file ends inside this block: it holds records to 16, the block runs to record 20");
  cursor.Skip();
  EXPECT_FALSE(cursor.Next());
}

}  // namespace
}  // namespace quillmore::input
