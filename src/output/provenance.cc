#include "output/provenance.h"

#include "base/cp1252.h"
#include "input/age_groups.h"
#include "input/dose_rate_file.h"

namespace quillmore::output {
Json RegionJson(int region, const std::vector<std::string>& regionNames) {
  const std::size_t index = input::RegionIndex(region);
  return Json{{"region", region},
              {"region_name", index < regionNames.size() ? regionNames[index] : ""}};
}

namespace {

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

Json FileJson(const char* nameKey, const FileDigest& file, bool withSize) {
  Json json{{nameKey, file.name}};
  if (withSize) json["size"] = file.size;
  json["sha256"] = file.sha256;
  return json;
}

}  // namespace

Json AgeGroupJson(int ageGroup) {
  return Json{{"age_group", TrimBlanks(input::AgeGroupLabel(ageGroup))},
              {"age_days", input::AgeGroupDays(ageGroup)}};
}

Json ProvenanceJson(const Provenance& provenance) {
  const input::Selection& selection = *provenance.selection;
  Json ages = Json::array();
  for (const int age : selection.selectedAges) ages.push_back(AgeGroupJson(age));
  std::vector<std::string> names;
  for (const std::string& name : selection.regionNames) names.push_back(base::Cp1252ToUtf8(name));
  Json regions = Json::array();
  for (const int region : selection.selectedRegions) regions.push_back(RegionJson(region, names));
  return Json{{"program", {{"name", provenance.program}, {"version", provenance.version}}},
              {"intake", input::DataSetOf(selection.dataKind).name},
              {"data_set", FileJson("file", provenance.dataSet, true)},
              {"index", FileJson("file", provenance.index, true)},
              {"times", selection.periodsText.empty()
                            ? FileJson("path", provenance.times, false)
                            : Json{{"source", "--periods"}, {"text", selection.periodsText}}},
              {"periods_days", selection.integrationTimes},
              {"selection", {{"age_groups", ages}, {"regions", regions}}}};
}

std::string JsonText(const Json& json, int indent) {
  return json.dump(indent, ' ', false, Json::error_handler_t::replace) + '\n';
}

}  // namespace quillmore::output
