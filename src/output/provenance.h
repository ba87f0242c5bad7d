// What produced a run's numbers: program, data files, periods and selection.
// The JSON files and the run manifest carry it; it holds no time stamp, so
// the same inputs give the same bytes.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "input/data_kind.h"
#include "input/selection.h"
#include "output/written_files.h"

namespace quillmore::output {

struct Provenance {
  std::string program;
  std::string version;
  const input::Selection* selection = nullptr;  // data set, periods, ages and regions
  FileDigest dataSet;                           // name: the dose-rate file's name
  FileDigest index;                             // name: the index file's name
  FileDigest times;  // name: selection->timesFile as the run named it (unused with periodsText)
};

// Object members keep the order they are written in.
using Json = nlohmann::ordered_json;

Json ProvenanceJson(const Provenance& provenance);

// {"age_group": "10 y-old", "age_days": 3650} of age group 1 to 6.
Json AgeGroupJson(int ageGroup);

// {"region": 30, "region_name": "Lung"}; `regionNames` holds regions 1 to 30, UTF-8.
Json RegionJson(int region, const std::vector<std::string>& regionNames);

// `json` as text with a final line end; invalid UTF-8 becomes U+FFFD rather
// than an error.
std::string JsonText(const Json& json, int indent);

}  // namespace quillmore::output
