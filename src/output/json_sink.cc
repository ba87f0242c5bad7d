#include "output/json_sink.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "base/cp1252.h"
#include "base/text.h"
#include "input/age_groups.h"
#include "output/file_writer.h"
#include "output/json_writing.h"
#include "output/output_files.h"
#include "output/table_writer.h"

namespace quillmore::output {

std::string_view JsonNumberTexts::Of(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  if (length_ == 0 || bits != bits_) {
    bits_ = bits;
    if (std::isfinite(value)) {
      length_ = static_cast<std::size_t>(
          nlohmann::detail::to_chars(text_, text_ + sizeof text_, value) - text_);
    } else {
      length_ = std::string_view("null").copy(text_, sizeof text_);
    }
  }
  return {text_, length_};
}

namespace {

using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

void String(Writer& writer, std::string_view text) {
  WriteJsonString(writer, text);
}

void Key(Writer& writer, std::string_view key) {
  WriteJsonKey(writer, key);
}

void Raw(Writer& writer, std::string_view text, rapidjson::Type type) {
  writer.RawValue(text.data(), text.size(), type);
}

}  // namespace

JsonSink::JsonSink(std::filesystem::path folder, WrittenFiles* written, const Json& provenance)
    : file_(std::move(folder), ".json"), written_(written), provenance_(provenance) {}

base::Status JsonSink::Begin(const NuclideTables& tables) {
  const base::Status status = file_.Name(tables);
  tables_ = tables;
  regionNames_.clear();
  for (const std::string& regionName : tables.selection->regionNames) {
    regionNames_.push_back(base::Cp1252ToUtf8(regionName));
  }
  forms_.clear();
  values_.clear();
  extrapolations_.clear();
  return status;
}

base::Status JsonSink::Add(const RowGroup& group) {
  const input::Selection& selection = *tables_.selection;
  const bool inhalation = selection.dataKind == input::DataKind::kInhalation;
  const integration::CoefficientTable& table = group.coefficients;
  Form form;
  form.table = group.table;
  form.rowGroup = group.form.rowGroup;
  form.code = base::Cp1252ToUtf8(FormCode(group.header, selection.dataKind));
  if (inhalation) form.label = ChemicalFormLabel(group.header.name, group.form.label);
  form.regionCount = table.regionCount();
  form.timeCount = std::min(table.timeCount(), static_cast<int>(selection.integrationTimes.size()));
  form.firstValue = values_.size();
  for (int j = 0; j < form.regionCount; ++j) {
    for (const int component : {integration::kLowLet, integration::kHighLet}) {
      for (int k = 0; k < form.timeCount; ++k) {
        values_.push_back(table.at(component, j, k));
        extrapolations_.push_back(table.extrapolation(component, j, k));
      }
    }
  }
  forms_.push_back(std::move(form));
  return base::Status::Ok();
}

void JsonSink::WriteForm(const Form& form, Writer& writer) {
  writer.StartObject();
  Key(writer, "form");
  writer.Int(form.rowGroup);
  Key(writer, "form_code");
  String(writer, form.code);
  Key(writer, "form_label");
  String(writer, form.label);
  Key(writer, "regions");
  // The regions go straight into the file's text, in large pieces: RawValue
  // copies byte by byte. Given nothing, it writes what comes before a value.
  writer.RawValue("", 0, rapidjson::kArrayType);
  Append("[");
  const double* value = values_.data() + form.firstValue;
  const integration::Extrapolation* status = extrapolations_.data() + form.firstValue;
  const auto count = static_cast<std::size_t>(form.timeCount);
  for (std::size_t j = 0; j < static_cast<std::size_t>(form.regionCount); ++j) {
    if (j > 0) Append(",");
    Append(regionOpenings_[j]);
    AppendNumbers(std::span(value, count));
    Append("],\"high_let_gy_per_bq\":[");
    AppendNumbers(std::span(value + count, count));
    Append("],\"low_let_extrapolation\":");
    AppendStatuses(std::span(status, count));
    Append(",\"high_let_extrapolation\":");
    AppendStatuses(std::span(status + count, count));
    Append("}");
    value += 2 * count;
    status += 2 * count;
  }
  Append("]");
  writer.EndObject();
}

std::string JsonSink::RegionOpening(std::size_t j) const {
  const int region = tables_.selection->selectedRegions[j];
  const std::size_t index = input::RegionIndex(region);
  rapidjson::StringBuffer text;
  Writer writer(text);
  writer.StartObject();
  Key(writer, "region");
  writer.Int(region);
  Key(writer, "region_name");
  String(writer, index < regionNames_.size() ? regionNames_[index] : std::string_view());
  Key(writer, "low_let_gy_per_bq");
  writer.StartArray();
  return std::string(text.GetString(), text.GetSize());
}

void JsonSink::Append(std::string_view text) {
  std::memcpy(fileText_.Push(text.size()), text.data(), text.size());
}

void JsonSink::AppendNumbers(std::span<const double> values) {
  for (std::size_t k = 0; k < values.size(); ++k) {
    const std::string_view text = numbers_.Of(values[k]);
    // Copied with the comma before it in moves of a fixed size, then trimmed:
    // cheaper than a call to copy a few bytes.
    const std::size_t comma = k > 0 ? 1 : 0;
    char* at = fileText_.Push(1 + JsonNumberTexts::kRoom);
    *at = ',';
    std::memcpy(at + comma, text.data(), JsonNumberTexts::kRoom);
    fileText_.Pop(1 - comma + JsonNumberTexts::kRoom - text.size());
  }
}

void JsonSink::AppendStatuses(std::span<const integration::Extrapolation> statuses) {
  const bool none = std::all_of(statuses.begin(), statuses.end(), [](integration::Extrapolation e) {
    return e == integration::Extrapolation::kNone;
  });
  if (none && noneStatuses_.second == statuses.size()) {
    Append(noneStatuses_.first);
    return;
  }
  rapidjson::StringBuffer text;
  Writer writer(text);
  writer.StartArray();
  for (const integration::Extrapolation status : statuses)
    writer.String(integration::ExtrapolationName(status));
  writer.EndArray();
  const std::string_view array(text.GetString(), text.GetSize());
  if (none) noneStatuses_ = {std::string(array), statuses.size()};
  Append(array);
}

base::Status JsonSink::End(std::span<const RunMessage> messages) {
  const std::optional<std::filesystem::path> path = file_.Take();
  if (!path) return base::Status::Ok();
  const input::Selection& selection = *tables_.selection;
  if (provenanceText_.empty()) provenanceText_ = DumpText(provenance_);
  regionOpenings_.clear();
  for (std::size_t j = 0; j < selection.selectedRegions.size(); ++j)
    regionOpenings_.push_back(RegionOpening(j));
  fileText_.Clear();
  Writer writer(fileText_);
  writer.StartObject();
  Key(writer, "nuclide");
  String(writer, base::Cp1252ToUtf8(base::TrimBlanks(tables_.nuclideName)));
  Key(writer, "intake");
  String(writer, input::DataSetOf(selection.dataKind).name);
  Key(writer, "periods_days");
  writer.StartArray();
  for (const double period : selection.integrationTimes) {
    const std::string_view text = numbers_.Of(period);
    writer.RawValue(text.data(), text.size(), rapidjson::kNumberType);
  }
  writer.EndArray();
  Key(writer, "age_groups");
  writer.StartArray();
  for (std::size_t i = 0; i < selection.selectedAges.size(); ++i) {
    const int age = selection.selectedAges[i];
    writer.StartObject();
    Key(writer, "age_group");
    const std::string_view label = input::AgeGroupLabel(age);
    String(writer, label.substr(0, label.find_last_not_of(' ') + 1));
    Key(writer, "age_days");
    writer.Int(input::AgeGroupDays(age));
    Key(writer, "forms");
    writer.StartArray();
    for (const Form& form : forms_) {
      if (form.table == i) WriteForm(form, writer);
    }
    writer.EndArray();
    writer.EndObject();
  }
  writer.EndArray();
  for (const MessageKind kind : {MessageKind::kWarning, MessageKind::kNote}) {
    Key(writer, kind == MessageKind::kNote ? "notes" : "warnings");
    writer.StartArray();
    for (const RunMessage& message : messages) {
      if (message.kind != kind) continue;
      writer.StartObject();
      WriteMessageMembers(writer, message);
      writer.EndObject();
    }
    writer.EndArray();
  }
  Key(writer, "provenance");
  Raw(writer, provenanceText_,
      provenance_.is_null() ? rapidjson::kNullType : rapidjson::kObjectType);
  writer.EndObject();
  fileText_.Put('\n');
  const std::string_view text(fileText_.GetString(), fileText_.GetSize());
  return WriteRecordedFile(*path, text, written_);
}

}  // namespace quillmore::output
