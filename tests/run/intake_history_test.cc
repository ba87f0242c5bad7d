#include "run/intake_history.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "input/data_kind.h"
#include "input/sites_file.h"
#include "integration/coefficient_table.h"
#include "run/history_run.h"
#include "support/data_builder.h"
#include "support/nuclide_run_fixture.h"
#include "support/temp_dir.h"

namespace quillmore::run {
namespace {

// A data folder of Cs-137 inhalation, form F, in every age group; histories
// over it, region 1.
class FollowUpTest : public ::testing::Test {
 protected:
  FollowUpTest() {
    testing::DoseRateFileBuilder builder(input::DataKind::kInhalation);
    const std::int32_t start = builder.NextRecordNumber();
    for (const std::int32_t age : {100, 365, 1825, 3650, 5475, 7300})
      builder.AddBlock(testing::Block("Cs-137", age, 'B'));
    builder.WriteTo(dir_ / "TQV27INH2.DRT");
    testing::WriteFile(dir_ / input::kIndexFileName,
                       testing::IndexFileBytes({{"Cs-137 ", 0, start}}));
  }

  // Opens the history of `rows` (an intake file's, after the header).
  void Open(const std::string& rows, std::optional<int> untilYear = std::nullopt,
            std::optional<int> untilAge = std::nullopt, const std::string& regions = "1",
            const input::SitesFile* sites = nullptr) {
    HistoryRequest request;
    request.dataFolder = dir_.path();
    request.regions = regions;
    request.sites = sites;
    request.untilYear = untilYear;
    request.untilAge = untilAge;
    request.fileLabel = "in.csv";
    request.untilWords = "--until ";
    request.untilAgeWords = "--until-age ";
    base::Result<HistoryRun> opened = OpenHistory(
        input::ReadIntakeFile(
            "person,birth_date,nuclide,intake,form,start,end,activity_bq,follow_up_end" +
            std::string(sites != nullptr ? ",sex\n" : "\n") + rows),
        request);
    ASSERT_TRUE(opened.ok()) << opened.status().message();
    ASSERT_TRUE(opened.value().badRows.empty()) << opened.value().badRows[0].message;
    run_ = std::move(opened).value();
  }

  // Opens and computes the history of `rows`.
  void Compute(const std::string& rows, std::optional<int> untilYear = std::nullopt,
               std::optional<int> untilAge = std::nullopt, const std::string& regions = "1",
               const input::SitesFile* sites = nullptr) {
    Open(rows, untilYear, untilAge, regions, sites);
    ASSERT_TRUE(
        run_.history
            ->Compute([](const integration::ResolvedIntake&, const integration::IntakePartDoses&,
                         const integration::YearDoses&) { return base::Status::Ok(); })
            .ok());
    persons_.clear();
    for (const integration::PersonDoses& person : run_.history->persons())
      persons_[person.person] = &person;
  }

  // Each person's first and last year and end of follow-up.
  std::string Years(const std::string& person) const {
    const integration::PersonDoses& p = *persons_.at(person);
    return std::to_string(p.doses.firstYear()) + "-" +
           std::to_string(p.doses.firstYear() + p.doses.yearCount() - 1) + " to " +
           input::DateText(p.end);
  }
  double Low(const std::string& person, int year) const {
    return persons_.at(person)->doses.low(year, 0);
  }

