#include "input/path_resolver.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace quillmore::input {
namespace {

TEST(ResolvePath, FindsExistingFoldersWhateverTheCase) {
  testing::TempDir dir;
  std::filesystem::create_directories(dir / "DATA");
  std::filesystem::create_directories(dir / "OutPut");
  testing::WriteFile(dir / "DATA" / "DoseInd.NDX", "x");

  EXPECT_EQ(ResolvePath(dir.path(), "data"), dir / "DATA");
  EXPECT_EQ(ResolvePath(dir.path(), "DATA"), dir / "DATA");
  EXPECT_EQ(ResolvePath(dir.path(), "data\\doseind.ndx"), dir / "DATA" / "DoseInd.NDX");
  EXPECT_EQ(ResolvePath(dir.path(), "OUTPUT/"), dir / "OutPut");
  EXPECT_EQ(ResolvePath(dir.path(), "OUTPUT\\Tc-99m_100_H.TXT"),
            dir / "OutPut" / "Tc-99m_100_H.TXT");
  // Missing parts are kept as written, so they can still be created.
  EXPECT_EQ(ResolvePath(dir.path(), "new/DATA"), dir / "new" / "DATA");
  EXPECT_EQ(ResolvePath(dir.path(), dir.path().string() + "/data"), dir / "DATA");
}

TEST(ResolvePath, ExactNameWinsOverOtherCases) {
  testing::TempDir dir;
  std::filesystem::create_directories(dir / "data");
  std::filesystem::create_directories(dir / "DATA");
  EXPECT_EQ(ResolvePath(dir.path(), "data"), dir / "data");
  EXPECT_EQ(ResolvePath(dir.path(), "DATA"), dir / "DATA");
  EXPECT_EQ(ResolvePath(dir.path(), "Data"), dir / "DATA")
      << "the smallest name, for a stable choice";
}

}  // namespace
}  // namespace quillmore::input
