#include "output/json_sink.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "base/cp1252.h"
#include "base/text.h"
#include "input/age_groups.h"
#include "output/output_files.h"
#include "output/table_writer.h"

namespace quillmore::output {
namespace {

using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

// Adds "warnings" and "notes", each in the order given, to `json`.
void AddMessages(std::span<const RunMessage> messages, Json& json) {
  Json warnings = Json::array();
  Json notes = Json::array();
  for (const RunMessage& message : messages) {
    (message.kind == MessageKind::kNote ? notes : warnings).push_back(RunMessageJson(message));
  }
  json["warnings"] = std::move(warnings);
  json["notes"] = std::move(notes);
}

// The text JsonText gives a value: the whole file reads as one dump of a document.
std::string DumpText(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

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

// Printable ASCII escapes alike in both libraries; anything else (control
// characters, which RapidJSON escapes in upper-case hex, and bytes that may
// not be UTF-8, which the dump replaces) takes the dump's escaping.
void String(Writer& writer, std::string_view text) {
  const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
    return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x80;
  });
  if (plain) {
    writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
    return;
  }
  const std::string dumped = DumpText(Json(std::string(text)));
  writer.RawValue(dumped.data(), dumped.size(), rapidjson::kStringType);
}

void Key(Writer& writer, std::string_view key) {
  writer.Key(key.data(), static_cast<rapidjson::SizeType>(key.size()));
}

void Raw(Writer& writer, std::string_view text, rapidjson::Type type) {
  writer.RawValue(text.data(), text.size(), type);
}

}  // namespace

Json RunMessageJson(const RunMessage& message) {
  Json json = Json::object();
  if (message.ageDays != 0) json["age_days"] = message.ageDays;
  if (message.record != 0) json["record"] = message.record;
  json["message"] = message.text;
  return json;
}

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
  Json messageJson = Json::object();
  AddMessages(messages, messageJson);
  for (const char* member : {"warnings", "notes"}) {
    Key(writer, member);
    Raw(writer, DumpText(messageJson[member]), rapidjson::kArrayType);
  }
  Key(writer, "provenance");
  Raw(writer, provenanceText_,
      provenance_.is_null() ? rapidjson::kNullType : rapidjson::kObjectType);
  writer.EndObject();
  fileText_.Put('\n');
  std::string name;
  NuclideFileName(tables_.nuclideName, selection.dataKind, ".json", name);
  const std::filesystem::path path = folder_ / name;
  base::Status status =
      WriteWholeFile(path, std::string_view(fileText_.GetString(), fileText_.GetSize()));
  if (status.ok() && written_ != nullptr) status = written_->Add(path);
  return status;
}

}  // namespace quillmore::output
