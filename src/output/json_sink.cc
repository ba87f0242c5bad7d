#include "output/json_sink.h"

#include <algorithm>
#include <utility>

#include "base/cp1252.h"
#include "base/text.h"
#include "input/age_groups.h"
#include "output/output_files.h"
#include "output/table_writer.h"

namespace quillmore::output {
namespace {

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
  forms_.assign(tables.selection->selectedAges.size(), Json::array());
  return status;
}

base::Status JsonSink::Add(const RowGroup& group) {
  const input::Selection& selection = *tables_.selection;
  const bool inhalation = selection.dataKind == input::DataKind::kInhalation;
  const integration::CoefficientTable& table = group.coefficients;
  const int times =
      std::min(table.timeCount(), static_cast<int>(selection.integrationTimes.size()));
  Json regions = Json::array();
  for (int j = 0; j < table.regionCount(); ++j) {
    const int region = selection.selectedRegions[static_cast<std::size_t>(j)];
    std::vector<double> low;
    std::vector<double> high;
    std::vector<const char*> lowExtrapolation;
    std::vector<const char*> highExtrapolation;
    for (int k = 0; k < times; ++k) {
      low.push_back(table.at(integration::kLowLet, j, k));
      high.push_back(table.at(integration::kHighLet, j, k));
      lowExtrapolation.push_back(
          integration::ExtrapolationName(table.extrapolation(integration::kLowLet, j, k)));
      highExtrapolation.push_back(
          integration::ExtrapolationName(table.extrapolation(integration::kHighLet, j, k)));
    }
    const std::size_t index = input::RegionIndex(region);
    regions.push_back({{"region", region},
                       {"region_name", index < selection.regionNames.size()
                                           ? base::Cp1252ToUtf8(selection.regionNames[index])
                                           : std::string()},
                       {"low_let_gy_per_bq", std::move(low)},
                       {"high_let_gy_per_bq", std::move(high)},
                       {"low_let_extrapolation", std::move(lowExtrapolation)},
                       {"high_let_extrapolation", std::move(highExtrapolation)}});
  }
  forms_[group.table].push_back(
      {{"form", group.form.rowGroup},
       {"form_code", base::Cp1252ToUtf8(FormCode(group.header, selection.dataKind))},
       {"form_label", inhalation ? ChemicalFormLabel(group.header.name, group.form.label) : ""},
       {"regions", std::move(regions)}});
  return base::Status::Ok();
}

// {"warnings": [...], "notes": [...]} of `messages`, members added to `json`.

base::Status JsonSink::End(std::span<const RunMessage> messages) {
  if (!begun_) return base::Status::Ok();
  begun_ = false;
  Json ageGroups = Json::array();
  for (std::size_t i = 0; i < forms_.size(); ++i) {
    Json group = AgeGroupJson(tables_.selection->selectedAges[i]);
    group["forms"] = std::move(forms_[i]);
    ageGroups.push_back(std::move(group));
  }
  const input::Selection& selection = *tables_.selection;
  Json json{{"nuclide", base::Cp1252ToUtf8(base::TrimBlanks(tables_.nuclideName))},
            {"intake", input::DataSetOf(selection.dataKind).name},
            {"periods_days", selection.integrationTimes},
            {"age_groups", std::move(ageGroups)}};
  AddMessages(messages, json);
  json["provenance"] = provenance_;
  std::string name;
  NuclideFileName(tables_.nuclideName, selection.dataKind, ".json", name);
  const std::filesystem::path path = folder_ / name;
  base::Status status = WriteWholeFile(path, JsonText(json, -1));
  if (status.ok() && written_ != nullptr) status = written_->Add(path);
  return status;
}

}  // namespace quillmore::output
