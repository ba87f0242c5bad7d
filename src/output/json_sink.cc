#include "output/json_sink.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "base/cp1252.h"
#include "base/text.h"
#include "input/age_groups.h"
#include "output/json_writing.h"
#include "output/output_files.h"
#include "output/table_writer.h"

namespace quillmore::output {
namespace {

using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

// A number as the document's dump writes it: nlohmann's own shortest
// round-trip digits ("1e-07", "365.0"), which RapidJSON's differ from; a
// non-finite value as null.
void Number(Writer& writer, double value) {
  if (!std::isfinite(value)) {
    writer.Null();
    return;
  }
  char text[64];
  const char* end = nlohmann::detail::to_chars(text, text + sizeof text, value);
  writer.RawValue(text, static_cast<std::size_t>(end - text), rapidjson::kNumberType);
}

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
    : folder_(std::move(folder)), written_(written), provenance_(provenance) {}

base::Status JsonSink::Begin(const NuclideTables& tables) {
  std::string name;
  const base::Status status =
      NuclideFileName(tables.nuclideName, tables.selection->dataKind, ".json", name);
  begun_ = status.ok();
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

void JsonSink::WriteForm(const Form& form, Writer& writer) const {
  writer.StartObject();
  Key(writer, "form");
  writer.Int(form.rowGroup);
  Key(writer, "form_code");
  String(writer, form.code);
  Key(writer, "form_label");
  String(writer, form.label);
  Key(writer, "regions");
  writer.StartArray();
  const double* value = values_.data() + form.firstValue;
  const integration::Extrapolation* status = extrapolations_.data() + form.firstValue;
  for (int j = 0; j < form.regionCount; ++j) {
    const int region = tables_.selection->selectedRegions[static_cast<std::size_t>(j)];
    const std::size_t index = input::RegionIndex(region);
    writer.StartObject();
    Key(writer, "region");
    writer.Int(region);
    Key(writer, "region_name");
    String(writer, index < regionNames_.size() ? regionNames_[index] : std::string_view());
    for (const std::string_view key : {"low_let_gy_per_bq", "high_let_gy_per_bq"}) {
      Key(writer, key);
      writer.StartArray();
      for (int k = 0; k < form.timeCount; ++k) Number(writer, *value++);
      writer.EndArray();
    }
    for (const std::string_view key : {"low_let_extrapolation", "high_let_extrapolation"}) {
      Key(writer, key);
      writer.StartArray();
      for (int k = 0; k < form.timeCount; ++k)
        writer.String(integration::ExtrapolationName(*status++));
      writer.EndArray();
    }
    writer.EndObject();
  }
  writer.EndArray();
  writer.EndObject();
}

base::Status JsonSink::End(std::span<const RunMessage> messages) {
  if (!begun_) return base::Status::Ok();
  begun_ = false;
  const input::Selection& selection = *tables_.selection;
  if (provenanceText_.empty()) provenanceText_ = DumpText(provenance_);
  fileText_.Clear();
  Writer writer(fileText_);
  writer.StartObject();
  Key(writer, "nuclide");
  String(writer, base::Cp1252ToUtf8(base::TrimBlanks(tables_.nuclideName)));
  Key(writer, "intake");
  String(writer, input::DataSetOf(selection.dataKind).name);
  Key(writer, "periods_days");
  writer.StartArray();
  for (const double period : selection.integrationTimes) Number(writer, period);
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
  std::string name;
  NuclideFileName(tables_.nuclideName, selection.dataKind, ".json", name);
  const std::filesystem::path path = folder_ / name;
  const std::string_view text(fileText_.GetString(), fileText_.GetSize());
  base::Status status = WriteWholeFile(path, text);
  if (status.ok() && written_ != nullptr) status = written_->Add(path, text);
  return status;
}

}  // namespace quillmore::output
