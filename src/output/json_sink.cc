#include "output/json_sink.h"

#include <algorithm>
#include <utility>

#include "input/age_groups.h"
#include "output/output_files.h"
#include "output/table_writer.h"

namespace quillmore::output {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

Json RunMessageJson(const RunMessage& message) {
  Json json = Json::object();
  if (message.ageDays != 0) json["age_days"] = message.ageDays;
  if (message.record != 0) json["record"] = message.record;
  json["message"] = message.text;
  return json;
}

JsonSink::JsonSink(std::filesystem::path folder, WrittenFiles* written, TextToUtf8 toUtf8,
                   const Json& provenance)
    : folder_(std::move(folder)), written_(written), toUtf8_(toUtf8), provenance_(provenance) {}

base::Status JsonSink::Begin(const NuclideTables& tables) {
  std::string name;
  const base::Status status = NuclideFileName(tables.nuclideName, tables.kind, ".json", name);
  begun_ = status.ok();
  tables_ = tables;
  forms_.assign(tables.selectedAges.size(), Json::array());
  return status;
}

base::Status JsonSink::Add(const RowGroup& group) {
  const bool inhalation = tables_.kind == input::DataKind::kInhalation;
  const integration::CoefficientTable& table = group.coefficients;
  const int times = std::min(table.timeCount(), static_cast<int>(tables_.integrationTimes.size()));
  Json regions = Json::array();
  for (int j = 0; j < table.regionCount(); ++j) {
    const int region = tables_.selectedRegions[static_cast<std::size_t>(j)];
    std::vector<double> low;
    std::vector<double> high;
    for (int k = 0; k < times; ++k) {
      low.push_back(table.at(integration::kLowLet, j, k));
      high.push_back(table.at(integration::kHighLet, j, k));
    }
    const std::size_t index = input::RegionIndex(region);
    regions.push_back(
        {{"region", region},
         {"region_name",
          index < tables_.regionNames.size() ? toUtf8_(tables_.regionNames[index]) : std::string()},
         {"low_let_gy_per_bq", std::move(low)},
         {"high_let_gy_per_bq", std::move(high)}});
  }
  Json& forms = forms_[group.table];
  const std::string code =
      inhalation ? std::string(1, group.header.classCode) : group.header.f1Text;
  forms.push_back(
      {{"form", forms.size() + 1},
       {"form_code", toUtf8_(TrimBlanks(code))},
       {"form_label", inhalation ? ChemicalFormLabel(group.header.name, group.formNumber) : ""},
       {"regions", std::move(regions)}});
  return base::Status::Ok();
}

// {"warnings": [...], "notes": [...]} of `messages`, members added to `json`.
void AddMessages(std::span<const RunMessage> messages, Json& json) {
  Json warnings = Json::array();
  Json notes = Json::array();
  for (const RunMessage& message : messages) {
    (message.kind == MessageKind::kNote ? notes : warnings).push_back(RunMessageJson(message));
  }
  json["warnings"] = std::move(warnings);
  json["notes"] = std::move(notes);
}

base::Status JsonSink::End(std::span<const RunMessage> messages) {
  if (!begun_) return base::Status::Ok();
  begun_ = false;
  Json ageGroups = Json::array();
  for (std::size_t i = 0; i < forms_.size(); ++i) {
    Json group = AgeGroupJson(tables_.selectedAges[i]);
    group["forms"] = std::move(forms_[i]);
    ageGroups.push_back(std::move(group));
  }
  Json json{{"nuclide", toUtf8_(TrimBlanks(tables_.nuclideName))},
            {"intake", input::DataSetOf(tables_.kind).name},
            {"periods_days",
             std::vector<double>(tables_.integrationTimes.begin(), tables_.integrationTimes.end())},
            {"age_groups", std::move(ageGroups)}};
  AddMessages(messages, json);
  json["provenance"] = provenance_;
  std::string name;
  NuclideFileName(tables_.nuclideName, tables_.kind, ".json", name);
  const std::filesystem::path path = folder_ / name;
  base::Status status = WriteWholeFile(path, JsonText(json, -1));
  if (status.ok() && written_ != nullptr) status = written_->Add(path);
  return status;
}

}  // namespace quillmore::output
