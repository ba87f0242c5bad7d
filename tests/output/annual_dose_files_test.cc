// The rows and the JSON of an intake history's files from hand-made doses.
#include "output/annual_dose_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillmore::output {
namespace {

// Each value keeps its own column, the weighted one before the tail parts,
// which have no weighted column of their own; the age reached in the year
// follows it.
TEST(AnnualDoseFiles, TailPartsFollowTheirValuesInTheCsvAndJson) {
  AnnualDoseColumns columns;
  columns.selectedRegions = {7};
  for (int k = 1; k <= 30; ++k) columns.regionNames.push_back("R" + std::to_string(k));
  columns.highLetWeight = 20;
  EXPECT_EQ(AnnualDosesHeader(columns),
            "person,birth_date,year,age,region,region_name,low_let_gy,high_let_gy,weighted_gy,"
            "low_let_tail_gy,high_let_tail_gy,extrapolation\n");
  EXPECT_EQ(ByIntakeHeader(columns),
            "person,birth_date,row,nuclide,intake,form,form_code,age_group,part_start,part_end,"
            "year,age,region,region_name,low_let_gy,high_let_gy,weighted_gy,low_let_tail_gy,"
            "high_let_tail_gy,extrapolation\n");

  integration::PersonDoses person;
  person.person = "P";
  person.birthDate = input::Days(std::chrono::days(0));
  person.end = *input::ParseDate("2001-07-01");
  person.doses.Reset(2000, 2, 1);
  person.doses.low(2001, 0) = 1.5;
  person.doses.high(2001, 0) = 0.25;
  person.doses.SetTails(2001, 0, 0.5, 0.125);
  person.doses.extrapolation(2001, 0) = integration::Extrapolation::kBounded;
  std::string rows;
  AppendPersonRows(person, columns, rows);
  EXPECT_EQ(rows,
            "P,1970-01-01,2000,30,7,R7,0,0,0,0,0,none\n"
            "P,1970-01-01,2001,31,7,R7,1.5,0.25,6.5,0.5,0.125,bounded\n");
  columns.highLetWeight.reset();
  rows.clear();
  AppendPersonRows(person, columns, rows);
  EXPECT_EQ(rows.substr(rows.find('\n') + 1),
            "P,1970-01-01,2001,31,7,R7,1.5,0.25,0.5,0.125,bounded\n");

  const Json json = AnnualDosesJson({&person, 1}, columns, Json::object());
  EXPECT_EQ(json["persons"][0]["follow_up_end"], "2001-07-01");
  EXPECT_EQ(json["persons"][0]["years"], Json({2000, 2001}));
  EXPECT_EQ(json["persons"][0]["ages"], Json({30, 31}));
  const Json& region = json["persons"][0]["regions"][0];
  EXPECT_EQ(region["low_let_gy"], Json({0.0, 1.5}));
  EXPECT_EQ(region["high_let_gy"], Json({0.0, 0.25}));
  EXPECT_EQ(region["low_let_tail_gy"], Json({0.0, 0.5}));
  EXPECT_EQ(region["high_let_tail_gy"], Json({0.0, 0.125}));
}

}  // namespace
}  // namespace quillmore::output
