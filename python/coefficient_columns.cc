#include "coefficient_columns.h"

#include <algorithm>
#include <utility>

#include "base/cp1252.h"
#include "base/text.h"
#include "input/age_groups.h"
#include "output/form_name.h"

namespace quillmore::python {
namespace {

template <typename T>
void Append(std::vector<T>& to, std::vector<T>& from) {
  to.insert(to.end(), from.begin(), from.end());
  from.clear();
}

}  // namespace

void CoefficientRows::TakeFrom(CoefficientRows& other) {
  Append(nuclide, other.nuclide);
  Append(ageGroup, other.ageGroup);
  Append(ageDays, other.ageDays);
  Append(form, other.form);
  Append(formCode, other.formCode);
  Append(formLabel, other.formLabel);
  Append(periodDays, other.periodDays);
  Append(region, other.region);
  Append(lowLet, other.lowLet);
  Append(highLet, other.highLet);
  Append(extrapolation, other.extrapolation);
}

FormTexts FormTextsOf(input::DataKind kind, const input::BlockHeader& header,
                      std::int32_t labelNumber) {
  FormTexts texts{base::Cp1252ToUtf8(output::FormCode(header, kind)), ""};
  if (kind == input::DataKind::kInhalation) {
    texts.label = output::ChemicalFormLabel(header.name, labelNumber);
  }
  return texts;
}

base::Status ColumnSink::Begin(const output::NuclideTables& tables) {
  selection_ = tables.selection;
  nuclide_ = static_cast<std::uint32_t>(columns_.nuclideNames.size());
  columns_.nuclideNames.push_back(base::Cp1252ToUtf8(base::TrimBlanks(tables.nuclideName)));
  pending_.assign(selection_->selectedAges.size(), {});
  return base::Status::Ok();
}

base::Status ColumnSink::Add(const output::RowGroup& group) {
  const input::Selection& selection = *selection_;
  const int ageGroup = selection.selectedAges[group.table];
  FormTexts texts = FormTextsOf(selection.dataKind, group.header, group.form.label);
  const std::uint32_t code = Intern(columns_.formCodes, codeIds_, std::move(texts.code));
  const std::uint32_t label = Intern(columns_.formLabels, labelIds_, std::move(texts.label));
  CoefficientRows& rows = pending_[group.table];
  const integration::CoefficientTable& table = group.coefficients;
  const int times =
      std::min(table.timeCount(), static_cast<int>(selection.integrationTimes.size()));
  for (int k = 0; k < times; ++k) {
    for (int j = 0; j < table.regionCount(); ++j) {
      rows.nuclide.push_back(nuclide_);
      rows.ageGroup.push_back(static_cast<std::int8_t>(ageGroup));
      rows.ageDays.push_back(input::AgeGroupDays(ageGroup));
      rows.form.push_back(group.form.rowGroup);
      rows.formCode.push_back(code);
      rows.formLabel.push_back(label);
      rows.periodDays.push_back(selection.integrationTimes[static_cast<std::size_t>(k)]);
      rows.region.push_back(selection.selectedRegions[static_cast<std::size_t>(j)]);
      rows.lowLet.push_back(table.at(integration::kLowLet, j, k));
      rows.highLet.push_back(table.at(integration::kHighLet, j, k));
      rows.extrapolation.push_back(static_cast<std::int8_t>(
          integration::Worse(table.extrapolation(integration::kLowLet, j, k),
                             table.extrapolation(integration::kHighLet, j, k))));
    }
  }
  return base::Status::Ok();
}

base::Status ColumnSink::End(std::span<const output::RunMessage> /*messages*/) {
  for (CoefficientRows& rows : pending_) columns_.rows.TakeFrom(rows);
  return base::Status::Ok();
}

std::uint32_t ColumnSink::Intern(std::vector<std::string>& texts,
                                 std::unordered_map<std::string, std::uint32_t>& ids,
                                 std::string text) {
  const auto [place, added] = ids.try_emplace(text, static_cast<std::uint32_t>(texts.size()));
  if (added) texts.push_back(std::move(text));
  return place->second;
}

}  // namespace quillmore::python
