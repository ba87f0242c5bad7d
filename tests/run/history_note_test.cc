#include "run/history_note.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/data_index.h"
#include "run/intake_blocks.h"
#include "support/data_builder.h"
#include "support/nuclide_run_fixture.h"

namespace quillmore::run {
namespace {

using integration::Tail;

integration::PersonDoses Person(const std::string& name) {
  integration::PersonDoses person;
  person.person = name;
  person.doses.Reset(2059, 3, 2);
  return person;
}

TEST(PastDataNote, NamesTheLargestShareOfAValueAboveZero) {
  std::vector<integration::PersonDoses> persons{Person("A"), Person("M12")};
  integration::YearDoses& a = persons[0].doses;
  a.high(2059, 0) = 4e-9;
  a.SetTails(2059, 0, 0, 1e-9);  // 25 %
  a.low(2061, 1) = 0;
  a.SetTails(2061, 1, 1e-12, 0);  // no share of a value of 0
  a.low(2060, 0) = -1e-12;
  a.SetTails(2060, 0, -1e-12, 0);  // nor of a negative value
  integration::YearDoses& m = persons[1].doses;
  m.low(2060, 1) = 1e-9;
  m.SetTails(2060, 1, 0.38e-9, 0);
  m.high(2061, 1) = 1e-9;
  m.SetTails(2061, 1, 0, 0.3e-9);
  const std::vector<int> regions{3, 7};
  // Person by person, as the history hands them on.
  const auto largest = [&persons] {
    PastShare share;
    for (const integration::PersonDoses& person : persons) AddPastShares(person, share);
    return share;
  };
  EXPECT_EQ(PastDataNote(Tail::kExponential, {9, 7, 3}, largest(), regions),
            "7 of 9 intakes run past the last tabulated time of their data; past it the rate "
            "follows the exponential tail (columns low_let_tail_gy, high_let_tail_gy); the "
            "largest share from past the data is 38 % (person M12, year 2060, region 7, low "
            "LET); 3 blocks whose last two rates do not fall keep their last rate");
  // Under the zero tail nothing comes from past the data.
  EXPECT_EQ(PastDataNote(Tail::kZero, {9, 7, 0}, largest(), regions),
            "7 of 9 intakes run past the last tabulated time of their data; past it the rate "
            "follows the zero tail");
  EXPECT_EQ(PastDataNote(Tail::kCubic, {9, 7, 3}, largest(), regions), std::nullopt);
  EXPECT_EQ(PastDataNote(Tail::kExponential, {9, 0, 0}, largest(), regions), std::nullopt);

  m.SetTails(2060, 1, 0, 0);
  m.SetTails(2061, 1, 0, 0.004e-9);
  a.SetTails(2059, 0, 0, 0.003e-9);
  EXPECT_EQ(PastDataNote(Tail::kExponential, {1, 1, 1}, largest(), regions),
            "1 of 1 intake runs past the last tabulated time of its data; past it the rate "
            "follows the exponential tail (columns low_let_tail_gy, high_let_tail_gy); the "
            "largest share from past the data is under 1 % (person M12, year 2061, region 7, "
            "high LET); 1 block whose last two rates do not fall keeps its last rate");
  m.SetTails(2061, 1, 0, 0);
  a.SetTails(2059, 0, 0, 0);
  EXPECT_EQ(PastDataNote(Tail::kExponential, {2, 1, 0}, largest(), regions),
            "1 of 2 intakes runs past the last tabulated time of its data; past it the rate "
            "follows the exponential tail (columns low_let_tail_gy, high_let_tail_gy); no dose "
            "comes from past the data");
}

TEST(LeftOutNote, CountsTheIntakesNamesTheFirstRowsAndThePersonsWithoutRows) {
  const input::TablePlaces file{"in.csv", std::nullopt};
  EXPECT_EQ(LeftOutNote(file, {}, {}, "--until 2000"), std::nullopt);
  EXPECT_EQ(LeftOutNote(file, std::vector<int>{7}, {}, "until_age=70"),
            "1 intake starts on or after the end of follow-up set by until_age=70 and "
            "contributes nothing (in.csv line 7)");
  std::vector<int> lines;
  std::vector<std::string> persons;
  for (int n = 2; n <= 8; ++n) lines.push_back(n);
  for (int n = 1; n <= 22; ++n) persons.push_back("P" + std::to_string(n));
  std::string named = "P1";
  for (int n = 2; n <= 20; ++n) named += ", P" + std::to_string(n);
  EXPECT_EQ(LeftOutNote(file, lines, persons, "--until 2000 and --until-age 70"),
            "7 intakes start on or after the end of follow-up set by --until 2000 and "
            "--until-age 70 and contribute nothing (in.csv lines 2, 3, 4, 5, 6 and 2 more); 22 "
            "persons are left with no intake and have no rows: " +
                named + " and 2 more");
  EXPECT_EQ(LeftOutNote(file, std::vector<int>{3, 9}, std::vector<std::string>{"B"}, "x"),
            "2 intakes start on or after the end of follow-up set by x and contribute nothing "
            "(in.csv lines 3, 9); 1 person is left with no intake and has no rows: B");
  // A data frame's rows by position and index label.
  const input::TablePlaces frame{"intakes", std::vector<std::string>{"a", "b", "c", "W-7"}};
  EXPECT_EQ(LeftOutNote(frame, std::vector<int>{2, 5}, {}, "x"),
            "2 intakes start on or after the end of follow-up set by x and contribute nothing "
            "(DataFrame row 0 (index a), DataFrame row 3 (index W-7))");
}

// A block keeps its last rate under the exponential tail when one curve of
// the selection, in either component, ends on a positive rate not below the
// one before; never under the zero tail.
class HistoryBlocksTest : public testing::NuclideRunTest {};

TEST_F(HistoryBlocksTest, KeepsLastRateWhenOneSelectedCurveDoesNotFall) {
  const std::int32_t start = builder_.NextRecordNumber();
  testing::BlockSpec falling = testing::Block("H-3", 7300, 'B');  // every rate falls
  testing::BlockSpec rising = falling;  // region 1's high-LET rate rises at the end
  rising.highRates[2][0] = rising.highRates[1][0] * 1.5;
  testing::BlockSpec flat = falling;  // region 2's low-LET rate stays
  flat.rates[2][1] = flat.rates[1][1];
  testing::BlockSpec gone = falling;  // region 1 ends at 0, after a higher rate
  gone.rates[2][0] = 0;
  gone.highRates[2][0] = 0;
  for (const testing::BlockSpec& block : {falling, rising, flat, gone}) builder_.AddBlock(block);
  builder_.WriteTo(dir_ / "TQV27INH2.DRT");
  ASSERT_TRUE(file_.Open(dir_ / "TQV27INH2.DRT").ok());
  const input::IndexEntry entry{"H-3    ", 0, start};
  std::vector<std::vector<bool>> kept;
  for (const std::vector<int>& regions : std::vector<std::vector<int>>{{1}, {2}, {1, 2}}) {
    std::vector<bool>& row = kept.emplace_back();
    for (const Tail tail : {Tail::kExponential, Tail::kZero}) {
      const base::Result<std::vector<FormBlock>> blocks =
          ReadAgeGroupBlocks(file_, entry, input::DataKind::kInhalation, 6, regions, tail);
      ASSERT_TRUE(blocks.ok()) << blocks.status().message();
      ASSERT_EQ(blocks.value().size(), 4U);
      for (const FormBlock& block : blocks.value()) {
        ASSERT_TRUE(block.integrable.ok());
        if (tail == Tail::kExponential) {
          row.push_back(block.curvesKeepingLastRate > 0);
        } else {
          EXPECT_EQ(block.curvesKeepingLastRate, 0);
        }
      }
    }
  }
  EXPECT_EQ(kept, (std::vector<std::vector<bool>>{{false, true, false, false},
                                                  {false, false, true, false},
                                                  {false, true, true, false}}));
}

}  // namespace
}  // namespace quillmore::run
