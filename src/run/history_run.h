// The front door of an intake-history run, for every face: the data files
// the rows need, the regions asked for, and the rows resolved to their
// blocks, or the bad rows that stop it.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "input/fault_list.h"
#include "input/intake_file.h"
#include "input/sites_file.h"
#include "integration/tail.h"
#include "output/annual_dose_files.h"
#include "run/intake_history.h"
#include "run/selection_names.h"

namespace quillmore::run {

// The index, the inhalation file (its region names head every row) and the
// ingestion file where a row needs it.
struct HistoryFiles {
  input::DataIndex index;
  input::DoseRateFile inhalation;
  input::DoseRateFile ingestion;
  bool ingestionOpen = false;
};

struct HistoryRequest {
  std::filesystem::path dataFolder;
  // As the face took them: numbers, names, "all"; empty with sites: the sites' regions.
  std::string regions = "all";
  std::optional<int> untilYear;         // the last year reported
  std::optional<double> highLetWeight;  // adds weighted_gy
  std::string fileLabel;                // the intake file as messages name it
  unsigned jobs = 1;                    // threads computing intakes at once
  ListWords words;                      // how the face names its region list
  std::string untilWords;               // and its last year: "--until ", "until="
  integration::Tail tail = integration::Tail::kExponential;  // past each block's data
  std::optional<int> untilAge;  // each person followed to 00:00 of this birthday
  std::string untilAgeWords;    // how the face names it: "--until-age ", "until_age="
  std::optional<std::vector<std::string>> frameIndex;  // a data frame's index labels, one a row
  // The moments of every value even when the file has no activity_gsd
  // column (every intake then exact); with one they are always computed.
  bool moments = false;
  // The sites of a risk calculator's rows (which must outlive the run), and
  // the sites file as messages name it. With sites, every person needs a sex.
  const input::SitesFile* sites = nullptr;
  std::string sitesLabel{};
};

// An opened history. With bad rows nothing is open and nothing may be
// computed; otherwise `history` is resolved and ready for Compute.
struct HistoryRun {
  // Every bad row, in line order (a row's faults keep theirs).
  input::FaultList badRows;
  // Every bad row of the sites file, in line order; with any, nothing is open.
  input::FaultList badSites;
  std::unique_ptr<HistoryFiles> files;
  output::AnnualDoseColumns columns;                    // the regions selected, their names (UTF-8)
  std::unique_ptr<std::vector<input::IntakeRow>> rows;  // what `history` resolved
  std::unique_ptr<IntakeHistory> history;
  // The intake file has an activity_gsd column: the history computes each
  // person's moments.
  bool uncertain = false;
};

// Opens the files of `request.dataFolder` that `intakes` needs, selects the
// regions and resolves the rows; the reader's notes on `intakes` head the
// history's messages. The good rows are resolved even beside bad
// ones, so that one run lists every bad row. Fails (with no bad rows to
// show) for a data set that cannot be opened or used (kNotFound, kIoError,
// kCorruption) and, before any bad row, for a region list that names no
// region or one twice (kUnknownName, kInvalidArgument). The sites file's own
// faults, and its regions that name none, are its bad rows.
base::Result<HistoryRun> OpenHistory(input::IntakeFile intakes, const HistoryRequest& request);

}  // namespace quillmore::run
