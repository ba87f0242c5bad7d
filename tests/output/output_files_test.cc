#include "output/output_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "input/path_resolver.h"
#include "support/temp_dir.h"

namespace quillmore::output {
namespace {

namespace fs = std::filesystem;
using input::DataKind;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

std::vector<std::string> FileNames(const OutputFiles& files) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < files.count(); ++i) names.push_back(files.path(i).filename());
  return names;
}

TEST(OutputFileName, NameDaysAndKind) {
  const auto name = [](std::string_view nuclide, std::int32_t days, DataKind kind) {
    const base::Result<std::string> named = OutputFileName(nuclide, days, kind);
    return named.ok() ? named.value() : "refused: " + named.status().message();
  };
  EXPECT_EQ(name("Tc-99m ", 3650, DataKind::kInhalation), "Tc-99m_3650_H.TXT");
  EXPECT_EQ(name("Am-241 ", 7300, DataKind::kIngestion), "Am-241_7300_G.TXT");
  EXPECT_EQ(name("H-3    ", 365, DataKind::kIngestion), "H-3_365_G.TXT");
  EXPECT_EQ(name("  Te-131m", 100, DataKind::kInhalation), "Te-131m_100_H.TXT");
}

TEST(OutputFileName, RefusesNamesThatWouldLeaveTheFolder) {
  for (const std::string_view bad :
       {std::string_view("../x   "), std::string_view("a/b    "), std::string_view("a\\b    "),
        std::string_view("a\0b    ", 7), std::string_view(".hidden"), std::string_view("       "),
        std::string_view("")}) {
    EXPECT_EQ(OutputFileName(bad, 100, DataKind::kInhalation).status().code(),
              base::Status::Code::kInvalidArgument)
        << bad;
  }
}

TEST(OpenOutputFiles, AllAgesInSelectionOrderInTheExistingFolder) {
  TempDir dir;
  fs::create_directory(dir / "OutPut");  // as the driver finds it in any letter case
  const std::vector<int> allAges{1, 2, 3, 4, 5, 6};
  OutputFiles files;
  ASSERT_TRUE(OpenOutputFiles(input::ResolvePath(dir.path(), "OUTPUT"), "Tc-99m ", allAges,
                              DataKind::kInhalation, files)
                  .ok());
  EXPECT_EQ(FileNames(files), (std::vector<std::string>{"Tc-99m_100_H.TXT", "Tc-99m_365_H.TXT",
                                                        "Tc-99m_1825_H.TXT", "Tc-99m_3650_H.TXT",
                                                        "Tc-99m_5475_H.TXT", "Tc-99m_7300_H.TXT"}));
  EXPECT_EQ(files.path(0).parent_path(), dir / "OutPut");
  EXPECT_FALSE(fs::exists(dir / "OUTPUT") && !fs::equivalent(dir / "OUTPUT", dir / "OutPut"));

  const std::vector<int> reversed{6, 1};
  ASSERT_TRUE(
      OpenOutputFiles(dir / "OutPut", "H-3    ", reversed, DataKind::kIngestion, files).ok());
  EXPECT_EQ(FileNames(files), (std::vector<std::string>{"H-3_7300_G.TXT", "H-3_100_G.TXT"}));
}

TEST(OpenOutputFiles, WritesReachTheFileAtOnceAndReplaceEarlierContent) {
  TempDir dir;
  WriteFile(dir / "OUTPUT" / "I-131_3650_H.TXT", "old content of an earlier run\r\n");
  WriteFile(dir / "OUTPUT" / "I-131_3650_G.TXT", "other data set\r\n");
  const std::vector<int> tenYearOld{4};
  OutputFiles files;
  ASSERT_TRUE(
      OpenOutputFiles(dir / "OUTPUT", "I-131  ", tenYearOld, DataKind::kInhalation, files).ok());
  EXPECT_EQ(ReadFile(dir / "OUTPUT" / "I-131_3650_H.TXT"), "");
  ASSERT_TRUE(files.Write(0, "head\r\n").ok());
  EXPECT_EQ(ReadFile(files.path(0)), "head\r\n");  // before any close
  ASSERT_TRUE(files.Write(0, "rows\r\n").ok());
  ASSERT_TRUE(files.Close().ok());
  EXPECT_EQ(ReadFile(files.path(0)), "head\r\nrows\r\n");
  EXPECT_EQ(ReadFile(dir / "OUTPUT" / "I-131_3650_G.TXT"), "other data set\r\n");
  EXPECT_EQ(files.Write(0, "late").code(), base::Status::Code::kIoError);
}

