#include "history_columns.h"

namespace quillmore::python {

void HistoryColumns::Begin(const output::AnnualDoseColumns& columns, bool byIntake) {
  *this = {};
  fields = byIntake ? output::ByIntakeFields(columns) : output::AnnualDosesFields(columns);
  for (int j = 0; j < static_cast<int>(columns.selectedRegions.size()); ++j) {
    regions.push_back(output::SelectedRegion(columns, j));
    regionNames.push_back(output::SelectedRegionName(columns, j));
  }
}

void HistoryColumns::AddPerson(const integration::PersonDoses& person,
                               const output::AnnualDoseColumns& columns) {
  AddRows(static_cast<std::uint32_t>(persons.size()), person.doses, columns);
  persons.push_back(output::PersonFieldsOf(person));
  birthDates.push_back(person.birthDate);
}

void HistoryColumns::AddPart(const integration::ResolvedIntake& intake,
                             const integration::IntakePartDoses& part,
                             const integration::YearDoses& doses,
                             const output::AnnualDoseColumns& columns) {
  AddRows(static_cast<std::uint32_t>(parts.size()), doses, columns);
  parts.push_back(output::PartFieldsOf(intake, part));
  persons.push_back(parts.back().person);
  birthDates.push_back(intake.row->birthDate);
  partStarts.push_back(part.part.start);
  partEnds.push_back(part.part.end);
}

void HistoryColumns::AddRows(std::uint32_t lead, const integration::YearDoses& doses,
                             const output::AnnualDoseColumns& columns) {
  output::ForEachYearRow(doses, [&](int year, int j) {
    const output::DoseValues values = output::DoseValuesOf(doses, year, j, columns);
    rows.lead.push_back(lead);
    rows.year.push_back(year);
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
