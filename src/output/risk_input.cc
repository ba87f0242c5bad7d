#include "output/risk_input.h"

#include "base/text.h"
#include "input/intake_calendar.h"
#include "integration/coefficient_table.h"
#include "integration/extended.h"
#include "integration/lognormal_sum.h"
#include "output/csv_sink.h"

namespace quillmore::output {

std::string_view RiskUnitName(RiskUnit unit) {
  switch (unit) {
    case RiskUnit::kGray:
      return "Gy";
    case RiskUnit::kCentigray:
      return "cGy";
    case RiskUnit::kMilligray:
      break;
  }
  return "mGy";
}

std::optional<RiskUnit> ParseRiskUnit(std::string_view text) {
  const std::string key = base::AsciiLower(text);
  for (const RiskUnit unit : {RiskUnit::kMilligray, RiskUnit::kGray, RiskUnit::kCentigray}) {
    if (key == base::AsciiLower(RiskUnitName(unit))) return unit;
  }
  return std::nullopt;
}

std::string_view DoseDistName(bool lognormal) {
  return lognormal ? "lognormal" : "fixedvalue";
}

namespace {

long double PerGray(RiskUnit unit) {
  return unit == RiskUnit::kGray ? 1 : unit == RiskUnit::kCentigray ? 100 : 1000;
}

}  // namespace

std::size_t ForEachRiskRow(const integration::PersonDoses& person,
                           std::span<const input::Site> sites, const RiskOptions& options,
                           const std::function<void(const RiskRow&)>& row) {
  const integration::YearDoses& doses = person.siteDoses;
  const long double scale = PerGray(options.unit);
  std::size_t unbounded = 0;
  for (int year = doses.firstYear(); year < doses.firstYear() + doses.yearCount(); ++year) {
    for (int s = 0; s < doses.regionCount(); ++s) {
      const input::Site& site = sites[static_cast<std::size_t>(s)];
      if (site.sex && person.sex && *site.sex != *person.sex) continue;
      // A value that cannot be trusted is not passed on, whatever its sign;
      // a part the nuclides do not have (all 0) was never a row.
      const bool trusted = doses.extrapolation(year, s) != integration::Extrapolation::kUnbounded;
      for (const int let : {integration::kHighLet, integration::kLowLet}) {
        const integration::Moments& moments = person.siteMoments.at(year, s, let);
        if (!trusted) {
          unbounded += moments.mean != 0 ? 1 : 0;
          continue;
        }
        if (!(moments.mean > 0)) continue;
        RiskRow values{year, s, let};
        const std::optional<integration::MatchedLognormal> matched =
            moments.variance > 0 ? integration::MatchLognormal(moments) : std::nullopt;
        if (matched) {
          values.lognormal = true;
          values.dose1 = integration::Stored(scale * matched->gm);
          values.dose2 = matched->gsd;
        } else {
          const double value =
              let == integration::kLowLet ? doses.low(year, s) : doses.high(year, s);
          values.dose1 = integration::Stored(scale * value);
        }
        row(values);
      }
    }
  }
  return unbounded;
}

std::string RiskInputHeader() {
  return "pid,sex,birth,exposure,age,site,radiation,exposure_rate,dosedist,dose1,dose2,dose3\n";
}

std::size_t AppendRiskRows(const integration::PersonDoses& person,
                           std::span<const input::Site> sites, const RiskOptions& options,
                           std::string& out) {
  std::string lead;
  AppendCsvField(person.person, lead);
  lead += ',';
  if (person.sex) lead += input::SexName(*person.sex);
  const int birthYear = input::YearOf(person.birthDate);
  lead += ',' + std::to_string(birthYear) + ',';
  std::string high, low;
  AppendCsvField(options.highLetName, high);
  AppendCsvField(options.lowLetName, low);
  return ForEachRiskRow(person, sites, options, [&](const RiskRow& row) {
    out += lead;
    out += std::to_string(row.year) + ',' + std::to_string(row.year - birthYear) + ',';
    AppendCsvField(sites[static_cast<std::size_t>(row.site)].name, out);
    out += ',';
    out += row.let == integration::kHighLet ? high : low;
    out += ',';
    out += kExposureRate;
    out += ',';
    out += DoseDistName(row.lognormal);
    char text[2 * (kNumberRoom + 1) + 4];
    char* at = text;
    *at++ = ',';
    at = PutShortestNumber(row.dose1, at);
    *at++ = ',';
    if (row.lognormal) at = PutShortestNumber(row.dose2, at);
    *at++ = ',';
    *at++ = '\n';
    out.append(text, at);
  });
}

}  // namespace quillmore::output
