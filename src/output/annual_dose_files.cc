#include "output/annual_dose_files.h"

#include <algorithm>
#include <cmath>

#include "base/cp1252.h"
#include "input/age_groups.h"
#include "integration/coefficient_table.h"
#include "integration/extended.h"
#include "output/csv_sink.h"

namespace quillmore::output {
namespace {

std::string AgeGroupText(int ageGroup) {
  return input::AgeGroupList({ageGroup});
}

std::string HeaderOf(const std::vector<AnnualDoseField>& fields) {
  std::string header;
  for (const AnnualDoseField field : fields) {
    header += (header.empty() ? "" : ",") + std::string(AnnualDoseFieldName(field));
  }
  return header + '\n';
}

// The fields from "year" on, after the fields of `lead`.
std::vector<AnnualDoseField> WithYearFields(std::vector<AnnualDoseField> lead,
                                            const AnnualDoseColumns& columns) {
  using enum AnnualDoseField;
  lead.insert(lead.end(), {kYear, kAge, kRegion, kRegionName, kLowLet, kHighLet});
  if (columns.highLetWeight) lead.push_back(kWeighted);
  lead.insert(lead.end(), {kLowLetTail, kHighLetTail, kExtrapolation});
  return lead;
}

// Room for the values of a row: five numbers, their commas, a status and the newline.
constexpr std::size_t kValuesRoom = 5 * (kNumberRoom + 1) + 16;

// Writes "<low>,<high>[,<weighted>],<low tail>,<high tail>,<status>\n" for
// position j of `year` at `at` (kValuesRoom bytes); returns its end.
char* PutValues(const integration::YearDoses& doses, int year, int j,
                const AnnualDoseColumns& columns, char* at) {
  const DoseValues values = DoseValuesOf(doses, year, j, columns);
  at = PutShortestNumber(values.low, at);
  *at++ = ',';
  at = PutShortestNumber(values.high, at);
  *at++ = ',';
  if (values.weighted) {
    at = PutShortestNumber(*values.weighted, at);
    *at++ = ',';
  }
  at = PutShortestNumber(values.lowTail, at);
  *at++ = ',';
  at = PutShortestNumber(values.highTail, at);
  *at++ = ',';
  const std::string_view status = integration::ExtrapolationName(values.extrapolation);
  at = std::copy(status.begin(), status.end(), at);
  *at++ = '\n';
  return at;
}

}  // namespace

std::string_view AnnualDoseFieldName(AnnualDoseField field) {
  switch (field) {
    case AnnualDoseField::kPerson:
      return "person";
    case AnnualDoseField::kBirthDate:
      return "birth_date";
    case AnnualDoseField::kRow:
      return "row";
    case AnnualDoseField::kNuclide:
      return "nuclide";
    case AnnualDoseField::kIntake:
      return "intake";
    case AnnualDoseField::kForm:
      return "form";
    case AnnualDoseField::kFormCode:
      return "form_code";
    case AnnualDoseField::kAgeGroup:
      return "age_group";
    case AnnualDoseField::kPartStart:
      return "part_start";
    case AnnualDoseField::kPartEnd:
      return "part_end";
    case AnnualDoseField::kYear:
      return "year";
    case AnnualDoseField::kAge:
      return "age";
    case AnnualDoseField::kRegion:
      return "region";
    case AnnualDoseField::kRegionName:
      return "region_name";
    case AnnualDoseField::kLowLet:
      return "low_let_gy";
    case AnnualDoseField::kHighLet:
      return "high_let_gy";
    case AnnualDoseField::kWeighted:
      return "weighted_gy";
    case AnnualDoseField::kLowLetTail:
      return "low_let_tail_gy";
    case AnnualDoseField::kHighLetTail:
      return "high_let_tail_gy";
    case AnnualDoseField::kExtrapolation:
      return "extrapolation";
    case AnnualDoseField::kLet:
      return "let";
    case AnnualDoseField::kMean:
      return "mean_gy";
    case AnnualDoseField::kSd:
      return "sd_gy";
    case AnnualDoseField::kGm:
      return "gm_gy";
    case AnnualDoseField::kGsd:
      return "gsd";
    case AnnualDoseField::kP05:
      return "p05_gy";
    case AnnualDoseField::kP95:
      return "p95_gy";
  }
  return "";
}

std::vector<AnnualDoseField> AnnualDosesFields(const AnnualDoseColumns& columns) {
  using enum AnnualDoseField;
  return WithYearFields({kPerson, kBirthDate}, columns);
}

std::vector<AnnualDoseField> ByIntakeFields(const AnnualDoseColumns& columns) {
  using enum AnnualDoseField;
  return WithYearFields({kPerson, kBirthDate, kRow, kNuclide, kIntake, kForm, kFormCode, kAgeGroup,
                         kPartStart, kPartEnd},
                        columns);
}

std::vector<AnnualDoseField> ByGroupFields(const AnnualDoseColumns& columns,
                                           integration::DoseGroup group) {
  using enum AnnualDoseField;
  return WithYearFields(
      {kPerson, kBirthDate, group == integration::DoseGroup::kNuclide ? kNuclide : kIntake},
      columns);
}

std::vector<AnnualDoseField> DistributionFields() {
  using enum AnnualDoseField;
  return {kPerson, kBirthDate, kYear, kAge, kRegion, kRegionName, kLet,
          kMean,   kSd,        kGm,   kGsd, kP05,    kP95,        kExtrapolation};
}

std::string DistributionsHeader() {
  return HeaderOf(DistributionFields());
}

std::string_view LetName(int let) {
  return let == integration::kLowLet ? "low" : "high";
}

DistributionValues DistributionValuesOf(const integration::PersonDoses& person, int year, int j,
                                        int let) {
  const integration::Moments& moments = person.moments.at(year, j, let);
  // Rounding may leave a value known exactly a variance a hair below 0.
  return {moments.mean, std::sqrt(std::max(moments.variance, 0.0)),
          integration::MatchLognormal(moments), person.doses.extrapolation(year, j)};
}

std::string_view ByGroupFileName(integration::DoseGroup group) {
  return group == integration::DoseGroup::kNuclide ? "annual_doses_by_nuclide.csv"
                                                   : "annual_doses_by_route.csv";
}

std::string AnnualDosesHeader(const AnnualDoseColumns& columns) {
  return HeaderOf(AnnualDosesFields(columns));
}

std::string ByIntakeHeader(const AnnualDoseColumns& columns) {
  return HeaderOf(ByIntakeFields(columns));
}

std::string ByGroupHeader(const AnnualDoseColumns& columns, integration::DoseGroup group) {
  return HeaderOf(ByGroupFields(columns, group));
}

PersonFields PersonFieldsOf(const integration::PersonDoses& person) {
  return {person.person, input::DateText(person.birthDate)};
}

PartFields PartFieldsOf(const integration::ResolvedIntake& intake,
                        const integration::IntakePartDoses& part) {
  const input::IntakeRow& row = *intake.row;
  return {{row.person, input::DateText(row.birthDate)},
          row.line,
          intake.nuclide,
          input::DataSetOf(row.kind).name,
          part.formNumber,
          base::Cp1252ToUtf8(part.formCode),
          part.part.ageGroup,
          input::DateText(part.part.start),
          part.part.end ? input::DateText(*part.part.end) : ""};
}

int SelectedRegion(const AnnualDoseColumns& columns, int j) {
  return columns.selectedRegions[static_cast<std::size_t>(j)];
}

const std::string& SelectedRegionName(const AnnualDoseColumns& columns, int j) {
  return columns.regionNames[input::RegionIndex(SelectedRegion(columns, j))];
}

DoseValues DoseValuesOf(const integration::YearDoses& doses, int year, int j,
                        const AnnualDoseColumns& columns) {
  DoseValues values{doses.low(year, j),     doses.high(year, j),     std::nullopt,
                    doses.lowTail(year, j), doses.highTail(year, j), doses.extrapolation(year, j)};
  if (columns.highLetWeight) {
    values.weighted =
        integration::Stored(integration::Extended(values.low) +
                            integration::Extended(*columns.highLetWeight) * values.high);
  }
  return values;
}

// ",<region>,<name>," of each position, written once for all the years.
std::vector<std::string> RegionFields(const integration::YearDoses& doses,
                                      const AnnualDoseColumns& columns) {
  std::vector<std::string> regionFields(static_cast<std::size_t>(doses.regionCount()));
  for (int j = 0; j < doses.regionCount(); ++j) {
    std::string& text = regionFields[static_cast<std::size_t>(j)];
    text = ',' + std::to_string(SelectedRegion(columns, j)) + ',';
    AppendCsvField(SelectedRegionName(columns, j), text);
    text += ',';
  }
  return regionFields;
}

// One row per year and region of `doses`, each after `lead`, the fields
// before "year", of someone born in `birthYear`.
void AppendYearRows(const std::string& lead, int birthYear, const integration::YearDoses& doses,
                    const AnnualDoseColumns& columns, std::string& out) {
  const std::vector<std::string> regionFields = RegionFields(doses, columns);
  std::size_t regionRoom = 0;
  for (const std::string& field : regionFields) regionRoom = std::max(regionRoom, field.size());
  // Each row is put together in `row`, behind its year's lead kept at the
  // front, and added to `out` in one step rather than field by field.
  std::string row;
  std::size_t yearEnd = 0;
  int textYear = 0;
  ForEachYearRow(doses, [&](int year, int j) {
    if (row.empty() || year != textYear) {
      row = lead + std::to_string(year) + ',' + std::to_string(year - birthYear);
      yearEnd = row.size();
      row.resize(yearEnd + regionRoom + kValuesRoom);
      textYear = year;
    }
    const std::string& region = regionFields[static_cast<std::size_t>(j)];
    char* at = std::copy(region.begin(), region.end(), row.data() + yearEnd);
    out.append(row.data(), PutValues(doses, year, j, columns, at));
  });
}

void AppendPersonRows(const integration::PersonDoses& person, const AnnualDoseColumns& columns,
                      std::string& out) {
  const PersonFields fields = PersonFieldsOf(person);
  std::string lead;
  AppendCsvField(fields.person, lead);
  lead += ',' + fields.birthDate + ',';
  AppendYearRows(lead, input::YearOf(person.birthDate), person.doses, columns, out);
}

void AppendDistributionRows(const integration::PersonDoses& person,
                            const AnnualDoseColumns& columns, std::string& out) {
  const PersonFields fields = PersonFieldsOf(person);
  std::string lead;
  AppendCsvField(fields.person, lead);
  lead += ',' + fields.birthDate + ',';
  const std::vector<std::string> regionFields = RegionFields(person.doses, columns);
  const int birthYear = input::YearOf(person.birthDate);
  std::string yearText;
  int textYear = 0;
  ForEachYearRow(person.doses, [&](int year, int j) {
    if (yearText.empty() || year != textYear) {
      yearText = std::to_string(year) + ',' + std::to_string(year - birthYear);
      textYear = year;
    }
    for (const int let : {integration::kLowLet, integration::kHighLet}) {
      const DistributionValues values = DistributionValuesOf(person, year, j, let);
      out += lead;
      out += yearText;
      out += regionFields[static_cast<std::size_t>(j)];
      out += LetName(let);
      char text[7 * (kNumberRoom + 1) + 16];
      char* at = text;
      *at++ = ',';
      at = PutShortestNumber(values.mean, at);
      *at++ = ',';
      at = PutShortestNumber(values.sd, at);
      if (values.lognormal) {
        for (const double value : {values.lognormal->gm, values.lognormal->gsd,
                                   values.lognormal->p05, values.lognormal->p95}) {
          *at++ = ',';
          at = PutShortestNumber(value, at);
        }
      } else {
        at = std::copy_n(",,,,", 4, at);
      }
      *at++ = ',';
      const std::string_view status = integration::ExtrapolationName(values.extrapolation);
      at = std::copy(status.begin(), status.end(), at);
      *at++ = '\n';
      out.append(text, at);
    }
  });
}

void AppendGroupRows(const integration::PersonDoses& person, const integration::GroupDoses& group,
                     const AnnualDoseColumns& columns, std::string& out) {
  const PersonFields fields = PersonFieldsOf(person);
  std::string lead;
  AppendCsvField(fields.person, lead);
  lead += ',' + fields.birthDate + ',';
  AppendCsvField(group.name, lead);
  lead += ',';
  AppendYearRows(lead, input::YearOf(person.birthDate), group.doses, columns, out);
}

void AppendPartRows(const integration::ResolvedIntake& intake,
                    const integration::IntakePartDoses& part, const integration::YearDoses& doses,
                    const AnnualDoseColumns& columns, std::string& out) {
  const PartFields fields = PartFieldsOf(intake, part);
  std::string lead;
  AppendCsvField(fields.person.person, lead);
  lead += ',' + fields.person.birthDate + ',' + std::to_string(fields.row) + ',';
  AppendCsvField(fields.nuclide, lead);
  lead += ',' + std::string(fields.intake) + ',' + std::to_string(fields.form) + ',';
  AppendCsvField(fields.formCode, lead);
  lead += ',' + AgeGroupText(fields.ageGroup) + ',' + fields.start + ',' + fields.end + ',';
  AppendYearRows(lead, input::YearOf(intake.row->birthDate), doses, columns, out);
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

// A value of a distribution, null where the lognormal is empty.
Json NumberOrNull(const std::optional<double>& value) {
  return value ? Json(*value) : Json();
}

// {"low": {...}, "high": {...}} of position j: the mean, sd, GM and GSD by year.
Json DistributionsJson(const integration::PersonDoses& person, int j) {
  Json distributions = Json::object();
  const integration::YearDoses& doses = person.doses;
  for (const int let : {integration::kLowLet, integration::kHighLet}) {
    std::vector<double> mean, sd;
    Json gm = Json::array(), gsd = Json::array();
    for (int year = doses.firstYear(); year < doses.firstYear() + doses.yearCount(); ++year) {
      const DistributionValues values = DistributionValuesOf(person, year, j, let);
      mean.push_back(values.mean);
      sd.push_back(values.sd);
      gm.push_back(
          NumberOrNull(values.lognormal ? std::optional(values.lognormal->gm) : std::nullopt));
      gsd.push_back(
          NumberOrNull(values.lognormal ? std::optional(values.lognormal->gsd) : std::nullopt));
    }
    distributions[std::string(LetName(let))] = {{"mean_gy", std::move(mean)},
                                                {"sd_gy", std::move(sd)},
                                                {"gm_gy", std::move(gm)},
                                                {"gsd", std::move(gsd)}};
  }
  return distributions;
}

Json RegionsJson(const integration::PersonDoses& person, const AnnualDoseColumns& columns) {
  const integration::YearDoses& doses = person.doses;
  Json regions = Json::array();
  for (int j = 0; j < doses.regionCount(); ++j) {
    std::vector<double> low, high, lowTail, highTail;
    std::vector<std::string> status;
    for (int year = doses.firstYear(); year < doses.firstYear() + doses.yearCount(); ++year) {
      low.push_back(doses.low(year, j));
      high.push_back(doses.high(year, j));
      lowTail.push_back(doses.lowTail(year, j));
      highTail.push_back(doses.highTail(year, j));
      status.push_back(integration::ExtrapolationName(doses.extrapolation(year, j)));
    }
    const int region = columns.selectedRegions[static_cast<std::size_t>(j)];
    regions.push_back({{"region", region},
                       {"region_name", columns.regionNames[input::RegionIndex(region)]},
                       {"low_let_gy", std::move(low)},
                       {"high_let_gy", std::move(high)},
                       {"low_let_tail_gy", std::move(lowTail)},
                       {"high_let_tail_gy", std::move(highTail)},
                       {"extrapolation", std::move(status)}});
    if (!person.moments.empty()) regions.back()["distributions"] = DistributionsJson(person, j);
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
    std::vector<int> years, ages;
    for (int y = 0; y < person.doses.yearCount(); ++y) {
      years.push_back(person.doses.firstYear() + y);
      ages.push_back(years.back() - input::YearOf(person.birthDate));
    }
    people.push_back({{"person", person.person},
                      {"birth_date", input::DateText(person.birthDate)},
                      {"follow_up_end", input::DateText(person.end)},
                      {"intakes", std::move(intakes)},
                      {"years", std::move(years)},
                      {"ages", std::move(ages)},
                      {"regions", RegionsJson(person, columns)},
                      {"warnings", person.warnings}});
    if (person.sex) people.back()["sex"] = input::SexName(*person.sex);
  }
  Json json{{"persons", std::move(people)}};
  if (columns.highLetWeight) json["high_let_weight"] = *columns.highLetWeight;
  json["provenance"] = provenance;
  return json;
}

}  // namespace quillmore::output