TEST(OpenOutputFiles, CreatesAMissingFolder) {
  TempDir dir;
  const std::vector<int> adult{6};
  OutputFiles files;
  ASSERT_TRUE(OpenOutputFiles(dir / "OUTPUT", "Cs-137 ", adult, DataKind::kIngestion, files).ok());
  EXPECT_TRUE(fs::is_regular_file(dir / "OUTPUT" / "Cs-137_7300_G.TXT"));
}

TEST(OpenOutputFiles, FailuresNameTheFileAndLeaveNoFilesOpen) {
  TempDir dir;
  const std::vector<int> ages{1, 4};
  OutputFiles files;
  // A folder where the second file should be: it cannot be created, and the
  // first file keeps the table an earlier run wrote.
  fs::create_directories(dir / "OUTPUT" / "Tc-99m_3650_H.TXT");
  WriteFile(dir / "OUTPUT" / "Tc-99m_100_H.TXT", "earlier table");
  base::Status status =
      OpenOutputFiles(dir / "OUTPUT", "Tc-99m ", ages, DataKind::kInhalation, files);
  EXPECT_EQ(status.code(), base::Status::Code::kIoError);
  EXPECT_NE(status.message().find("Tc-99m_3650_H.TXT"), std::string::npos) << status.message();
  EXPECT_EQ(files.count(), 0u);
  EXPECT_EQ(ReadFile(dir / "OUTPUT" / "Tc-99m_100_H.TXT"), "earlier table");

  // OUTPUT is a plain file: the folder cannot be made.
  TempDir other;
  WriteFile(other / "OUTPUT", "");
  status = OpenOutputFiles(other / "OUTPUT", "Tc-99m ", ages, DataKind::kInhalation, files);
  EXPECT_EQ(status.code(), base::Status::Code::kIoError);
  EXPECT_NE(status.message().find("OUTPUT"), std::string::npos) << status.message();

  // Unsafe names and unknown age groups open nothing.
  EXPECT_EQ(OpenOutputFiles(dir / "OUTPUT", "../etc ", ages, DataKind::kInhalation, files).code(),
            base::Status::Code::kInvalidArgument);
  EXPECT_EQ(
      OpenOutputFiles(dir / "OUTPUT", "Tc-99m ", std::vector<int>{7}, DataKind::kInhalation, files)
          .code(),
      base::Status::Code::kInvalidArgument);
  EXPECT_FALSE(fs::exists(dir / "etc_100_H.TXT"));
}

TEST(OpenOutputFiles, UnwritableFolderIsReported) {
  OutputFiles files;
  // Nobody, not even root, can make a folder in /proc.
  if (fs::is_directory("/proc/self")) {
    const base::Status status = OpenOutputFiles("/proc/OUTPUT", "Tc-99m ", std::vector<int>{2},
                                                DataKind::kInhalation, files);
    EXPECT_EQ(status.code(), base::Status::Code::kIoError);
    EXPECT_NE(status.message().find("/proc/OUTPUT"), std::string::npos) << status.message();
  }
  TempDir dir;
  fs::create_directory(dir / "OUTPUT");
  fs::permissions(dir / "OUTPUT", fs::perms::owner_read | fs::perms::owner_exec);
  if (::access((dir / "OUTPUT").c_str(), W_OK) == 0) {
    fs::permissions(dir / "OUTPUT", fs::perms::owner_all);
    GTEST_SKIP() << "permissions do not bind this user (root)";
  }
  const base::Status status =
      OpenOutputFiles(dir / "OUTPUT", "Tc-99m ", std::vector<int>{2}, DataKind::kInhalation, files);
  fs::permissions(dir / "OUTPUT", fs::perms::owner_all);
  EXPECT_EQ(status.code(), base::Status::Code::kIoError);
  EXPECT_NE(status.message().find("Tc-99m_365_H.TXT"), std::string::npos) << status.message();
}

TEST(OpenOutputFiles, FailedWriteNamesTheFile) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TempDir dir;
  fs::create_directory(dir / "OUTPUT");
  fs::create_symlink("/dev/full", dir / "OUTPUT" / "Tc-99m_1825_H.TXT");
  OutputFiles files;
  ASSERT_TRUE(
      OpenOutputFiles(dir / "OUTPUT", "Tc-99m ", std::vector<int>{3}, DataKind::kInhalation, files)
          .ok());
  const base::Status status = files.Write(0, "row\r\n");
  EXPECT_EQ(status.code(), base::Status::Code::kIoError);
  EXPECT_NE(status.message().find("Tc-99m_1825_H.TXT"), std::string::npos) << status.message();
}

}  // namespace
}  // namespace quillmore::output
