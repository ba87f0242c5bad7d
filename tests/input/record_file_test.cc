#include "input/record_file.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/data_builder.h"
#include "support/temp_dir.h"

namespace quillmore::input {
namespace {

using testing::Record;
using testing::TempDir;
using testing::WriteFile;

// Every reading test runs on a file on disk and on the same bytes in memory.
class RecordFileTest : public ::testing::TestWithParam<bool> {
 protected:
  void OpenWith(std::string bytes, std::size_t length = 10) {
    if (GetParam()) {
      ASSERT_TRUE(file_.OpenBytes(bytes, length, "f.txt").ok());
      bytes.assign(bytes.size(), 'x');  // the file keeps its own copy
    } else {
      WriteFile(dir_ / "f.txt", bytes);
      ASSERT_TRUE(file_.Open(dir_ / "f.txt", length).ok());
    }
    EXPECT_EQ(file_.path().filename(), "f.txt");
  }
  TempDir dir_;
  RecordFile file_;
};
INSTANTIATE_TEST_SUITE_P(FileAndMemory, RecordFileTest, ::testing::Bool());

TEST_P(RecordFileTest, ReadsByNumberAndAsNextRecord) {
  OpenWith(Record("one", 10) + Record("two", 10) + Record("three", 10));
  EXPECT_EQ(file_.recordCount(), 3);
  EXPECT_EQ(file_.ReadNextRecord(), Record("one", 10));
  EXPECT_EQ(file_.ReadRecord(3), Record("three", 10));
  EXPECT_FALSE(file_.atEnd());
  EXPECT_EQ(file_.ReadRecord(1), Record("one", 10));
  EXPECT_EQ(file_.ReadNextRecord(), Record("two", 10));  // position carries over
  EXPECT_EQ(file_.lastRecordNumber(), 2);
}

TEST_P(RecordFileTest, ReadPastTheEndYieldsNulsAndSetsEndOfFile) {
  OpenWith(Record("one", 10) + "abc");  // the second record is cut short
  EXPECT_EQ(file_.ReadRecord(2), std::string("abc") + std::string(7, '\0'));
  EXPECT_TRUE(file_.atEnd());
  EXPECT_EQ(file_.ReadNextRecord(), std::string(10, '\0'));
  EXPECT_TRUE(file_.atEnd());
  file_.ReadRecord(1);
  EXPECT_FALSE(file_.atEnd()) << "a read inside the file clears the state";
  EXPECT_EQ(file_.ReadRecord(0), std::string(10, '\0'));
  EXPECT_EQ(file_.ReadNextRecord(), Record("one", 10));
  // Record numbers from the data may be anything: no overflow, only NULs.
  constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
  for (const std::int64_t number : {kMax, kMax - 1, std::numeric_limits<std::int64_t>::min()}) {
    EXPECT_EQ(file_.ReadRecord(number), std::string(10, '\0'));
    file_.SkipRecords(kMax);
    EXPECT_TRUE(file_.atEnd());
    EXPECT_EQ(file_.ReadNextRecord(), std::string(10, '\0'));
  }
}

TEST_P(RecordFileTest, SkipSetsEndOfFileByTheLastSkippedRecord) {
  OpenWith(Record("one", 10) + Record("two", 10) + Record("three", 10));
  file_.SkipRecords(2);
  EXPECT_FALSE(file_.atEnd());
  EXPECT_EQ(file_.ReadNextRecord(), Record("three", 10));
  file_.ReadRecord(1);
  file_.SkipRecords(3);
  EXPECT_TRUE(file_.atEnd());
  file_.ReadRecord(1);
  file_.SkipRecords(0);
  EXPECT_EQ(file_.ReadNextRecord(), Record("two", 10));
}

TEST(RecordFileOpenTest, MissingFileIsNamedAndNeverCreated) {
  const TempDir dir;
  RecordFile file;
  const base::Status status = file.Open(dir / "DoseInd.NDX", 25);
  EXPECT_EQ(status.code(), base::Status::Code::kNotFound);
  EXPECT_NE(status.message().find("DoseInd.NDX"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir / "DoseInd.NDX"));
  EXPECT_FALSE(file.Open(dir.path(), 25).ok()) << "a folder is no record file";
  EXPECT_EQ(file.ReadRecord(1), std::string(25, '\0'));
  EXPECT_TRUE(file.atEnd());
}

}  // namespace
}  // namespace quillmore::input
