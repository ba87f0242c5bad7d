#include "input/region_names.h"

#include <gtest/gtest.h>

namespace quillmore::input {
namespace {

TEST(BuildRegionNames, TrimsAndTreatsTheBarOnlyInTheLastHeading) {
  std::array<std::string, kRegionColumnCount> headings;
  headings.fill("  Liver   ");
  headings[0] = "Bone|Surf ";
  headings[28] = "|Other|Ti|";
  const std::vector<std::string> names = BuildRegionNames(headings);
  ASSERT_EQ(names.size(), 30U);
  EXPECT_EQ(names[0], "Bone|Surf");
  EXPECT_EQ(names[1], "Liver");
  EXPECT_EQ(names[28], "Other Ti");
  EXPECT_EQ(names[29], "Lung");
  headings[28] = std::string("\tTab\0    ", 9);
  EXPECT_EQ(BuildRegionNames(headings)[28], std::string("\tTab\0", 5)) << "only blanks are trimmed";
}

}  // namespace
}  // namespace quillmore::input
