// risk_input.csv: an intake history's doses as the rows a radiation risk
// calculator takes, one per person, calendar year, site and radiation type,
// each with its dose distribution.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "input/sites_file.h"
#include "integration/annual_doses.h"

namespace quillmore::output {

inline constexpr const char* kRiskInputCsv = "risk_input.csv";

// The unit of the doses and medians of the rows.
enum class RiskUnit { kMilligray, kGray, kCentigray };
// "mGy", "Gy", "cGy".
std::string_view RiskUnitName(RiskUnit unit);
// One of those names, in any case.
std::optional<RiskUnit> ParseRiskUnit(std::string_view text);

struct RiskOptions {
  RiskUnit unit = RiskUnit::kMilligray;
  std::string highLetName = "alpha";  // the radiation of the high-LET part
  std::string lowLetName = "low-LET";
};

// One row's values: a fixed value (every intake adding to it exact) or a
// lognormal by its median and GSD, in the options' unit.
struct RiskRow {
  int year = 0;
  int site = 0;  // position among the sites
  int let = 0;   // integration::kHighLet or kLowLet
  bool lognormal = false;
  double dose1 = 0;  // the value, or the median
  double dose2 = 0;  // the GSD of a lognormal
};

// Calls `row` for each row of `person` (who holds site doses and moments)
// in the file's order: years, then the sites of `sites` that are for the
// person's sex, in their order, then the high-LET before the low-LET part;
// only where the mean is above 0. A value marked unbounded gives no row;
// returns how many were left out so.
std::size_t ForEachRiskRow(const integration::PersonDoses& person,
                           std::span<const input::Site> sites, const RiskOptions& options,
                           const std::function<void(const RiskRow&)>& row);

// "pid,sex,birth,exposure,age,site,radiation,exposure_rate,dosedist,dose1,dose2,dose3\n".
std::string RiskInputHeader();

// Appends the rows of `person`; returns how many were left out as unbounded.
std::size_t AppendRiskRows(const integration::PersonDoses& person,
                           std::span<const input::Site> sites, const RiskOptions& options,
                           std::string& out);

// The exposure rate of every row: an internal dose comes over the year.
inline constexpr std::string_view kExposureRate = "chronic";
// The dosedist of a row.
std::string_view DoseDistName(bool lognormal);

}  // namespace quillmore::output
