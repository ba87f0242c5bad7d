#include "integration/hermite_slopes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace quillmore::integration {
namespace {

struct Slopes {
  std::vector<double> d;
  int status = 0;
};

Slopes SlopesOf(const std::vector<double>& x, const std::vector<double>& f) {
  Slopes result{std::vector<double>(x.size(), 99.0), 0};
  result.status = HermiteSlopes(x, f, result.d);
  return result;
}

void ExpectRelativelyNear(double actual, double expected) {
  EXPECT_NEAR(actual, expected, 1e-13 * std::fabs(expected)) << "expected " << expected;
}

TEST(SignTest, TransfersSignAndCompares) {
  EXPECT_EQ(SignTransfer(-3.0, 2.0), 3.0);
  EXPECT_EQ(SignTransfer(3.0, -2.0), -3.0);
  EXPECT_EQ(SignTransfer(-3.0, -0.0), 3.0);  // negative zero counts as >= 0
  EXPECT_EQ(SignTransfer(3.0, 0.0), 3.0);
  EXPECT_EQ(SlopeSign(-2.0, -5.0), 1.0);
  EXPECT_EQ(SlopeSign(2.0, -5.0), -1.0);
  EXPECT_EQ(SlopeSign(0.0, -5.0), 0.0);
  EXPECT_EQ(SlopeSign(-5.0, -0.0), 0.0);
}

TEST(HermiteSlopesTest, WorkedExampleFlattensPeakAndResetsRightEnd) {
  const Slopes s = SlopesOf({0.5, 1, 2, 5, 10}, {0, 8, 6, 2, 1});
  EXPECT_EQ(s.status, 1);
  ExpectRelativelyNear(s.d[0], 22.0);
  EXPECT_EQ(s.d[1], 0.0);
  ExpectRelativelyNear(s.d[2], -48.0 / 29.0);
  ExpectRelativelyNear(s.d[3], -96.0 / 259.0);
  EXPECT_EQ(s.d[4], 0.0);
}

TEST(HermiteSlopesTest, TwoPointsGiveTheSecant) {
  const Slopes s = SlopesOf({1, 3}, {2, 7});
  EXPECT_EQ(s.status, 0);
  EXPECT_EQ(s.d, (std::vector<double>{2.5, 2.5}));
}

TEST(HermiteSlopesTest, FlatStretches) {
  const Slopes constant = SlopesOf({0, 1, 2, 4}, {3, 3, 3, 3});
  EXPECT_EQ(constant.status, 0);
  EXPECT_EQ(constant.d, (std::vector<double>{0, 0, 0, 0}));

  const Slopes turn = SlopesOf({1, 2, 3, 4}, {1, 2, 2, 1});
  EXPECT_EQ(turn.status, 1);  // one change of direction across the flat stretch
  EXPECT_EQ(turn.d[1], 0.0);
  EXPECT_EQ(turn.d[2], 0.0);

  const Slopes pause = SlopesOf({1, 2, 3, 4}, {1, 2, 2, 3});
  EXPECT_EQ(pause.status, 0);  // rising, resting, rising again
}

TEST(HermiteSlopesTest, EndTestsAreSymmetric) {
  // Last interval flat after a fall: the three-point value -h2/hsum x del1 = 0.5
  // would make the last piece dip below its equal ends; it is reset to 0.
  const Slopes fall = SlopesOf({1, 2, 3, 4}, {4, 2, 1, 1});
  EXPECT_EQ(fall.status, 0);
  ExpectRelativelyNear(fall.d[0], -2.5);
  ExpectRelativelyNear(fall.d[1], -4.0 / 3.0);
  EXPECT_EQ(fall.d[2], 0.0);
  EXPECT_EQ(fall.d[3], 0.0);
  // The mirror at the left end, and a rise ending flat, alike.
  const Slopes rise = SlopesOf({1, 2, 3, 4}, {1, 1, 2, 4});
  EXPECT_EQ(rise.d[0], 0.0);
  EXPECT_EQ(SlopesOf({1, 2, 3, 4}, {1, 2, 4, 4}).d[3], 0.0);
  // A zero three-point value is 0 either way; two points keep their secant.
  EXPECT_EQ(SlopesOf({0, 1, 2}, {0, 0, 0}).d[2], 0.0);
  EXPECT_EQ(SlopesOf({0, 1}, {2, 2}).d, (std::vector<double>{0, 0}));
}

TEST(HermiteSlopesTest, EndSlopesClampToThreeSecantsWhereDataTurn) {
  // Three-point values 7 and -7 exceed three times the end secants 1 and -1.
  EXPECT_EQ(SlopesOf({0, 1, 2}, {0, 1, -10}).d[0], 3.0);
  EXPECT_EQ(SlopesOf({0, 1, 2}, {-10, 1, 0}).d[2], -3.0);
  // Below the clamp the three-point value stays.
  EXPECT_EQ(SlopesOf({0, 1, 2}, {0, 1, -1}).d[0], 2.5);
  EXPECT_EQ(SlopesOf({0, 1, 2}, {0, 1, 0}).d[0], 2.0);
}

TEST(HermiteSlopesTest, IncreasingDataHavePositiveInteriorSlopes) {
  const Slopes s = SlopesOf({0, 0.5, 2, 3, 7, 8}, {1, 1.1, 4, 4.2, 9, 30});
  EXPECT_EQ(s.status, 0);
  for (std::size_t i = 1; i + 1 < s.d.size(); ++i) EXPECT_GT(s.d[i], 0.0) << i;
}

TEST(HermiteSlopesTest, RejectsTooFewPointsAndUnorderedAbscissaeUntouched) {
  const Slopes one = SlopesOf({1}, {2});
  EXPECT_EQ(one.status, kTooFewPoints);
  EXPECT_EQ(one.d[0], 99.0);
  const Slopes equal = SlopesOf({1, 2, 2, 3}, {1, 2, 3, 4});
  EXPECT_EQ(equal.status, kNotIncreasing);
  EXPECT_EQ(equal.d, (std::vector<double>(4, 99.0)));
  EXPECT_EQ(SlopesOf({1, 3, 2}, {1, 2, 3}).status, kNotIncreasing);
}

}  // namespace
}  // namespace quillmore::integration
