#include "output/annual_dose_files.h"

#include "base/cp1252.h"
#include "input/age_groups.h"
#include "integration/extended.h"
#include "output/csv_sink.h"

namespace quillmore::output {
namespace {

std::string WeightedColumns(const AnnualDoseColumns& columns) {
  return std::string("low_let_gy,high_let_gy,") + (columns.highLetWeight ? "weighted_gy," : "") +
         "extrapolation\n";
}

std::string AgeGroupText(int ageGroup) {
  return input::AgeGroupList({ageGroup});
}

// ",<region>,<name>,<low>,<high>[,<weighted>],<status>\n" for position j of `year`.
void AppendValues(const integration::YearDoses& doses, int year, int j,
                  const AnnualDoseColumns& columns, std::string& out) {
  const int region = columns.selectedRegions[static_cast<std::size_t>(j)];
  out += ',' + std::to_string(region) + ',';
  AppendCsvField(columns.regionNames[input::RegionIndex(region)], out);
  out += ',';
  const double low = doses.low(year, j);
  const double high = doses.high(year, j);
  AppendShortestNumber(low, out);
  out += ',';
  AppendShortestNumber(high, out);
  out += ',';
  if (columns.highLetWeight) {
    AppendShortestNumber(integration::Stored(integration::Extended(low) +
                                             integration::Extended(*columns.highLetWeight) * high),
                         out);
    out += ',';
  }
  out += integration::ExtrapolationName(doses.extrapolation(year, j));
  out += '\n';
}

}  // namespace

std::string AnnualDosesHeader(const AnnualDoseColumns& columns) {
  return "person,birth_date,year,region,region_name," + WeightedColumns(columns);
}

std::string ByIntakeHeader(const AnnualDoseColumns& columns) {
  return "person,birth_date,row,nuclide,intake,form,form_code,age_group,part_start,part_end,year,"
         "region,region_name," +
         WeightedColumns(columns);
}

// One row per year and region of `doses`, each after `lead`, the fields
// before "year".
void AppendYearRows(const std::string& lead, const integration::YearDoses& doses,
                    const AnnualDoseColumns& columns, std::string& out) {
  for (int year = doses.firstYear(); year < doses.firstYear() + doses.yearCount(); ++year) {
    const std::string yearText = std::to_string(year);
    for (int j = 0; j < doses.regionCount(); ++j) {
      out += lead;
      out += yearText;
      AppendValues(doses, year, j, columns, out);
    }
  }
}

void AppendPersonRows(const integration::PersonDoses& person, const AnnualDoseColumns& columns,
                      std::string& out) {
  std::string lead;
  AppendCsvField(person.person, lead);
  lead += ',' + input::DateText(person.birthDate) + ',';
  const integration::YearDoses& doses = person.doses;
  AppendYearRows(lead, doses, columns, out);
}

void AppendPartRows(const integration::ResolvedIntake& intake,
                    const integration::IntakePartDoses& part, const integration::YearDoses& doses,
                    const AnnualDoseColumns& columns, std::string& out) {
  const input::IntakeRow& row = *intake.row;
  std::string lead;
  AppendCsvField(row.person, lead);
  lead += ',' + input::DateText(row.birthDate) + ',' + std::to_string(row.line) + ',';
  AppendCsvField(intake.nuclide, lead);
  lead += ',' + std::string(input::DataSetOf(row.kind).name) + ',' +
          std::to_string(part.formNumber) + ',';
  AppendCsvField(base::Cp1252ToUtf8(part.formCode), lead);
  lead += ',' + AgeGroupText(part.part.ageGroup) + ',' + input::DateText(part.part.start) + ',' +
          (part.part.end ? input::DateText(*part.part.end) : "") + ',';
  AppendYearRows(lead, doses, columns, out);
}

namespace {

Json IntakeJson(const integration::ResolvedIntake& intake) {
  const input::IntakeRow& row = *intake.row;
  Json parts = Json::array();
  for (const integration::IntakePartDoses& part : intake.parts) {
    parts.push_back({{"age_group", AgeGroupText(part.part.ageGroup)},
                     {"start", input::DateText(part.part.start)},
                     {"end", part.part.end ? Json(input::DateText(*part.part.end)) : Json()},
                     {"activity_bq", part.activityBq},
                     {"form", part.formNumber},
                     {"form_code", base::Cp1252ToUtf8(part.formCode)},
                     {"contributes", part.contributes}});
  }
  return {{"row", row.line},
          {"nuclide", intake.nuclide},
          {"intake", input::DataSetOf(row.kind).name},
          {"form", row.form},
          {"start", input::DateText(row.start)},
          {"end", row.end ? Json(input::DateText(*row.end)) : Json()},
          {"activity_bq", row.activityBq},
          {"parts", std::move(parts)}};
}

Json RegionsJson(const integration::YearDoses& doses, const AnnualDoseColumns& columns) {
  Json regions = Json::array();
  for (int j = 0; j < doses.regionCount(); ++j) {
    std::vector<double> low, high;
    std::vector<std::string> status;
    for (int year = doses.firstYear(); year < doses.firstYear() + doses.yearCount(); ++year) {
      low.push_back(doses.low(year, j));
      high.push_back(doses.high(year, j));
      status.push_back(integration::ExtrapolationName(doses.extrapolation(year, j)));
    }
    const int region = columns.selectedRegions[static_cast<std::size_t>(j)];
    regions.push_back({{"region", region},
                       {"region_name", columns.regionNames[input::RegionIndex(region)]},
                       {"low_let_gy", std::move(low)},
                       {"high_let_gy", std::move(high)},
                       {"extrapolation", std::move(status)}});
  }
  return regions;
}

}  // namespace

Json AnnualDosesJson(std::span<const integration::PersonDoses> persons,
                     const AnnualDoseColumns& columns, const Json& provenance) {
  Json people = Json::array();
  for (const integration::PersonDoses& person : persons) {
    Json intakes = Json::array();
    for (const integration::ResolvedIntake* intake : person.intakes)
      intakes.push_back(IntakeJson(*intake));
    std::vector<int> years;
    for (int y = 0; y < person.doses.yearCount(); ++y)
      years.push_back(person.doses.firstYear() + y);
    people.push_back({{"person", person.person},
                      {"birth_date", input::DateText(person.birthDate)},
                      {"intakes", std::move(intakes)},
                      {"years", std::move(years)},
                      {"regions", RegionsJson(person.doses, columns)},
                      {"warnings", person.warnings}});
  }
  Json json{{"persons", std::move(people)}};
  if (columns.highLetWeight) json["high_let_weight"] = *columns.highLetWeight;
  json["provenance"] = provenance;
  return json;
}

}  // namespace quillmore::output
