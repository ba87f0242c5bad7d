#include "output/csv_sink.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

#include "base/cp1252.h"
#include "base/text.h"
#include "input/age_groups.h"
#include "output/file_writer.h"
#include "output/output_files.h"
#include "output/table_writer.h"

namespace quillmore::output {
namespace {

constexpr std::string_view kHeader =
    "nuclide,intake,age_group,age_days,form,form_code,form_label,period_days,region,"
    "region_name,low_let_gy_per_bq,high_let_gy_per_bq,extrapolation\n";

char* Put(std::string_view text, char* at) {
  return std::copy(text.begin(), text.end(), at);
}

}  // namespace

char* PutShortestNumber(double value, char* at) {
  // to_chars writes "-nan" for a NaN with its sign bit set; a NaN has no sign to show.
  if (std::isnan(value)) return std::copy_n("nan", 3, at);
  // Most parts from past the data are 0: written without the general search.
  if (value == 0 && !std::signbit(value)) {
    *at = '0';
    return at + 1;
  }
  return std::to_chars(at, at + kNumberRoom, value).ptr;
}

void AppendShortestNumber(double value, std::string& out) {
  char text[kNumberRoom];
  out.append(text, PutShortestNumber(value, text));
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

CsvSink::CsvSink(std::filesystem::path folder, WrittenFiles* written, Compression compression)
    : file_(std::move(folder), ".csv"), written_(written), compression_(compression) {}

base::Status CsvSink::Begin(const NuclideTables& tables) {
  const base::Status status = file_.Name(tables);
  tables_ = tables;
  const input::Selection& selection = *tables.selection;
  const std::size_t tableCount = selection.selectedAges.size();
  if (rows_.size() < tableCount) rows_.resize(tableCount);
  for (std::string& rows : rows_) rows.clear();
  periodTexts_.resize(selection.integrationTimes.size());
  for (std::size_t k = 0; k < periodTexts_.size(); ++k) {
    periodTexts_[k].clear();
    AppendShortestNumber(selection.integrationTimes[k], periodTexts_[k]);
  }
  regionTexts_.resize(selection.selectedRegions.size());
  for (std::size_t j = 0; j < regionTexts_.size(); ++j) {
    const int region = selection.selectedRegions[j];
    std::string& text = regionTexts_[j];
    text.assign(1, ',');
    text += std::to_string(region);
    text += ',';
    const std::size_t index = input::RegionIndex(region);
    if (index < selection.regionNames.size()) {
      AppendCsvField(base::Cp1252ToUtf8(selection.regionNames[index]), text);
    }
    text += ',';
  }
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
  const int times = std::min(table.timeCount(), static_cast<int>(periodTexts_.size()));
  for (int k = 0; k < times; ++k) {
    const std::string& period = periodTexts_[static_cast<std::size_t>(k)];
    for (int j = 0; j < table.regionCount(); ++j) {
      // The row is written in place: room for it first, trimmed to what it took.
      const std::string& region = regionTexts_[static_cast<std::size_t>(j)];
      const std::string_view extrapolation = integration::ExtrapolationName(
          integration::Worse(table.extrapolation(integration::kLowLet, j, k),
                             table.extrapolation(integration::kHighLet, j, k)));
      // The row is put together in row_, with room for any numbers, then
      // appended: the rows' own buffer is never zeroed and trimmed.
      const std::size_t room =
          lead.size() + period.size() + region.size() + 2 * kNumberRoom + extrapolation.size() + 3;
      if (row_.size() < room) row_.resize(room);
      char* p = Put(region, Put(period, Put(lead, row_.data())));
      p = PutShortestNumber(table.at(integration::kLowLet, j, k), p);
      *p++ = ',';
      p = PutShortestNumber(table.at(integration::kHighLet, j, k), p);
      *p++ = ',';
      p = Put(extrapolation, p);
      *p++ = '\n';
      out.append(row_.data(), static_cast<std::size_t>(p - row_.data()));
    }
  }
  return base::Status::Ok();
}

base::Status CsvSink::End(std::span<const RunMessage> /*messages*/) {
  const std::optional<std::filesystem::path> path = file_.Take();
  if (!path) return base::Status::Ok();
  // The header and each table's rows as they are, without gathering them first.
  std::vector<std::string_view> pieces{kHeader};
  for (std::size_t i = 0; i < tables_.selection->selectedAges.size(); ++i)
    pieces.push_back(rows_[i]);
  return WriteRecordedFile(*path, pieces, written_, compression_);
}

}  // namespace quillmore::output
