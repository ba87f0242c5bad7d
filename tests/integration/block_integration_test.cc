#include "integration/block_integration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "integration/integrate_rate_block.h"
#include "integration/lung_weights.h"
#include "integration/rate_curve.h"
#include "support/data_builder.h"
#include "support/temp_dir.h"

namespace quillmore::integration {
namespace {

using input::DataKind;
using input::kRegionColumnCount;
using testing::BlockSpec;
using testing::DoseRateFileBuilder;
using testing::ScaledRates;

using Rates = std::array<double, kRegionColumnCount>;

// Rates of region k: k x (1 + t/2) at time t, a straight line whose integral
// from 0 to T is k x (T + T^2/4) however the curve is extrapolated.
double LowIntegral(double t) {
  return t + t * t / 4;
}
Rates LowRates(double t) {
  return ScaledRates(1 + t / 2);
}
// Second component: k x (3 - t/4), integral k x (3T - T^2/8).
double HighIntegral(double t) {
  return 3 * t - t * t / 8;
}
Rates HighRates(double t) {
  return ScaledRates(3 - t / 4);
}

BlockSpec Block(char letLetter, const std::vector<double>& times) {
  BlockSpec block;
  block.name = "Cs-137";
  block.letLetter = letLetter;
  block.times = times;
  for (double t : times) {
    block.rates.push_back(LowRates(t));
    block.highRates.push_back(HighRates(t));
  }
  return block;
}

// A header record of `block` with the 4-character count field replaced (the
// builder cannot write a negative count).
std::string HeaderWithCount(const BlockSpec& block, std::string_view count) {
  std::string header = testing::BlockHeaderRecord(block, DataKind::kInhalation);
  header.replace(27, 4, testing::RightField(count, 4));
  return header.substr(0, input::kDoseRateRecordLength - 2);
}

class BlockIntegrationTest : public ::testing::Test {
 protected:
  void Open() {
    builder_.WriteTo(dir_ / "TQV27INH2.DRT");
    ASSERT_TRUE(file_.Open(dir_ / "TQV27INH2.DRT").ok());
    file_.PositionAt(3);
  }
  base::Status Next(const std::vector<int>& regions, const std::vector<double>& times) {
    header_ = file_.ReadBlockHeader(DataKind::kInhalation);
    return ReadAndIntegrateBlock(file_, header_, regions, times, workspace_, coefficients_);
  }
  void ExpectColumn(int component, int position, const std::function<double(double)>& expected,
                    const std::vector<double>& times) {
    for (std::size_t k = 0; k < times.size(); ++k) {
      const double want = expected(times[k]);
      EXPECT_NEAR(coefficients_.at(component, position, static_cast<int>(k)), want,
                  1e-13 * (1 + std::fabs(want)))
          << "component " << component << " position " << position << " time " << times[k];
    }
  }
  void ExpectAllZero() {
    for (int c = 0; c < kComponentCount; ++c) {
      for (int j = 0; j < coefficients_.regionCount(); ++j) {
        ExpectColumn(
            c, j, [](double) { return 0.0; }, times_);
      }
    }
  }
  // Reads the next block as a valid one and checks its first region's low LET.
  void ExpectNextBlockReadsCleanly() {
    const base::Status next = Next({2}, times_);
    EXPECT_TRUE(next.ok()) << next.message();
    EXPECT_EQ(header_.name, "Next   ");
    ExpectColumn(
        kLowLet, 0, [](double t) { return 2 * LowIntegral(t); }, times_);
  }
  void AddNextBlock() {
    BlockSpec next = Block('L', {1, 2, 4, 8});
    next.name = "Next";
    builder_.AddBlock(next);
  }

