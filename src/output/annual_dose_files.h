// The files of an intake-history run: annual_doses.csv (per person),
// annual_doses_by_intake.csv (per intake part), annual_doses_by_nuclide.csv
// and annual_doses_by_route.csv (per person and nuclide or route) and
// annual_doses.json.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "integration/annual_doses.h"
#include "integration/extrapolation_check.h"
#include "integration/grouped_doses.h"
#include "output/provenance.h"
#include "output/run_message.h"

namespace quillmore::output {

inline constexpr const char* kAnnualDosesCsv = "annual_doses.csv";
inline constexpr const char* kAnnualDosesByIntakeCsv = "annual_doses_by_intake.csv";
inline constexpr const char* kAnnualDosesJson = "annual_doses.json";
inline constexpr const char* kAnnualDoseDistributionsCsv = "annual_dose_distributions.csv";
// annual_doses_by_nuclide.csv or annual_doses_by_route.csv.
std::string_view ByGroupFileName(integration::DoseGroup group);

// What every row shares: the regions and their names, and W of weighted_gy.
struct AnnualDoseColumns {
  std::vector<int> selectedRegions;      // region numbers, list order
  std::vector<std::string> regionNames;  // regions 1 to 30, UTF-8
  std::optional<double> highLetWeight;   // adds weighted_gy = low + W x high
};

// The fields of the two CSV files, each named in the header line by
// AnnualDoseFieldName.
enum class AnnualDoseField {
  kPerson,
  kBirthDate,
  kRow,
  kNuclide,
  kIntake,
  kForm,
  kFormCode,
  kAgeGroup,
  kPartStart,
  kPartEnd,
  kYear,
  kAge,  // year - birth year: the age reached in that year
  kRegion,
  kRegionName,
  kLowLet,
  kHighLet,
  kWeighted,
  kLowLetTail,
  kHighLetTail,
  kExtrapolation,
  // annual_dose_distributions.csv's, after region_name
  kLet,  // low, high
  kMean,
  kSd,
  kGm,
  kGsd,
  kP05,
  kP95,
};
std::string_view AnnualDoseFieldName(AnnualDoseField field);
// The fields of annual_doses.csv and annual_doses_by_intake.csv, in order.
std::vector<AnnualDoseField> AnnualDosesFields(const AnnualDoseColumns& columns);
std::vector<AnnualDoseField> ByIntakeFields(const AnnualDoseColumns& columns);
// Those of the by-nuclide (nuclide after birth_date) or by-route file
// (intake after birth_date).
std::vector<AnnualDoseField> ByGroupFields(const AnnualDoseColumns& columns,
                                           integration::DoseGroup group);

// Those of annual_dose_distributions.csv.
std::vector<AnnualDoseField> DistributionFields();

// The header lines of the two CSV files.
std::string AnnualDosesHeader(const AnnualDoseColumns& columns);
std::string ByIntakeHeader(const AnnualDoseColumns& columns);
std::string ByGroupHeader(const AnnualDoseColumns& columns, integration::DoseGroup group);
std::string DistributionsHeader();

// The fields of a row before "year", as the files write them (UTF-8): a
// person's, and those of an intake part.
struct PersonFields {
  std::string person;
  std::string birthDate;
};
PersonFields PersonFieldsOf(const integration::PersonDoses& person);
struct PartFields {
  PersonFields person;
  int row = 0;  // the intake's line in the intake file
  std::string nuclide;
  std::string_view intake;  // the data set's name
  int form = 0;
  std::string formCode;
  int ageGroup = 0;  // written as its label
  std::string start;
  std::string end;  // empty for an acute part
};
PartFields PartFieldsOf(const integration::ResolvedIntake& intake,
                        const integration::IntakePartDoses& part);

// The region of position `j` of the selection, and its name.
int SelectedRegion(const AnnualDoseColumns& columns, int j);
const std::string& SelectedRegionName(const AnnualDoseColumns& columns, int j);

// The values of a row after "region_name".
struct DoseValues {
  double low = 0;
  double high = 0;
  std::optional<double> weighted;  // with a high-LET weight
  double lowTail = 0;              // the parts of low and high from past the data
  double highTail = 0;
  integration::Extrapolation extrapolation = integration::Extrapolation::kNone;
};
DoseValues DoseValuesOf(const integration::YearDoses& doses, int year, int j,
                        const AnnualDoseColumns& columns);

// The values of a row of annual_dose_distributions.csv after "let": the
// exact mean and standard deviation, the lognormal with those moments (none
// where the mean is not above 0), the status of the row's year and region.
struct DistributionValues {
  double mean = 0;
  double sd = 0;
  std::optional<integration::MatchedLognormal> lognormal;
  integration::Extrapolation extrapolation = integration::Extrapolation::kNone;
};
// `let` is integration::kLowLet or kHighLet; `person` holds moments.
DistributionValues DistributionValuesOf(const integration::PersonDoses& person, int year, int j,
                                        int let);
// "low" or "high".
std::string_view LetName(int let);

// Calls `row(year, j)` for each row of `doses` in the files' order: years,
// then positions of the selected regions.
template <typename Row>
void ForEachYearRow(const integration::YearDoses& doses, Row&& row) {
  for (int year = doses.firstYear(); year < doses.firstYear() + doses.yearCount(); ++year) {
    for (int j = 0; j < doses.regionCount(); ++j) row(year, j);
  }
}

// Appends the rows of `person`: years, then regions in the selected order.
void AppendPersonRows(const integration::PersonDoses& person, const AnnualDoseColumns& columns,
                      std::string& out);
// Appends the rows of one part of `intake`.
void AppendPartRows(const integration::ResolvedIntake& intake,
                    const integration::IntakePartDoses& part, const integration::YearDoses& doses,
                    const AnnualDoseColumns& columns, std::string& out);

// Appends the rows of annual_dose_distributions.csv of `person` (which holds
// moments): years, then regions, then low before high.
void AppendDistributionRows(const integration::PersonDoses& person,
                            const AnnualDoseColumns& columns, std::string& out);

// Appends the rows of one group of `person`: years, then regions.
void AppendGroupRows(const integration::PersonDoses& person, const integration::GroupDoses& group,
                     const AnnualDoseColumns& columns, std::string& out);

// The JSON file: per person, the birth date, the end of follow-up, the
// intakes as read and resolved, the years and ages, the low and high arrays
// per region and their parts from past the data (and, where the persons hold
// moments, the distributions of the values), the warnings;
// then the run's `provenance`.
Json AnnualDosesJson(std::span<const integration::PersonDoses> persons,
                     const AnnualDoseColumns& columns, const Json& provenance);

}  // namespace quillmore::output
