// risk_input.csv's rows from hand-made site doses and moments.
#include "output/risk_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "integration/coefficient_table.h"

namespace quillmore::output {
namespace {

using integration::kHighLet;
using integration::kLowLet;

// Sites for everyone, for men and for women; a man's site gives a woman no
// row, a value marked unbounded none at all (counted where the part has a
// value: a high-LET part of 0 was never a row), a mean of 0 none,
// an exact value its own, an uncertain one its matched lognormal.
TEST(RiskInput, RowsBySexOrderAndDistribution) {
  const std::vector<input::Site> sites = {{"colon", std::nullopt, {}},
                                          {"prostate", input::Sex::kMale, {}},
                                          {"breast", input::Sex::kFemale, {}}};
  integration::PersonDoses person;
  person.person = "P,1";
  person.sex = input::Sex::kFemale;
  person.birthDate = *input::ParseDate("1970-05-01");
  person.siteDoses.Reset(2000, 2, 3);
  person.siteMoments.Reset(2000, 2, 3);
  const auto set = [&](int year, int site, int let, double value, double variance) {
    (let == kLowLet ? person.siteDoses.low(year, site) : person.siteDoses.high(year, site)) = value;
    person.siteMoments.at(year, site, let) = {value, variance};
  };
  set(2000, 0, kLowLet, 0.002, 0);
  set(2000, 1, kHighLet, 0.004, 0);  // a man's site
  set(2000, 2, kHighLet, 0.001, 1e-6);
  set(2000, 2, kLowLet, 0.0005, 0);
  set(2001, 0, kLowLet, 0.003, 0);
  person.siteDoses.extrapolation(2001, 0) = integration::Extrapolation::kUnbounded;
  set(2001, 2, kLowLet, 0.003, 0);

  const RiskOptions options{RiskUnit::kCentigray, "a", "b"};
  std::string rows;
  EXPECT_EQ(AppendRiskRows(person, sites, options, rows), 1U);
  // Variance = mean^2: sigma^2 = ln 2, GM = mean / sqrt 2, GSD = exp(sqrt(ln 2)).
  const double gm = 0.1 / std::sqrt(2.0);
  const double gsd = std::exp(std::sqrt(std::log(2.0)));
  const std::string lead = "\"P,1\",female,1970,";
  std::string expected = lead + "2000,30,colon,b,chronic,fixedvalue,0.2,,\n";
  char text[64];
  std::snprintf(text, sizeof text, "%.17g,%.17g", gm, gsd);
  const std::string lognormal = rows.substr(rows.find("breast,a,chronic,lognormal,") + 27);
  double dose1 = 0, dose2 = 0;
  ASSERT_EQ(std::sscanf(lognormal.c_str(), "%lf,%lf", &dose1, &dose2), 2) << text;
  EXPECT_NEAR(dose1, gm, 4e-16 * gm);
  EXPECT_NEAR(dose2, gsd, 4e-16 * gsd);
  expected +=
      lead + "2000,30,breast,a,chronic,lognormal," + lognormal.substr(0, lognormal.find('\n') + 1);
  expected += lead + "2000,30,breast,b,chronic,fixedvalue,0.05,,\n";
  expected += lead + "2001,31,breast,b,chronic,fixedvalue,0.3,,\n";
  EXPECT_EQ(RiskInputHeader() + rows,
            "pid,sex,birth,exposure,age,site,radiation,exposure_rate,dosedist,dose1,dose2,dose3\n" +
                expected);
  // A man has the prostate's row and not the breast's.
  person.sex = input::Sex::kMale;
  std::vector<std::string> seen;
  ForEachRiskRow(person, sites, {}, [&](const RiskRow& row) {
    seen.push_back(std::to_string(row.year) + sites[static_cast<std::size_t>(row.site)].name +
                   std::to_string(row.dose1));
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"2000colon2.000000", "2000prostate4.000000"}));
  EXPECT_EQ(ParseRiskUnit("gY"), RiskUnit::kGray);
  EXPECT_FALSE(ParseRiskUnit("rad"));
}

}  // namespace
}  // namespace quillmore::output
