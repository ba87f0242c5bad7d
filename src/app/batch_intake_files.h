// The data files of an intake-history run and its --regions, as the batch
// and the Python module open and resolve them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/status.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "input/intake_file.h"

namespace quillmore::app {

// The index, the inhalation file (its region names head every row) and the
// ingestion file where a row needs it.
struct HistoryFiles {
  input::DataIndex index;
  input::DoseRateFile inhalation;
  input::DoseRateFile ingestion;
  bool ingestionOpen = false;
};

// Opens the files of `folder` that `rows` need; a failure is an IoError
// worded for the user.
base::Status OpenHistoryFiles(const std::filesystem::path& folder,
                              const std::vector<input::IntakeRow>& rows, HistoryFiles& files);

// `text` (--regions) as region numbers, each item resolved against the
// inhalation names, then the ingestion names (region 29 has another name
// there); the ParseRegionList refusal of an item, or a region listed twice.
base::Status SelectHistoryRegions(const std::string& text, const std::filesystem::path& folder,
                                  HistoryFiles& files, std::vector<int>& regions);

}  // namespace quillmore::app