  const std::vector<double> times_{0, 0.5, 1, 3, 8, 20};
  testing::TempDir dir_;
  DoseRateFileBuilder builder_{DataKind::kInhalation};
  input::DoseRateFile file_;
  input::BlockHeader header_;
  BlockWorkspace workspace_;
  CoefficientTable coefficients_;
};

TEST_F(BlockIntegrationTest, SingleComponentBlocksFillOnlyTheirColumn) {
  builder_.AddBlock(Block('L', {1, 2, 4, 8}));
  builder_.AddBlock(Block('H', {1, 2, 4, 8}));
  builder_.AddBlock(Block('X', {1, 2, 4, 8}));  // no known component: nothing integrated
  Open();
  const auto region = [](int k) { return [k](double t) { return k * LowIntegral(t); }; };
  const auto zero = [](double) { return 0.0; };

  EXPECT_TRUE(Next({3, 29}, times_).ok());
  EXPECT_EQ(coefficients_.at(kLowLet, 0, 0), 0.0);  // integration time 0
  ExpectColumn(kLowLet, 0, region(3), times_);
  ExpectColumn(kLowLet, 1, region(29), times_);
  ExpectColumn(kHighLet, 0, zero, times_);
  ExpectColumn(kHighLet, 1, zero, times_);

  EXPECT_TRUE(Next({29, 3}, times_).ok());
  ExpectColumn(kHighLet, 0, region(29), times_);
  ExpectColumn(kLowLet, 0, zero, times_);

  EXPECT_TRUE(Next({3}, times_).ok());
  ExpectAllZero();
}

TEST_F(BlockIntegrationTest, PairsFeedLowThenHighAndTheSecondTimeCounts) {
  builder_.AddBlock(Block('B', {1, 2, 4, 8}));
  // Each pair's first record carries a time that would break the order.
  BlockSpec pairs = Block('B', {1, 2});
  builder_.AddRawRecord(testing::BlockHeaderRecord(pairs, DataKind::kInhalation));
  for (double t : {1.0, 2.0}) {
    builder_.AddRawRecord(testing::RateRecordText(100, LowRates(t)));
    builder_.AddRawRecord(testing::RateRecordText(t, HighRates(t)));
  }
  Open();
  EXPECT_TRUE(Next({5, 30}, times_).ok());
  EXPECT_EQ(header_.recordsPerPoint, 2);
  ExpectColumn(
      kLowLet, 0, [](double t) { return 5 * LowIntegral(t); }, times_);
  ExpectColumn(
      kHighLet, 0, [](double t) { return 5 * HighIntegral(t); }, times_);

  const base::Status second = Next({5}, times_);
  EXPECT_TRUE(second.ok()) << second.message();
  ExpectColumn(
      kLowLet, 0, [](double t) { return 5 * LowIntegral(t); }, times_);
  ExpectColumn(
      kHighLet, 0, [](double t) { return 5 * HighIntegral(t); }, times_);
}

TEST_F(BlockIntegrationTest, OneTimePointRepeatsTheRateInBothColumns) {
  builder_.AddBlock(Block('B', {5}));
  builder_.AddBlock(Block('L', {5}));  // its high LET must not keep the B block's
  builder_.AddBlock(Block('X', {5}));  // no letter to integrate by, yet its rate stands
  Open();
  const double rate = 1 + 5.0 / 2;
  EXPECT_TRUE(Next({4}, times_).ok());
  ExpectColumn(
      kLowLet, 0, [&](double) { return 4 * rate; }, times_);
  ExpectColumn(
      kHighLet, 0, [](double) { return 4 * (3 - 5.0 / 4); }, times_);
  EXPECT_TRUE(Next({4}, times_).ok());
  ExpectColumn(
      kLowLet, 0, [&](double) { return 4 * rate; }, times_);
  ExpectColumn(
      kHighLet, 0, [](double) { return 0.0; }, times_);
  EXPECT_TRUE(Next({4}, times_).ok());
  ExpectColumn(
      kLowLet, 0, [](double) { return 0.0; }, times_);
  ExpectColumn(
      kHighLet, 0, [&](double) { return 4 * rate; }, times_);
}

// The letter is judged before the count: the tables' warnings and the
// intake history's reasons name an unknown letter first.
TEST(IntegrationOf, TheLetterComesFirstThenTheCount) {
  EXPECT_EQ(IntegrationOf('X', 0), BlockIntegration::kUnknownLetter);
  EXPECT_EQ(IntegrationOf('\0', 1), BlockIntegration::kUnknownLetter);
  EXPECT_EQ(IntegrationOf('B', 0), BlockIntegration::kNoTimePoints);
  EXPECT_EQ(IntegrationOf('L', 1), BlockIntegration::kSinglePoint);
  EXPECT_EQ(IntegrationOf('H', 2), BlockIntegration::kCurves);
  EXPECT_EQ(IntegrationOf('B', input::kMaxTimePoints), BlockIntegration::kCurves);
}

// Past the last time 8 the lines go on. Worked by hand for region 1: the
// rising low LET (rate 5, dose 24 at 8) adds (T - 8) + (T^2 - 64)/4: 1.265625
// by 8.25, within 5 x 0.25 + 0.024, but 24 by 12, more than 5 x 4 + 0.024. The falling high LET
// (rate 1, dose 16 at 8) adds 3(T - 8) - (T^2 - 64)/8: 2 by 12 and 0 by 16, within [-0.016, 1 x
// span
// + 0.016], then -6 by 20, below it.
TEST_F(BlockIntegrationTest, TimesPastTheDataAreJudgedByWhatTheContinuedCurveAdds) {
  builder_.AddBlock(Block('B', {1, 2, 4, 8}));
  builder_.AddBlock(Block('B', {5}));  // one point: a rate, never extended
  Open();
  const std::vector<double> times{1, 8, 8.25, 12, 16, 20};
  using enum Extrapolation;
  const std::vector<std::array<Extrapolation, 2>> expected{
      {kNone, kNone},         {kNone, kNone},         {kBounded, kBounded},
      {kUnbounded, kBounded}, {kUnbounded, kBounded}, {kUnbounded, kUnbounded}};
  ASSERT_TRUE(Next({1}, times).ok());
  for (int k = 0; k < 6; ++k) {
    for (int c = 0; c < kComponentCount; ++c) {
      EXPECT_EQ(coefficients_.extrapolation(c, 0, k),
                expected[static_cast<std::size_t>(k)][static_cast<std::size_t>(c)])
          << "time " << times[static_cast<std::size_t>(k)] << " component " << c;
    }
  }
  ASSERT_TRUE(Next({1}, times).ok());
  for (int k = 0; k < 6; ++k) EXPECT_EQ(coefficients_.extrapolation(kHighLet, 0, k), kNone);
}

TEST_F(BlockIntegrationTest, LungWeighsFourColumnsWithSinglePrecisionWeights) {
  BlockSpec block = Block('L', {0.5, 1, 3, 7, 30});
  const std::vector<double> falling{2.5, 1.25, 0.5, 0.125, 0.0625};  // exact in the file
  for (std::size_t i = 0; i < block.times.size(); ++i) {
    for (std::size_t k = 14; k < 18; ++k) block.rates[i][k] = falling[i];
  }
  builder_.AddBlock(block);
  builder_.AddBlock(Block('L', {1, 2, 4, 8}));
  Open();
  ASSERT_TRUE(Next({15, 30, 18}, times_).ok());
  for (int k = 1; k < static_cast<int>(times_.size()); ++k) {
    const double column = coefficients_.at(kLowLet, 0, k);
    const double lung = coefficients_.at(kLowLet, 1, k);
    EXPECT_NEAR(lung, 0.9990000128746033 * column, 1e-15 * column) << k;
    EXPECT_NE(lung, column);
    EXPECT_EQ(coefficients_.at(kLowLet, 2, k), column);
  }
  // Distinct columns 15 to 18 (k x rate) are each weighed by their own float weight.
  ASSERT_TRUE(Next({30}, times_).ok());
  const double factor = 15.0 * double{kLungWeights[0]} + 16.0 * double{kLungWeights[1]} +
                        17.0 * double{kLungWeights[2]} + 18.0 * double{kLungWeights[3]};
  ExpectColumn(
      kLowLet, 0, [&](double t) { return factor * LowIntegral(t); }, times_);
}

TEST_F(BlockIntegrationTest, OversizedBlockIsSkippedWholeAndMarkedInvalid) {
  std::vector<double> many;
  for (int i = 1; i <= 150; ++i) many.push_back(i);
  builder_.AddBlock(Block('L', many));  // the most a block may hold
  many.push_back(151);
  builder_.AddBlock(Block('L', many));
  builder_.AddBlock(Block('B', many));
  AddNextBlock();
  Open();
  base::Status result = Next({1, 30}, times_);
  EXPECT_TRUE(result.ok()) << result.message();
  EXPECT_GT(coefficients_.at(kLowLet, 0, 1), 0);
  result = Next({1, 30}, times_);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.message(),
            "time-point count 151 is outside 0 to 150 (block header at record 154)");
  ExpectAllZero();
  result = Next({1, 30}, times_);  // "B": twice its points skipped
  EXPECT_FALSE(result.ok());
  ExpectAllZero();
  ExpectNextBlockReadsCleanly();
}

TEST_F(BlockIntegrationTest, NegativeCountAndBadRecordsPerPointAreConsumedLikeTheBlockWalk) {
  builder_.AddRawRecord(HeaderWithCount(Block('L', {}), "-1"));  // consumes nothing
  BlockSpec triple = Block('L', {1, 2, 3});
  triple.recordsPerPoint = 3;  // consumes N records
  builder_.AddBlock(triple);
  BlockSpec triplePairs = Block('B', {1, 2, 3});
  triplePairs.recordsPerPoint = 3;  // consumes 2N records
  builder_.AddBlock(triplePairs);
  AddNextBlock();
  Open();
  base::Status result = Next({1}, times_);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.message(), "time-point count -1 is outside 0 to 150 (block header at record 3)");
  ExpectAllZero();
  result = Next({1}, times_);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.message(),
            "records per time point 3 is neither 1 nor 2 (block header at record 4)");
  ExpectAllZero();
  EXPECT_FALSE(Next({1}, times_).ok());
  ExpectAllZero();
  ExpectNextBlockReadsCleanly();
}

