#include "history_columns.h"

#include <limits>

#include "input/data_kind.h"
#include "input/intake_calendar.h"
#include "integration/coefficient_table.h"

namespace quillmore::python {

void HistoryColumns::Begin(const output::AnnualDoseColumns& columns, bool byIntake,
                           std::optional<integration::DoseGroup> group, bool distributions) {
  *this = {};
  fields = distributions ? output::DistributionFields()
           : byIntake    ? output::ByIntakeFields(columns)
           : group       ? output::ByGroupFields(columns, *group)
                         : output::AnnualDosesFields(columns);
  for (int j = 0; j < static_cast<int>(columns.selectedRegions.size()); ++j) {
    regions.push_back(output::SelectedRegion(columns, j));
    regionNames.push_back(output::SelectedRegionName(columns, j));
  }
}

void HistoryColumns::AddPerson(const integration::PersonDoses& person,
                               const output::AnnualDoseColumns& columns) {
  AddRows(static_cast<std::uint32_t>(persons.size()), input::YearOf(person.birthDate), person.doses,
          columns);
  persons.push_back(output::PersonFieldsOf(person));
  birthDates.push_back(person.birthDate);
}

void HistoryColumns::AddDistributions(const integration::PersonDoses& person) {
  const auto lead = static_cast<std::uint32_t>(persons.size());
  const int birthYear = input::YearOf(person.birthDate);
  const double none = std::numeric_limits<double>::quiet_NaN();
  output::ForEachYearRow(person.doses, [&](int year, int j) {
    for (const int let : {integration::kLowLet, integration::kHighLet}) {
      const output::DistributionValues values = output::DistributionValuesOf(person, year, j, let);
      rows.lead.push_back(lead);
      rows.year.push_back(year);
      rows.age.push_back(year - birthYear);
      rows.position.push_back(static_cast<std::uint32_t>(j));
      rows.let.push_back(static_cast<std::int8_t>(let));
      rows.mean.push_back(values.mean);
      rows.sd.push_back(values.sd);
      rows.gm.push_back(values.lognormal ? values.lognormal->gm : none);
      rows.gsd.push_back(values.lognormal ? values.lognormal->gsd : none);
      rows.p05.push_back(values.lognormal ? values.lognormal->p05 : none);
      rows.p95.push_back(values.lognormal ? values.lognormal->p95 : none);
      rows.extrapolation.push_back(static_cast<std::int8_t>(values.extrapolation));
    }
  });
  persons.push_back(output::PersonFieldsOf(person));
  birthDates.push_back(person.birthDate);
}

void HistoryColumns::AddPart(const integration::ResolvedIntake& intake,
                             const integration::IntakePartDoses& part,
                             const integration::YearDoses& doses,
                             const output::AnnualDoseColumns& columns) {
  AddRows(static_cast<std::uint32_t>(parts.size()), input::YearOf(intake.row->birthDate), doses,
          columns);
  parts.push_back(output::PartFieldsOf(intake, part));
  persons.push_back(parts.back().person);
  birthDates.push_back(intake.row->birthDate);
  partStarts.push_back(part.part.start);
  partEnds.push_back(part.part.end);
}

void HistoryColumns::AddGroup(const integration::PersonDoses& person, integration::DoseGroup by,
                              const integration::GroupDoses& group,
                              const output::AnnualDoseColumns& columns) {
  AddRows(static_cast<std::uint32_t>(parts.size()), input::YearOf(person.birthDate), group.doses,
          columns);
  output::PartFields lead;
  lead.person = output::PersonFieldsOf(person);
  if (by == integration::DoseGroup::kNuclide) {
    lead.nuclide = group.name;
  } else if (const std::optional<input::DataKind> kind = input::FindDataSet(group.name)) {
    lead.intake = input::DataSetOf(*kind).name;  // a view that outlives the group
  }
  parts.push_back(std::move(lead));
  persons.push_back(parts.back().person);
  birthDates.push_back(person.birthDate);
}

void HistoryColumns::AddRows(std::uint32_t lead, int birthYear, const integration::YearDoses& doses,
                             const output::AnnualDoseColumns& columns) {
  output::ForEachYearRow(doses, [&](int year, int j) {
    const output::DoseValues values = output::DoseValuesOf(doses, year, j, columns);
    rows.lead.push_back(lead);
    rows.year.push_back(year);
    rows.age.push_back(year - birthYear);
    rows.position.push_back(static_cast<std::uint32_t>(j));
    rows.low.push_back(values.low);
    rows.high.push_back(values.high);
    if (values.weighted) rows.weighted.push_back(*values.weighted);
    rows.lowTail.push_back(values.lowTail);
    rows.highTail.push_back(values.highTail);
    rows.extrapolation.push_back(static_cast<std::int8_t>(values.extrapolation));
  });
}

}  // namespace quillmore::python
