#include "input/intake_file.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "input/csv_reader.h"

namespace quillmore::input {
namespace {

TEST(CsvReaderTest, QuotedFieldsLineEndsAndFaults) {
  const CsvText csv = ReadCsv(
      "\xEF\xBB\xBF"
      "a,\"b,\"\"c\"\"\",d\r\n\r\n\"x\ny\",,\"\"\nlast,row");
  ASSERT_FALSE(csv.stop.has_value()) << csv.stop->message;
  ASSERT_EQ(csv.records.size(), 3U);
  EXPECT_EQ(csv.records[0].fields, (std::vector<std::string>{"a", "b,\"c\"", "d"}));
  EXPECT_EQ(csv.records[1].line, 3);
  EXPECT_EQ(csv.records[1].fields, (std::vector<std::string>{"x\ny", "", ""}));
  EXPECT_EQ(csv.records[2].line, 5);
  EXPECT_EQ(ReadCsv("a\n\"open\nb").stop.value_or(Fault{}).line, 3);
  EXPECT_TRUE(ReadCsv("a\"b\n").stop.has_value());
  EXPECT_TRUE(ReadCsv("\"a\"b\n").stop.has_value());
}

TEST(IntakeCalendarTest, DatesAgesAndSplits) {
  EXPECT_TRUE(ParseDate("2024-02-29"));
  for (const char* bad :
       {"2023-02-29", "2023-2-01", "2023-13-01", "20230101", " 2023-01-01", "2000-01x01"})
    EXPECT_FALSE(ParseDate(bad)) << bad;
  const Days leapling = *ParseDate("2016-02-29");
  EXPECT_EQ(CompletedYears(leapling, *ParseDate("2017-02-28")), 0);
  EXPECT_EQ(CompletedYears(leapling, *ParseDate("2017-03-01")), 1);
  EXPECT_EQ(CompletedYears(leapling, *ParseDate("2020-02-29")), 4);
  EXPECT_EQ(AgeGroupForYears(0), 1);
  EXPECT_EQ(AgeGroupForYears(6), 3);
  EXPECT_EQ(AgeGroupForYears(7), 4);
  EXPECT_EQ(AgeGroupForYears(16), 5);
  EXPECT_EQ(AgeGroupForYears(17), 6);
  const std::vector<IntakePart> parts =
      SplitByAgeGroup(leapling, *ParseDate("2016-06-01"), *ParseDate("2018-06-01"));
  ASSERT_EQ(parts.size(), 3U);
  EXPECT_EQ(DateText(parts[0].start), "2016-06-01");
  EXPECT_EQ(DateText(*parts[0].end), "2017-03-01");
  EXPECT_EQ(parts[1].ageGroup, 2);
  EXPECT_EQ(DateText(*parts[1].end), "2018-03-01");
  EXPECT_EQ(parts[2].ageGroup, 3);
  EXPECT_EQ(DateText(*parts[2].end), "2018-06-01");
  EXPECT_EQ(SplitByAgeGroup(leapling, *ParseDate("2030-01-01"), std::nullopt).size(), 1U);
  // A follow-up ends at the earliest of its limits; a 29 February birthday
  // counts on 1 March in a common year, and --until Y ends on 1 January Y + 1.
  EXPECT_EQ(FollowUpEnd(leapling, {}), std::nullopt);
  EXPECT_EQ(DateText(*FollowUpEnd(leapling, {std::nullopt, std::nullopt, 70})), "2086-03-01");
  EXPECT_EQ(DateText(*FollowUpEnd(leapling, {std::nullopt, std::nullopt, 4})), "2020-02-29");
  EXPECT_EQ(DateText(*FollowUpEnd(leapling, {std::nullopt, 2085, 70})), "2086-01-01");
  EXPECT_EQ(DateText(*FollowUpEnd(leapling, {std::nullopt, 2086, 70})), "2086-03-01");
  EXPECT_EQ(DateText(*FollowUpEnd(leapling, {ParseDate("2086-02-28"), 2086, 70})), "2086-02-28");
  EXPECT_EQ(DateText(*FollowUpEnd(leapling, {ParseDate("2200-01-01"), std::nullopt, std::nullopt})),
            "2200-01-01");
  // Past the 7th birthday (2017-06-15) a spread intake stays in group 4 until
  // the 12th (2022-06-15): started the year after, or ended on the 12th, one part.
  const Days born = *ParseDate("2010-06-15");
  for (const auto& [start, end] :
       {std::pair{"2018-01-01", "2018-07-01"}, std::pair{"2021-01-01", "2022-06-15"}}) {
    const std::vector<IntakePart> one = SplitByAgeGroup(born, *ParseDate(start), *ParseDate(end));
    ASSERT_EQ(one.size(), 1U) << start;
    EXPECT_EQ(one[0].ageGroup, 4);
    EXPECT_EQ(DateText(one[0].start), start);
    EXPECT_EQ(DateText(*one[0].end), end);
  }
}

// Columns in any order; every bad row listed in line order, good ones kept.
TEST(IntakeFileTest, ReadsRowsAndListsEveryFault) {
  const IntakeFile file = ReadIntakeFile(
      "activity_bq,end,start,form,intake,nuclide,birth_date,person\n"
      "1e3,,2020-12-31,F,H,Cs-137 ,1990-01-01,A\n"
      "0,2020-01-01,2020-01-01,1,x,Sr-90,1990-01-01,B\n"
      "5,,2021-01-01,1,g,Sr-90,1990-01-02,A\n");
  ASSERT_EQ(file.rows.size(), 2U);
  EXPECT_EQ(file.rows[0].nuclide, "Cs-137");
  EXPECT_EQ(file.rows[0].kind, DataKind::kInhalation);
  EXPECT_EQ(file.rows[0].activityBq, 1000);
  ASSERT_EQ(file.faults.size(), 4U);
  EXPECT_EQ(file.faults[0].line, 3);
  EXPECT_EQ(file.faults[0].message,
            "column \"intake\": \"x\" is neither inhalation (h) nor ingestion (g)");
  EXPECT_EQ(file.faults[1].line, 3);                                   // activity
  EXPECT_EQ(file.faults[2].line, 3);                                   // end not after start
  EXPECT_EQ(file.faults[3].line, 4);                                   // a second birth date
  EXPECT_EQ(ReadIntakeFile("person,birth_date\n").faults.size(), 6U);  // six columns missing

  const std::string header = "person,birth_date,nuclide,intake,form,start,end,activity_bq";
  const std::string row = "A,1990-01-01,Cs-137,h,F,2000-01-01,,1";
  const IntakeFile twice = ReadIntakeFile(header + ",start\n" + row + ",2001-01-01\n");
  EXPECT_TRUE(twice.rows.empty());
  ASSERT_EQ(twice.faults.size(), 1U);
  EXPECT_EQ(twice.faults[0].line, 1);
  EXPECT_EQ(twice.faults[0].message, "column \"start\" appears twice");
  const IntakeFile longer = ReadIntakeFile(header + "\n" + row + "\n" + row + ",5\n");
  ASSERT_EQ(longer.rows.size(), 1U);
  ASSERT_EQ(longer.faults.size(), 1U);
  EXPECT_EQ(longer.faults[0].line, 3);
  EXPECT_EQ(longer.faults[0].message, "the row has 9 fields, the header 8");
}

// follow_up_end may be left out; given, it is after the birth date and every
// start, and one for all rows of a person, or none.
TEST(IntakeFileTest, FollowUpEndIsOptionalAfterEveryStartAndOneAPerson) {
  const std::string header = "person,birth_date,nuclide,intake,form,start,end,activity_bq";
  const IntakeFile without = ReadIntakeFile(header + "\nA,1990-01-01,Cs-137,h,F,2000-01-01,,1\n");
  ASSERT_EQ(without.rows.size(), 1U);
  EXPECT_TRUE(without.faults.empty());
  EXPECT_EQ(without.rows[0].followUpEnd, std::nullopt);

  const IntakeFile file = ReadIntakeFile(
      "follow_up_end," + header +
      "\n"
      "2030-07-01,A,1990-01-01,Cs-137,h,F,2000-01-01,2040-01-01,1\n"  // spread past the end
      "2030-07-01,A,1990-01-01,Cs-137,h,F,2030-06-30,,1\n"
      ",B,1990-01-01,Cs-137,h,F,2000-01-01,,1\n"
      ",B,1990-01-01,Cs-137,h,F,2001-01-01,,1\n"
      "2030-07-01,A,1990-01-01,Cs-137,h,F,2030-07-01,,1\n"  // 6: starts at the end
      "1990-01-01,C,1990-01-01,Cs-137,h,F,1990-01-01,,1\n"  // 7: ends at birth
      "2030-07-02,A,1990-01-01,Cs-137,h,F,2001-01-01,,1\n"  // 8: another end
      "2030-07-01,B,1990-01-01,Cs-137,h,F,2002-01-01,,1\n"  // 9: one where B has none
      ",A,1990-01-01,Cs-137,h,F,2003-01-01,,1\n"            // 10: none where A has one
      "2030-02-30,D,1990-01-01,Cs-137,h,F,2003-01-01,,1\n");
  ASSERT_EQ(file.rows.size(), 7U);
  EXPECT_EQ(DateText(*file.rows[0].followUpEnd), "2030-07-01");
  EXPECT_EQ(file.rows[2].followUpEnd, std::nullopt);
  std::vector<std::pair<int, std::string>> faults;
  for (const Fault& fault : file.faults) faults.emplace_back(fault.line, fault.message);
  EXPECT_EQ(faults,
            (std::vector<std::pair<int, std::string>>{
                {6, "column \"start\": \"2030-07-01\" is not before the follow-up end 2030-07-01"},
                {7,
                 "column \"follow_up_end\": \"1990-01-01\" is not after the birth date "
                 "1990-01-01"},
                {8,
                 "column \"follow_up_end\": \"2030-07-02\" differs from 2030-07-01 on line 2 "
                 "for person \"A\""},
                {9,
                 "column \"follow_up_end\": \"2030-07-01\" differs from empty on line 4 for "
                 "person \"B\""},
                {10,
                 "column \"follow_up_end\": empty differs from 2030-07-01 on line 2 for "
                 "person \"A\""},
                {11, "column \"follow_up_end\": \"2030-02-30\" is not a date (YYYY-MM-DD)"}}));
  // A frame's columns: the same rules.
  const IntakeFile columns =
      ReadIntakeColumns(std::vector<IntakeColumn>{{"person", {"A"}},
                                                  {"birth_date", {"1990-01-01"}},
                                                  {"nuclide", {"Cs-137"}},
                                                  {"intake", {"h"}},
                                                  {"form", {"F"}},
                                                  {"start", {"2031-01-01"}},
                                                  {"end", {""}},
                                                  {"activity_bq", {"1"}},
                                                  {"follow_up_end", {"2031-01-01"}}});
  ASSERT_EQ(columns.faults.size(), 1U);
  EXPECT_EQ(columns.faults[0].line, 2);
}

// activity_gsd and sex may be left out; a GSD from 1 to 100, empty for 1; a
// sex in either spelling and any case, one for all rows of a person, or none.
TEST(IntakeFileTest, ActivityGsdAndSexAreOptionalAndCheckedRowByRow) {
  const std::string header = "person,birth_date,nuclide,intake,form,start,end,activity_bq";
  const IntakeFile without = ReadIntakeFile(header + "\nA,1990-01-01,Cs-137,h,F,2000-01-01,,1\n");
  ASSERT_EQ(without.rows.size(), 1U);
  EXPECT_FALSE(without.uncertain);
  EXPECT_EQ(without.rows[0].activityGsd, 1);
  EXPECT_EQ(without.rows[0].sex, std::nullopt);

  const IntakeFile file =
      ReadIntakeFile("sex," + header +
                     ",activity_gsd\n"
                     "F,A,1990-01-01,Cs-137,h,F,2000-01-01,,1,2.5\n"
                     "female,A,1990-01-01,Cs-137,h,F,2001-01-01,,1,\n"
                     " m ,B,1990-01-01,Cs-137,h,F,2000-01-01,,1,100\n"
                     "MALE,B,1990-01-01,Cs-137,h,F,2001-01-01,,1,1\n"
                     ",C,1990-01-01,Cs-137,h,F,2001-01-01,,1,1e0\n"
                     "F,D,1990-01-01,Cs-137,h,F,2001-01-01,,1,0.99\n"     // 7
                     "F,D,1990-01-01,Cs-137,h,F,2001-01-01,,1,100.001\n"  // 8
                     "F,D,1990-01-01,Cs-137,h,F,2001-01-01,,1,nan\n"      // 9
                     "x,D,1990-01-01,Cs-137,h,F,2001-01-01,,1,2\n"        // 10
                     "M,A,1990-01-01,Cs-137,h,F,2002-01-01,,1,2\n"        // 11: another sex
                     ",B,1990-01-01,Cs-137,h,F,2002-01-01,,1,2\n");  // 12: none where B has one
  EXPECT_TRUE(file.uncertain);
  ASSERT_EQ(file.rows.size(), 7U);
  EXPECT_EQ(file.rows[0].activityGsd, 2.5);
  EXPECT_EQ(file.rows[1].activityGsd, 1);
  EXPECT_EQ(file.rows[2].activityGsd, 100);
  EXPECT_EQ(file.rows[4].activityGsd, 1);
  EXPECT_EQ(file.rows[0].sex, Sex::kFemale);
  EXPECT_EQ(file.rows[1].sex, Sex::kFemale);
  EXPECT_EQ(file.rows[2].sex, Sex::kMale);
  EXPECT_EQ(file.rows[3].sex, Sex::kMale);
  EXPECT_EQ(file.rows[4].sex, std::nullopt);
  EXPECT_EQ(SexName(Sex::kFemale), "female");
  EXPECT_EQ(SexName(Sex::kMale), "male");
  std::vector<std::pair<int, std::string>> faults;
  for (const Fault& fault : file.faults) faults.emplace_back(fault.line, fault.message);
  const std::string gsd = " is not a geometric standard deviation from 1 to 100";
  EXPECT_EQ(faults,
            (std::vector<std::pair<int, std::string>>{
                {7, "column \"activity_gsd\": \"0.99\"" + gsd},
                {8, "column \"activity_gsd\": \"100.001\"" + gsd},
                {9, "column \"activity_gsd\": \"nan\"" + gsd},
                {10, "column \"sex\": \"x\" is neither female (F) nor male (M)"},
                {11,
                 "column \"sex\": \"male\" differs from female on line 2 for person "
                 "\"A\""},
                {12, "column \"sex\": empty differs from male on line 4 for person \"B\""}}));
  // A frame's columns: the same rules, and the column makes the doses uncertain.
  const IntakeFile columns =
      ReadIntakeColumns(std::vector<IntakeColumn>{{"person", {"A"}},
                                                  {"birth_date", {"1990-01-01"}},
                                                  {"nuclide", {"Cs-137"}},
                                                  {"intake", {"h"}},
                                                  {"form", {"F"}},
                                                  {"start", {"2001-01-01"}},
                                                  {"end", {""}},
                                                  {"activity_bq", {"1"}},
                                                  {"activity_gsd", {""}},
                                                  {"sex", {"f"}}});
  EXPECT_TRUE(columns.faults.empty());
  EXPECT_TRUE(columns.uncertain);
  ASSERT_EQ(columns.rows.size(), 1U);
  EXPECT_EQ(columns.rows[0].sex, Sex::kFemale);
}

// A table's columns read as the CSV file written from them would: line 1 the
// header, each row on the next line but for the line ends inside the fields
// before it.
TEST(IntakeFileTest, ColumnsReadAsTheirCsvFile) {
  const std::vector<IntakeColumn> columns = {
      {"activity_bq", {"1e3", "0", "5", "2"}},
      {"end", {"", "2020-01-01", "", ""}},
      {"start", {"2020-12-31", "2020-01-01", "2021-01-01", "2021-01-01"}},
      {"form", {"F", "1", "1", "1"}},
      {" intake ", {"H", "x", "g", "g"}},
      {"nuclide", {"Cs-137 ", "Sr-90", "Sr-90", "Sr-90"}},
      {"birth_date", {"1990-01-01", "1990-01-01", "1990-01-02", "1990-01-01"}},
      {"person", {"A", "B\nb", "A", "C"}}};
  const IntakeFile file = ReadIntakeColumns(columns);
  ASSERT_EQ(file.rows.size(), 3U);
  EXPECT_EQ(file.rows[0].line, 2);
  EXPECT_EQ(file.rows[0].nuclide, "Cs-137");
  EXPECT_EQ(file.rows[0].kind, DataKind::kInhalation);
  EXPECT_EQ(file.rows[0].activityBq, 1000);
  EXPECT_EQ(file.rows[1].line, 5);  // B's person takes lines 3 and 4
  EXPECT_EQ(file.rows[2].line, 6);
  ASSERT_EQ(file.faults.size(), 4U);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(file.faults[static_cast<std::size_t>(i)].line, 3);
  EXPECT_EQ(file.faults[0].message,
            "column \"intake\": \"x\" is neither inhalation (h) nor ingestion (g)");
  EXPECT_EQ(file.faults[3].line, 5);
  EXPECT_EQ(file.faults[3].message,
            "column \"birth_date\": \"1990-01-02\" differs from 1990-01-01 on line 2 for person "
            "\"A\"");

  std::vector<IntakeColumn> header(columns.begin(), columns.end());
  for (IntakeColumn& column : header) column.fields.clear();
  const IntakeFile headerOnly = ReadIntakeColumns(header);
  ASSERT_EQ(headerOnly.faults.size(), 1U);
  EXPECT_EQ(headerOnly.faults[0].message, "the file holds no intakes, only its header");
  header.push_back({"start", {}});
  const IntakeFile twice = ReadIntakeColumns(header);
  ASSERT_EQ(twice.faults.size(), 1U);
  EXPECT_EQ(twice.faults[0].line, 1);
  EXPECT_EQ(twice.faults[0].message, "column \"start\" appears twice");
  header.back().fields = {"2000-01-01"};
  const IntakeFile uneven = ReadIntakeColumns(header);
  ASSERT_EQ(uneven.faults.size(), 1U);
  EXPECT_EQ(uneven.faults[0].message, "the columns differ in length");
  const IntakeFile none = ReadIntakeColumns({});
  ASSERT_EQ(none.faults.size(), 1U);
  EXPECT_EQ(none.faults[0].message, "the file is empty");
}

}  // namespace
}  // namespace quillmore::input