  testing::TempDir dir_;
  HistoryRun run_;
  std::map<std::string, const integration::PersonDoses*> persons_;
};

// A site is the weighted sum of its regions, each computed whether selected
// or not, with the worst status of them; the selected regions alone are
// the person's doses.
TEST_F(FollowUpTest, SitesSumTheirRegionsSelectedOrNot) {
  const std::string rows = "A,1990-01-01,Cs-137,h,F,2020-03-01,,1000,2090-01-01,F\n";
  Compute(rows.substr(0, rows.rfind(',')) + "\n", std::nullopt, std::nullopt, "1,2");
  const integration::YearDoses regions = persons_.at("A")->doses;
  const input::SitesFile sites = input::ReadSitesFile("site,region,weight\ns,2,0.75\ns,1,0.25\n");
  ASSERT_TRUE(sites.faults.empty());
  Compute(rows, std::nullopt, std::nullopt, "1", &sites);
  const integration::PersonDoses& a = *persons_.at("A");
  EXPECT_EQ(a.doses.regionCount(), 1);
  bool past = false;
  for (int year = 2020; year < 2090; ++year) {
    const double low = 0.75 * regions.low(year, 1) + 0.25 * regions.low(year, 0);
    EXPECT_NEAR(a.siteDoses.low(year, 0), low, 1e-15 * low) << year;
    EXPECT_EQ(a.siteMoments.at(year, 0, integration::kLowLet).mean, a.siteDoses.low(year, 0));
    const integration::Extrapolation worst =
        integration::Worse(regions.extrapolation(year, 0), regions.extrapolation(year, 1));
    EXPECT_EQ(a.siteDoses.extrapolation(year, 0), worst) << year;
    past = past || worst != integration::Extrapolation::kNone;
  }
  EXPECT_TRUE(past);  // some year's status to take
}

// Each person is handed on once their last intake and every earlier
// person's are, in order of first appearance, holding what a kept table
// holds; unkept, their tables are released after.
TEST_F(FollowUpTest, PersonsHandedOnCompleteInTheirOrder) {
  const std::string rows =
      "A,1990-01-01,Cs-137,h,F,2020-03-01,,1000,\n"
      "B,1990-01-01,Cs-137,h,F,2010-03-01,2012-01-01,1000,\n"
      "A,1990-01-01,Cs-137,h,F,2005-03-01,,500,\n"
      "C,1990-01-01,Cs-137,h,F,2000-05-01,,1000,\n";
  Compute(rows);
  std::map<std::string, integration::YearDoses> kept;
  for (const auto& [name, person] : persons_) kept[name] = person->doses;
  Open(rows);
  std::set<int> linesHanded;
  std::vector<std::string> handed;  // "<person> after <lines handed on>"
  ASSERT_TRUE(run_.history
                  ->Compute(
                      [&](const integration::ResolvedIntake& intake,
                          const integration::IntakePartDoses&, const integration::YearDoses&) {
                        linesHanded.insert(intake.row->line);
                        return base::Status::Ok();
                      },
                      [&](const integration::PersonDoses& person) {
                        handed.push_back(person.person + " after " +
                                         std::to_string(linesHanded.size()));
                        const integration::YearDoses& want = kept.at(person.person);
                        EXPECT_EQ(person.doses.firstYear(), want.firstYear());
                        EXPECT_EQ(person.doses.yearCount(), want.yearCount());
                        for (int year = want.firstYear();
                             year < want.firstYear() + want.yearCount(); ++year)
                          EXPECT_EQ(person.doses.low(year, 0), want.low(year, 0)) << year;
                        return base::Status::Ok();
                      },
                      false)
                  .ok());
  EXPECT_EQ(handed, (std::vector<std::string>{"A after 3", "B after 3", "C after 4"}));
  for (const integration::PersonDoses& person : run_.history->persons())
    EXPECT_EQ(person.doses.yearCount(), 0) << person.person;
}

// Each person followed to their own end: the year holding it counted up to
// it, an end on 1 January leaving that year out; a follow_up_end past the
// default extends the years; an intake running past the end keeps its dates.
TEST_F(FollowUpTest, EachPersonFollowedToTheirOwnEnd) {
  Compute(
      "A,1990-01-01,Cs-137,h,F,2020-03-01,,1000,2030-07-01\n"
      "B,1990-01-01,Cs-137,h,F,2020-03-01,,1000,2031-01-01\n"
      "C,1990-01-01,Cs-137,h,F,2000-05-01,,1000,2080-06-01\n"
      "D,1990-01-01,Cs-137,h,F,2000-05-01,2001-05-01,1000,\n"
      "E,1990-01-01,Cs-137,h,F,2025-01-01,2035-01-01,1000,2030-01-01\n"
      "F,1990-01-01,Cs-137,h,F,2025-01-01,2035-01-01,1000,\n"
      "G,2010-06-15,Cs-137,h,F,2016-01-01,2019-01-01,1000,2017-01-01\n");
  EXPECT_EQ(Years("A"), "2020-2030 to 2030-07-01");
  EXPECT_EQ(Years("B"), "2020-2030 to 2031-01-01");
  EXPECT_EQ(Years("C"), "2000-2080 to 2080-06-01");
  EXPECT_EQ(Years("D"), "2000-2051 to 2052-01-01");  // 50 years after 2001
  EXPECT_EQ(Years("E"), "2025-2029 to 2030-01-01");
  EXPECT_EQ(Years("G"), "2016-2016 to 2017-01-01");
  // Half of 2030 counts less than all of it, the years before alike.
  EXPECT_GT(Low("A", 2030), 0);
  EXPECT_LT(Low("A", 2030), Low("B", 2030));
  EXPECT_EQ(Low("A", 2029), Low("B", 2029));
  for (int year = 2025; year <= 2029; ++year) EXPECT_EQ(Low("E", year), Low("F", year)) << year;
  // G's intake crosses the 7th birthday (2017-06-15) after the end: only its
  // first part is kept, with its own dates.
  const integration::PersonDoses& g = *persons_.at("G");
  ASSERT_EQ(g.intakes.size(), 1U);
  ASSERT_EQ(g.intakes[0]->parts.size(), 1U);
  EXPECT_EQ(input::DateText(g.intakes[0]->parts[0].part.start), "2016-01-01");
  EXPECT_EQ(input::DateText(*g.intakes[0]->parts[0].part.end), "2017-06-15");
  EXPECT_EQ(run_.history->leftOutNoteIndex(), std::nullopt);
}

// --until and --until-age end each person at the earliest of them and the
// file's own end; what starts on or after the end they set is left out, in
// one note naming the persons with nothing left.
TEST_F(FollowUpTest, UntilAndUntilAgeEndAtTheEarliestAndLeaveLaterIntakesOut) {
  Compute(
      "P,2016-02-29,Cs-137,h,F,2020-01-01,,1,\n"             // 70 on 2086-03-01
      "Q,1950-01-01,Cs-137,h,F,2000-01-01,,1,2030-06-01\n"   // 70 on 2020-01-01
      "Q,1950-01-01,Cs-137,h,F,2020-01-01,,1,2030-06-01\n"   // 4: left out
      "R,1940-01-01,Cs-137,h,F,2015-01-01,,1,\n"             // 5: left out, R with it
      "S,2030-01-01,Cs-137,h,F,2040-01-01,,1,\n"             // --until 2090 first
      "T,1990-01-01,Cs-137,h,F,2000-01-01,2050-01-01,1,\n",  // ends after the end
      2090, 70);
  EXPECT_EQ(persons_.size(), 4U);
  EXPECT_EQ(Years("P"), "2020-2086 to 2086-03-01");
  EXPECT_EQ(Years("Q"), "2000-2019 to 2020-01-01");
  EXPECT_EQ(persons_.count("R"), 0U);
  EXPECT_EQ(Years("S"), "2040-2090 to 2091-01-01");
  EXPECT_EQ(Years("T"), "2000-2059 to 2060-01-01");
  EXPECT_EQ(input::DateText(*persons_.at("T")->intakes[0]->row->end), "2050-01-01");
  EXPECT_EQ(persons_.at("Q")->intakes.size(), 1U);
  const std::optional<std::size_t> note = run_.history->leftOutNoteIndex();
  ASSERT_TRUE(note.has_value());
  const output::RunMessage& message = run_.history->messages().at(*note);
  EXPECT_EQ(message.kind, output::MessageKind::kNote);
  EXPECT_EQ(message.text,
            "2 intakes start on or after the end of follow-up set by --until 2090 and "
            "--until-age 70 and contribute nothing (in.csv lines 4, 5); 1 person is left with "
            "no intake and has no rows: R");
}

}  // namespace
}  // namespace quillmore::run
