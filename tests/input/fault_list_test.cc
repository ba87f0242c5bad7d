#include "input/fault_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillmore::input {
namespace {

using Lines = std::vector<std::string>;

// Shown by line, faults of one line in the order found, the file's own
// (line 0) first without a number; past kFaultsShown, one line counts the rest.
TEST(FaultListTest, ShowsTheFirstFaultsByLineAndCountsTheRest) {
  FaultList faults;
  faults.Add(7, "b");
  faults.Add(3, "a");
  faults.Add(7, "c");
  faults.Add(0, "whole");
  EXPECT_EQ(faults.ShownLines("in.csv", "bad rows"),
            (Lines{"in.csv: whole", "in.csv:3: a", "in.csv:7: b", "in.csv:7: c"}));
  EXPECT_EQ(faults[0].message, "b") << "listed as found until sorted";
  faults.SortByLine();
  EXPECT_EQ(faults[3].message, "c");

  FaultList many;
  for (int line = 20; line > 0; --line) many.Add(line, "x");
  EXPECT_EQ(many.ShownLines("f", "bad rows").size(), kFaultsShown) << "all shown, none counted";
  many.Add(21, "x");
  many.Add(0, "y");
  const Lines shown = many.ShownLines("f", "bad rows");
  ASSERT_EQ(shown.size(), kFaultsShown + 1);
  EXPECT_EQ(shown[0], "f: y");
  EXPECT_EQ(shown[kFaultsShown - 1], "f:19: x");
  EXPECT_EQ(shown.back(), "f: 2 more bad rows not shown");
}

}  // namespace
}  // namespace quillmore::input
