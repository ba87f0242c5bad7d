// The files of an intake-history run: annual_doses.csv (per person),
// annual_doses_by_intake.csv (per intake part) and annual_doses.json.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/status.h"
#include "integration/annual_doses.h"
#include "output/provenance.h"
#include "output/run_message.h"

namespace quillmore::output {

inline constexpr const char* kAnnualDosesCsv = "annual_doses.csv";
inline constexpr const char* kAnnualDosesByIntakeCsv = "annual_doses_by_intake.csv";
inline constexpr const char* kAnnualDosesJson = "annual_doses.json";

// What every row shares: the regions and their names, and W of weighted_gy.
struct AnnualDoseColumns {
  std::vector<int> selectedRegions;      // region numbers, list order
  std::vector<std::string> regionNames;  // regions 1 to 30, UTF-8
  std::optional<double> highLetWeight;   // adds weighted_gy = low + W x high
};

// The header lines of the two CSV files.
std::string AnnualDosesHeader(const AnnualDoseColumns& columns);
std::string ByIntakeHeader(const AnnualDoseColumns& columns);

// Appends the rows of `person`: years, then regions in the selected order.
void AppendPersonRows(const integration::PersonDoses& person, const AnnualDoseColumns& columns,
                      std::string& out);
// Appends the rows of one part of `intake`.
void AppendPartRows(const integration::ResolvedIntake& intake,
                    const integration::IntakePartDoses& part, const integration::YearDoses& doses,
                    const AnnualDoseColumns& columns, std::string& out);

// The JSON file: per person, the birth date, the intakes as read and
// resolved, the years, the low and high arrays per region, the warnings;
// then the run's `provenance`.
Json AnnualDosesJson(std::span<const integration::PersonDoses> persons,
                     const AnnualDoseColumns& columns, const Json& provenance);

}  // namespace quillmore::output
