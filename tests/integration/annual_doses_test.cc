// The year tables of an intake history: the parts from past the data, held
// only once one is set, through reuse and sums.
#include "integration/annual_doses.h"

#include <gtest/gtest.h>

namespace quillmore::integration {
namespace {

TEST(YearDoses, TailPartsAreZeroUntilSetAndFollowTheirTableThroughReuseAndSums) {
  YearDoses part;
  part.Resize(2001, 2, 2);
  part.low(2001, 1) = 3;
  EXPECT_FALSE(part.hasTails());
  EXPECT_EQ(part.lowTail(2002, 1), 0);
  part.SetTails(2002, 1, 0.25, 0.5);
  EXPECT_TRUE(part.hasTails());
  EXPECT_EQ(part.lowTail(2001, 1), 0);  // the others stay 0
  EXPECT_EQ(part.highTail(2002, 0), 0);

  // A person's table takes the parts' tails, at their years, from the first
  // part that has them; a part without them adds only its values.
  YearDoses person;
  person.Reset(2000, 3, 2);
  YearDoses within;
  within.Resize(2000, 3, 2);
  for (int year = 2000; year <= 2002; ++year) {
    for (int j = 0; j < 2; ++j) {
      within.low(year, j) = 1;
      within.high(year, j) = 2;
      within.extrapolation(year, j) = Extrapolation::kNone;
    }
  }
  person.Add(within);
  EXPECT_FALSE(person.hasTails());
  part.low(2001, 0) = part.low(2002, 0) = part.low(2002, 1) = 0;
  part.high(2001, 0) = part.high(2001, 1) = part.high(2002, 0) = part.high(2002, 1) = 0;
  part.extrapolation(2001, 0) = part.extrapolation(2001, 1) = Extrapolation::kNone;
  part.extrapolation(2002, 0) = Extrapolation::kNone;
  part.extrapolation(2002, 1) = Extrapolation::kBounded;
  person.Add(part);
  person.Add(within);
  EXPECT_EQ(person.low(2001, 1), 5);
  EXPECT_EQ(person.lowTail(2002, 1), 0.25);
  EXPECT_EQ(person.highTail(2002, 1), 0.5);
  EXPECT_EQ(person.lowTail(2000, 1), 0);
  EXPECT_EQ(person.extrapolation(2002, 1), Extrapolation::kBounded);
  person.Add(part);
  EXPECT_EQ(person.highTail(2002, 1), 1);

  // A table reused for a part within its data keeps none of the tails it held.
  part.Resize(2001, 2, 2);
  EXPECT_FALSE(part.hasTails());
  EXPECT_EQ(part.highTail(2002, 1), 0);
  part.SetTails(2001, 0, 0, 0.125);
  EXPECT_EQ(part.highTail(2002, 1), 0);
}

}  // namespace
}  // namespace quillmore::integration
