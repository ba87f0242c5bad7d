#include "input/data_index.h"

#include <gtest/gtest.h>

#include "input/nuclide_name.h"
#include "support/data_builder.h"
#include "support/temp_dir.h"

namespace quillmore::input {
namespace {

using testing::IndexFileBytes;
using testing::IndexRow;
using testing::TempDir;
using testing::WriteFile;

class DataIndexTest : public ::testing::Test {
 protected:
  void Write(const std::string& bytes) {
    WriteFile(dir_ / "DoseInd.NDX", bytes);
    ASSERT_TRUE(index_.Open(dir_ / "DoseInd.NDX").ok());
  }
  std::int32_t Find(std::string typed) {
    probes_.clear();
    return index_.FindNuclide(NormaliseNuclideName(typed), &probes_);
  }
  TempDir dir_;
  DataIndex index_;
  std::vector<std::int32_t> probes_;
};

TEST_F(DataIndexTest, BinarySearchProbesInTheDocumentedOrder) {
  Write(IndexFileBytes({{"Am-241", 10, 20}, {"H-3", 30, 40}, {"Tc-99m", 0, 50}}));
  EXPECT_EQ(index_.firstEntry(), 3);
  EXPECT_EQ(index_.lastEntry(), 5);

  EXPECT_EQ(Find("Tc-99m"), 5);
  EXPECT_EQ(probes_, (std::vector<std::int32_t>{4, 5}));
  EXPECT_EQ(index_.entry().name, "Tc-99m ");
  EXPECT_EQ(index_.entry().inhalationStart, 50);
  EXPECT_EQ(index_.entry().startFor(DataKind::kIngestion), 0);

  EXPECT_EQ(Find("Xe-133"), 0);
  EXPECT_EQ(probes_, (std::vector<std::int32_t>{4, 5}));

  EXPECT_EQ(Find("Am-241"), 3);
  EXPECT_EQ(probes_, (std::vector<std::int32_t>{4, 3}));
  EXPECT_EQ(index_.entry().ingestionStart, 10);

  EXPECT_EQ(Find("H-3"), 4);
  EXPECT_EQ(probes_, (std::vector<std::int32_t>{4}));

  EXPECT_EQ(Find("Ac-225"), 0);
  EXPECT_EQ(probes_, (std::vector<std::int32_t>{4, 3}));
}

TEST_F(DataIndexTest, ComparisonIsExactByteOrder) {
  Write(IndexFileBytes({{"Am-241", 10, 20}, {"H-3", 30, 40}, {"Tc-99m", 0, 50}}));
  EXPECT_EQ(index_.FindNuclide("tc-99m "), 0) << "case-sensitive";
  EXPECT_EQ(index_.FindNuclide("Tc-99m"), 0) << "an unpadded key is shorter, so smaller";
  EXPECT_EQ(index_.FindNuclide("Tc-99m  "), 0) << "a longer key never matches";
  EXPECT_EQ(index_.FindNuclide("H-3    "), 4);
}

TEST_F(DataIndexTest, UnsignedBytesSortAboveAscii) {
  Write(IndexFileBytes({{"Am-241", 1, 1}, {"Zz-1", 2, 2}, {"\xc4r-1", 3, 3}}));
  EXPECT_EQ(index_.FindNuclide(std::string("\xc4r-1   ")), 5);
  EXPECT_EQ(index_.FindNuclide("Zz-1   "), 4);
}

TEST_F(DataIndexTest, EntryRangeOutsideTheFileIsAnErrorNamingTheField) {
  const std::string rows = IndexFileBytes({{"Am-241", 10, 20}, {"H-3", 30, 40}}).substr(50);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"   3   4", ""},
      {"", "the first entry (positions 1-4) reads 0; entries lie in records 3 to 4"},
      {"   2   4", "the first entry (positions 1-4) reads 2; entries lie in records 3 to 4"},
      {"   3   5", "the last entry (positions 5-8) reads 5; it must lie in records 3 to 4"},
      {"   4   3", "the last entry (positions 5-8) reads 3; it must lie in records 4 to 4"},
      // 9E99 reads as 2^31 - 1: a search over it would overflow and spin.
      {"   39E99",
       "the last entry (positions 5-8) reads 2147483647; it must lie in records 3 to 4"},
      {"9E99   4",
       "the first entry (positions 1-4) reads 2147483647; entries lie in records 3 to 4"}};
  for (const auto& [range, fault] : cases) {
    SCOPED_TRACE(range);
    WriteFile(dir_ / "DoseInd.NDX", testing::Record("t", 25) + testing::Record(range, 25) + rows);
    const base::Status status = index_.Open(dir_ / "DoseInd.NDX");
    EXPECT_EQ(status.message(),
              fault.empty() ? "" : (dir_ / "DoseInd.NDX").string() + ", record 2: " + fault);
    EXPECT_EQ(Find("H-3"), fault.empty() ? 4 : 0);
    EXPECT_EQ(probes_.empty(), !fault.empty()) << "no probe outside the file";
    EXPECT_EQ(index_.lastEntry() - index_.firstEntry(), fault.empty() ? 1 : -1);
  }
  WriteFile(dir_ / "DoseInd.NDX", "");
  EXPECT_EQ(index_.Open(dir_ / "DoseInd.NDX").code(), base::Status::Code::kCorruption);
  EXPECT_EQ(Find("H-3"), 0);
}

TEST_F(DataIndexTest, SingleEntryAndBlankStartFields) {
  Write(testing::Record("t", 25) + testing::Record("   3   3", 25) +
        testing::Record("Cs-137         ", 25));
  EXPECT_EQ(Find("cs-137"), 3);
  EXPECT_EQ(index_.entry().ingestionStart, 0);
  EXPECT_EQ(index_.entry().inhalationStart, 0);
}

}  // namespace
}  // namespace quillmore::input
