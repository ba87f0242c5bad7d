#include "input/intake_file.h"

#include <gtest/gtest.h>

#include "input/csv_reader.h"
#include "input/form_choice.h"

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
  EXPECT_EQ(file.faults[1].line, 3);  // activity
  EXPECT_EQ(file.faults[2].line, 3);  // end not after start
  EXPECT_EQ(file.faults[3].line, 4);  // a second birth date
  // The columns missing in one fault (end may be absent).
  const IntakeFile missing = ReadIntakeFile("person,birth_date\n");
  ASSERT_EQ(missing.faults.size(), 1U);
  EXPECT_EQ(missing.faults[0].message,
            "no columns \"nuclide\", \"intake\", \"form\", \"start\", \"activity_bq\" in the "
            "header, split by comma, semicolon or tab");

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
  EXPECT_EQ(file.rows[1].line, 4);  // a line end within a field takes no line
  EXPECT_EQ(file.rows[2].line, 5);
  ASSERT_EQ(file.faults.size(), 4U);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(file.faults[static_cast<std::size_t>(i)].line, 3);
  EXPECT_EQ(file.faults[0].message,
            "column \"intake\": \"x\" is neither inhalation (h) nor ingestion (g)");
  EXPECT_EQ(file.faults[3].line, 4);
  EXPECT_EQ(file.faults[3].message,
            "column \"birth_date\": \"1990-01-02\" differs from 1990-01-01 on line 2 for person "
            "\"A\"");
  // A frame's rows named by position and index label.
  const IntakeFile frame =
      ReadIntakeColumns(columns, {"", std::vector<std::string>{"a", "b", "c", "d"}});
  ASSERT_EQ(frame.faults.size(), 4U);
  EXPECT_EQ(frame.faults[3].message,
            "column \"birth_date\": \"1990-01-02\" differs from 1990-01-01 on DataFrame row 0 "
            "(index a) for person \"A\"");

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