TEST_F(BlockIntegrationTest, TimesNotStrictlyIncreasingGiveZerosAndNameTheRecord) {
  builder_.AddBlock(Block('L', {1, 2, 2, 3}));
  builder_.AddBlock(Block('B', {1, 3, 2}));
  AddNextBlock();
  Open();
  base::Status result = Next({1, 30}, times_);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.message(), "time points not strictly increasing at record 6");
  ExpectAllZero();
  result = Next({1, 30}, times_);
  EXPECT_FALSE(result.ok());
  // Header 8, pairs 9-10, 11-12, 13-14: the high-LET record carries the time that counts.
  EXPECT_EQ(result.message(), "time points not strictly increasing at record 14");
  ExpectAllZero();
  ExpectNextBlockReadsCleanly();
}

TEST_F(BlockIntegrationTest, EmptyBlockGivesZeros) {
  builder_.AddBlock(Block('L', {}));
  AddNextBlock();
  Open();
  EXPECT_TRUE(Next({1, 2}, times_).ok());
  ExpectAllZero();
  ExpectNextBlockReadsCleanly();
}

TEST(IntegrateRateBlockTest, CurvesOverUnorderedTimesGetZeros) {
  TimeGrid grid;
  grid.SetCount(3);
  grid.at(0) = 1;
  grid.at(1) = 1;
  grid.at(2) = 2;
  RateTable rates;
  rates.Reset(1);
  for (int i = 0; i < 3; ++i) rates.at(kLowLet, 0, i) = 1;
  std::array<double, input::kMaxTimePoints> slopes{};
  CoefficientTable coefficients;
  const std::vector<double> times{1, 2};
  const base::Status result = IntegrateRateBlock(rates, grid, 'L', times, slopes, coefficients);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(coefficients.at(kLowLet, 0, 1), 0.0);
}

