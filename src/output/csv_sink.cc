#include "output/csv_sink.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

#include "base/cp1252.h"
#include "base/text.h"
#include "input/age_groups.h"
#include "output/output_files.h"
#include "output/table_writer.h"

namespace quillmore::output {
namespace {

constexpr std::string_view kHeader =
    "nuclide,intake,age_group,age_days,form,form_code,form_label,period_days,region,"
    "region_name,low_let_gy_per_bq,high_let_gy_per_bq,extrapolation\n";

}  // namespace

void AppendShortestNumber(double value, std::string& out) {
  // to_chars writes "-nan" for a NaN with its sign bit set; a NaN has no sign to show.
  if (std::isnan(value)) {
    out += "nan";
    return;
  }
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  out.append(text, result.ptr);
}

void AppendCsvField(std::string_view field, std::string& out) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += field;
    return;
  }
  out += '"';
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

CsvSink::CsvSink(std::filesystem::path folder, WrittenFiles* written)
    : folder_(std::move(folder)), written_(written) {}

base::Status CsvSink::Begin(const NuclideTables& tables) {
  std::string name;
  const base::Status status =
      NuclideFileName(tables.nuclideName, tables.selection->dataKind, ".csv", name);
  begun_ = status.ok();
  tables_ = tables;
  rows_.assign(tables.selection->selectedAges.size(), {});
  return status;
}

base::Status CsvSink::Add(const RowGroup& group) {
  const input::Selection& selection = *tables_.selection;
  const bool inhalation = selection.dataKind == input::DataKind::kInhalation;
  const int ageGroup = selection.selectedAges[group.table];
  // The fields every row of the group shares, up to the period.
  std::string lead;
  AppendCsvField(base::Cp1252ToUtf8(base::TrimBlanks(group.header.name)), lead);
  lead += inhalation ? ",inhalation," : ",ingestion,";
  lead += base::TrimBlanks(input::AgeGroupLabel(ageGroup));
  lead += ',' + std::to_string(input::AgeGroupDays(ageGroup)) + ',' +
          std::to_string(group.form.rowGroup) + ',';
  AppendCsvField(base::Cp1252ToUtf8(FormCode(group.header, selection.dataKind)), lead);
  lead += ',';
  if (inhalation) AppendCsvField(ChemicalFormLabel(group.header.name, group.form.label), lead);
  lead += ',';

  std::string& out = rows_[group.table];
  const integration::CoefficientTable& table = group.coefficients;
  const int times =
      std::min(table.timeCount(), static_cast<int>(selection.integrationTimes.size()));
  for (int k = 0; k < times; ++k) {
    for (int j = 0; j < table.regionCount(); ++j) {
      const int region = selection.selectedRegions[static_cast<std::size_t>(j)];
      out += lead;
      AppendShortestNumber(selection.integrationTimes[static_cast<std::size_t>(k)], out);
      out += ',' + std::to_string(region) + ',';
      const std::size_t index = input::RegionIndex(region);
      if (index < selection.regionNames.size()) {
        AppendCsvField(base::Cp1252ToUtf8(selection.regionNames[index]), out);
      }
      out += ',';
      AppendShortestNumber(table.at(integration::kLowLet, j, k), out);
      out += ',';
      AppendShortestNumber(table.at(integration::kHighLet, j, k), out);
      out += ',';
      out += integration::ExtrapolationName(
          integration::Worse(table.extrapolation(integration::kLowLet, j, k),
                             table.extrapolation(integration::kHighLet, j, k)));
      out += '\n';
    }
  }
  return base::Status::Ok();
}

base::Status CsvSink::End(std::span<const RunMessage> /*messages*/) {
  if (!begun_) return base::Status::Ok();
  begun_ = false;
  std::string name;
  NuclideFileName(tables_.nuclideName, tables_.selection->dataKind, ".csv", name);
  std::string text(kHeader);
  for (const std::string& rows : rows_) text += rows;
  const std::filesystem::path path = folder_ / name;
  base::Status status = WriteWholeFile(path, text);
  if (status.ok() && written_ != nullptr) status = written_->Add(path);
  return status;
}

}  // namespace quillmore::output
