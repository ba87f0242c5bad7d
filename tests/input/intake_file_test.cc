#include "input/intake_file.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "input/csv_reader.h"
#include "input/form_choice.h"

namespace quillmore::input {
namespace {

// A frame of one acute Cs-137 intake of person A starting on `start`, with
// the optional columns `extra`.
std::vector<IntakeColumn> OneIntakeColumns(const std::string& start,
                                           std::vector<IntakeColumn> extra) {
  std::vector<IntakeColumn> columns = {{"person", {"A"}},       {"birth_date", {"1990-01-01"}},
                                       {"nuclide", {"Cs-137"}}, {"intake", {"h"}},
                                       {"form", {"F"}},         {"start", {start}},
                                       {"end", {""}},           {"activity_bq", {"1"}}};
  for (IntakeColumn& column : extra) columns.push_back(std::move(column));
  return columns;
}

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
      ReadIntakeColumns(OneIntakeColumns("2031-01-01", {{"follow_up_end", {"2031-01-01"}}}));
  ASSERT_EQ(columns.faults.size(), 1U);
  EXPECT_EQ(columns.faults[0].line, 2);
}

// Names in any case and with blanks; columns not known ignored with one note,
// unless one is a typo of a missing required column; end may be absent.
TEST(IntakeFileTest, HeaderNamesMatchedLooselyAndUnknownColumnsNoted) {
  const IntakeFile file = ReadIntakeFile(
      " Person ,BIRTH_DATE,Nuclide,intake,Form,cohort,Start, Activity_Bq,Site \n"
      "A,1990-01-01,Cs-137,h,F,c1,2000-01-01,5,x\n");
  ASSERT_TRUE(file.faults.empty()) << file.faults[0].message;
  ASSERT_EQ(file.rows.size(), 1U);
  EXPECT_EQ(file.rows[0].person, "A");
  EXPECT_EQ(file.rows[0].form, "F");
  EXPECT_EQ(file.rows[0].activityBq, 5);
  EXPECT_FALSE(file.rows[0].end.has_value());
  ASSERT_EQ(file.notes.size(), 1U);
  EXPECT_EQ(file.notes[0].line, 1);
  EXPECT_EQ(file.notes[0].message, "columns \"cohort\", \"Site\" are not known and ignored");

  const std::string row = "\nA,1990-01-01,Cs-137,h,F,2000-01-01,,5\n";
  for (const auto& [header, faults] : std::vector<std::pair<std::string, std::vector<std::string>>>{
           // One edit (an insertion), then two (a transposition, an insertion).
           {"person,birth_date,nuclide,intake,form,start,end,activty_bq",
            {"column \"activty_bq\" is not known; did you mean \"activity_bq\"?"}},
           {"PERSON,birth_date,nuclide,intake,form,start,end,Acitvty_BQ",
            {"column \"Acitvty_BQ\" is not known; did you mean \"activity_bq\"?"}},
           // Three edits: no guess, the column is missing.
           {"person,birth_date,nuclide,intake,form,start,end,activity",
            {"no column \"activity_bq\" in the header, split by comma, semicolon or tab"}},
           {"person,birth_date,nuclide,intake,form,start,end,activity_bq,START",
            {"column \"START\" appears twice"}}}) {
    const IntakeFile refused = ReadIntakeFile(header + row);
    EXPECT_TRUE(refused.rows.empty()) << header;
    std::vector<std::string> messages;
    for (const Fault& fault : refused.faults) messages.push_back(fault.message);
    EXPECT_EQ(messages, faults) << header;
  }
  // An optional column is no guess's: "edn" is ignored, and every intake acute.
  const IntakeFile optional =
      ReadIntakeFile("person,birth_date,nuclide,intake,form,start,edn,activity_bq" + row);
  EXPECT_EQ(optional.rows.size(), 1U);
  ASSERT_EQ(optional.notes.size(), 1U);
  EXPECT_EQ(optional.notes[0].message, "column \"edn\" is not known and ignored");
}

// A header without a comma is split by the semicolon or tab it holds (a
// note), where a number's one comma is its decimal point with semicolons.
TEST(IntakeFileTest, SemicolonsAndTabsSeparateWhereTheHeaderHoldsNoComma) {
  const std::string names[] = {"person", "birth_date", "nuclide", "intake",
                               "form",   "start",      "end",     "activity_bq"};
  const auto joined = [](std::span<const std::string> fields, char separator) {
    std::string text;
    for (const std::string& field : fields)
      text += (text.empty() ? "" : std::string(1, separator)) + field;
    return text + "\n";
  };
  const std::string rows[][8] = {
      {"A", "1990-01-01", "Sr-90", "g", "0,3", "2000-01-01", "", "1000,5"},
      {"B", "1990-01-01", "Sr-90", "g", "3E-1", "2000-01-01", "", "2,5e3"},
      {"C", "1990-01-01", "Sr-90", "g", "1", "2000-01-01", "", "1.000,5"},
      {"D", "1990-01-01", "Sr-90", "g", "1", "2000-01-01", "", "1,0,5"}};
  std::string semicolons = joined(names, ';');
  for (const auto& row : rows) semicolons += joined(row, ';');
  const IntakeFile file = ReadIntakeFile(semicolons);
  ASSERT_EQ(file.rows.size(), 2U);
  EXPECT_EQ(file.rows[0].form, "0.3");
  EXPECT_EQ(file.rows[0].activityBq, 1000.5);
  EXPECT_EQ(file.rows[1].form, "3E-1");
  EXPECT_EQ(file.rows[1].activityBq, 2500);
  ASSERT_EQ(file.faults.size(), 2U);  // a point beside the comma, two commas
  EXPECT_EQ(file.faults[0].line, 4);
  EXPECT_EQ(file.faults[0].message,
            "column \"activity_bq\": \"1.000,5\" is not a positive finite number of Bq");
  EXPECT_EQ(file.faults[1].line, 5);
  ASSERT_EQ(file.notes.size(), 1U);
  EXPECT_EQ(file.notes[0].message,
            "the fields are separated by semicolons; a number's one comma is its decimal point");

  // Tabs: no decimal comma; a form with a comma stays as written.
  const std::string plain[] = {"E", "1990-01-01", "Sr-90", "g", "0,3", "2000-01-01", "", "7"};
  const IntakeFile tabs =
      ReadIntakeFile(joined(names, '\t') + joined(rows[0], '\t') + joined(plain, '\t'));
  ASSERT_EQ(tabs.faults.size(), 1U);
  EXPECT_EQ(tabs.faults[0].line, 2);
  EXPECT_EQ(tabs.faults[0].message,
            "column \"activity_bq\": \"1000,5\" is not a positive finite number of Bq");
  ASSERT_EQ(tabs.rows.size(), 1U);
  EXPECT_EQ(tabs.rows[0].form, "0,3");
  ASSERT_EQ(tabs.notes.size(), 1U);
  EXPECT_EQ(tabs.notes[0].message, "the fields are separated by tabs");

  // A comma inside a header of semicolons: the split that finds every column.
  std::string withComma = joined(names, ';');
  withComma.insert(withComma.size() - 1, ";note, more");
  std::vector<std::string> commaRow(std::begin(rows[0]), std::end(rows[0]));
  commaRow.push_back("x");
  const IntakeFile commaInside = ReadIntakeFile(withComma + joined(commaRow, ';'));
  ASSERT_EQ(commaInside.rows.size(), 1U);
  EXPECT_EQ(commaInside.rows[0].activityBq, 1000.5);

  const IntakeFile both = ReadIntakeFile("person;birth_date\tnuclide\n");
  ASSERT_EQ(both.faults.size(), 1U);
  EXPECT_EQ(both.faults[0].message,
            "the header holds both semicolons and tabs: separate its fields by one");
  // No split finds the columns: one fault naming the separators tried.
  const IntakeFile none =
      ReadIntakeFile("person|birth_date|nuclide|intake|form|start|end|activity_bq\nA|1990-01-01\n");
  ASSERT_EQ(none.faults.size(), 1U);
  EXPECT_EQ(none.faults[0].line, 1);
  EXPECT_EQ(none.faults[0].message,
            "no columns \"person\", \"birth_date\", \"nuclide\", \"intake\", \"form\", "
            "\"start\", \"activity_bq\" in the header, split by comma, semicolon or tab");
  EXPECT_TRUE(none.notes.empty());
}

// A whole number up to the count of forms is a form number; any other number
// an f1 by value; text a code in any case.
TEST(FindFormTest, NumbersThenValuesThenCodes) {
  const std::vector<FormName> ingestion = {{1, "3.0E-01"}, {2, "1.0E-02"}, {3, "1.0E+00"}};
  const auto found = [](std::string_view typed, std::span<const FormName> forms) {
    const base::Result<std::size_t> form = FindForm(typed, forms);
    return form.ok() ? static_cast<int>(form.value()) : -static_cast<int>(form.status().code());
  };
  for (const char* f1 : {"0.3", "3E-1", "3.0E-01", ".3", "3e-01"})
    EXPECT_EQ(found(f1, ingestion), 0) << f1;
  EXPECT_EQ(found("2", ingestion), 1);    // the form number, not f1 = 2
  EXPECT_EQ(found("1.0", ingestion), 2);  // no whole number: f1 = 1
  EXPECT_EQ(found("01", ingestion), 0);   // a form number still
  EXPECT_EQ(found("1.0e+00", ingestion), 2);
  const int unknown = -static_cast<int>(base::Status::Code::kUnknownName);
  EXPECT_EQ(found("4", ingestion), unknown);  // past the forms, and no f1 of 4
  EXPECT_EQ(found("0.31", ingestion), unknown);
  EXPECT_EQ(found("0", ingestion), unknown);
  const std::vector<FormName> inhalation = {{1, "F"}, {2, "M"}, {3, "S"}, {4, "V"}};
  EXPECT_EQ(found("m", inhalation), 1);
  EXPECT_EQ(found("4", inhalation), 3);
  EXPECT_EQ(found("5", inhalation), unknown);
  const std::vector<FormName> shared = {{1, "5.0E-01"}, {2, "0.5"}};
  EXPECT_EQ(FindForm("5E-1", shared).status().code(), base::Status::Code::kInvalidArgument);
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
      ReadIntakeColumns(OneIntakeColumns("2001-01-01", {{"activity_gsd", {""}}, {"sex", {"f"}}}));
  EXPECT_TRUE(columns.faults.empty());
  EXPECT_TRUE(columns.uncertain);
  ASSERT_EQ(columns.rows.size(), 1U);
  EXPECT_EQ(columns.rows[0].sex, Sex::kFemale);
}

// A table's columns read as the CSV file written from them would: line 1 the
// header, row R on line R + 2.
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