// One curve of three points 0, 10, 20 d in the low-LET column of region 1.
struct ThreePoints {
  TimeGrid grid;
  RateTable rates;
  ThreePoints(double f0, double f1, double f2) {
    grid.SetCount(3);
    for (int i = 0; i < 3; ++i) grid.at(i) = 10.0 * i;
    rates.Reset(1);
    rates.at(kLowLet, 0, 0) = f0;
    rates.at(kLowLet, 0, 1) = f1;
    rates.at(kLowLet, 0, 2) = f2;
  }
  CoefficientTable Integrate(std::span<const double> times, Tail tail) const {
    std::array<double, input::kMaxTimePoints> slopes{};
    CoefficientTable coefficients;
    EXPECT_TRUE(IntegrateRateBlock(rates, grid, 'L', times, slopes, coefficients, tail).ok());
    return coefficients;
  }
};

TEST(IntegrateRateBlockTest, PastTheDataTheTailAddsItsExactIntegralToTheDoseAtTheLastPoint) {
  const std::vector<double> times{10, 20, 40};
  // Rates halving every 10 d: the exponential tail keeps halving, so from 20
  // to 40 d it adds 1 x 10/ln 2 x (1 - 1/4).
  const ThreePoints halving(4, 2, 1);
  const CoefficientTable cubic = halving.Integrate(times, Tail::kCubic);
  const CoefficientTable exponential = halving.Integrate(times, Tail::kExponential);
  const double atLast = cubic.at(kLowLet, 0, 1);
  const double expected = static_cast<double>(atLast + 7.5L / std::log(2.0L));
  EXPECT_NEAR(exponential.at(kLowLet, 0, 2), expected, 1e-15 * expected);
  for (int k = 0; k < 2; ++k) {  // within the data the tail changes nothing
    EXPECT_EQ(exponential.at(kLowLet, 0, k), cubic.at(kLowLet, 0, k));
    EXPECT_EQ(exponential.extrapolation(kLowLet, 0, k), Extrapolation::kNone);
  }
  EXPECT_EQ(exponential.extrapolation(kLowLet, 0, 2), Extrapolation::kBounded);
  EXPECT_EQ(exponential.at(kHighLet, 0, 2), 0.0);  // not carried: 0 under every tail
  EXPECT_EQ(exponential.extrapolation(kHighLet, 0, 2), Extrapolation::kNone);
  EXPECT_EQ(halving.Integrate(times, Tail::kZero).at(kLowLet, 0, 2), atLast);

  // A last pair that does not fall keeps its last rate (20 d x 3), exactly;
  // a last rate of 0 adds nothing.
  const ThreePoints rising(1, 2, 3);
  const CoefficientTable kept = rising.Integrate(times, Tail::kExponential);
  EXPECT_EQ(kept.at(kLowLet, 0, 2), kept.at(kLowLet, 0, 1) + 60.0);
  const ThreePoints ending(4, 2, 0);
  const CoefficientTable ended = ending.Integrate(times, Tail::kExponential);
  EXPECT_EQ(ended.at(kLowLet, 0, 2), ended.at(kLowLet, 0, 1));

  // The curve of plots and curve files follows the same tail, bit for bit.
  const std::optional<RateCurve> curve =
      RateCurve::FromBlock(halving.rates, halving.grid, 'L', kLowLet, 0, Tail::kExponential);
  ASSERT_TRUE(curve.has_value());
  EXPECT_EQ(curve->Doses(times), (std::vector<double>{exponential.at(kLowLet, 0, 0), atLast,
                                                      exponential.at(kLowLet, 0, 2)}));
  EXPECT_NEAR(curve->Rate(30), 0.5, 1e-15);
  EXPECT_EQ(curve->Rate(15),
            RateCurve::FromBlock(halving.rates, halving.grid, 'L', kLowLet, 0)->Rate(15));
  EXPECT_EQ(curve->Extrapolations(times),
            (std::vector<Extrapolation>{Extrapolation::kNone, Extrapolation::kNone,
                                        Extrapolation::kBounded}));
  const std::optional<RateCurve> zero =
      RateCurve::FromBlock(halving.rates, halving.grid, 'L', kLowLet, 0, Tail::kZero);
  EXPECT_EQ(zero->Rate(20.5), 0.0);
  EXPECT_EQ(zero->Doses(times)[2], atLast);
}

}  // namespace
}  // namespace quillmore::integration
