#include "annual_doses.h"

#include <algorithm>
#include <filesystem>
#include <thread>

#include "app/batch_options.h"
#include "base/cp1252.h"
#include "base/text.h"
#include "data_set.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "input/intake_file.h"
#include "output/annual_dose_files.h"
#include "run/data_files.h"
#include "run/intake_history.h"

namespace quillmore::python {
namespace {

using base::Status;

constexpr std::size_t kFaultsShown = 20;

// The bad rows as the batch lists them, without its program prefix.
Status FaultList(const std::string& label, std::vector<input::IntakeFault> faults) {
  std::stable_sort(
      faults.begin(), faults.end(),
      [](const input::IntakeFault& a, const input::IntakeFault& b) { return a.line < b.line; });
  std::string text;
  for (std::size_t i = 0; i < faults.size() && i < kFaultsShown; ++i) {
    text += (text.empty() ? "" : "\n") + label;
    if (faults[i].line > 0) text += ':' + std::to_string(faults[i].line);
    text += ": " + faults[i].message;
  }
  if (faults.size() > kFaultsShown) {
    text += '\n' + label + ": " + std::to_string(faults.size() - kFaultsShown) +
            " more bad rows not shown";
  }
  return Status::InvalidArgument(text);
}

// The index, the inhalation file (its region names head every row) and the
// ingestion file, opened as the batch opens them.
struct HistoryFiles {
  input::DataIndex index;
  input::DoseRateFile inhalation;
  input::DoseRateFile ingestion;
  bool ingestionOpen = false;
};

Status OpenFiles(const std::filesystem::path& folder, const std::vector<input::IntakeRow>& rows,
                 HistoryFiles& files) {
  Status status = run::OpenIndex(folder, files.index);
  if (!status.ok()) return Status::IoError("unable to open the index: " + status.message());
  status = run::OpenDoseRates(folder, input::DataKind::kInhalation, files.inhalation);
  const bool ingestion = std::any_of(rows.begin(), rows.end(), [](const input::IntakeRow& row) {
    return row.kind == input::DataKind::kIngestion;
  });
  if (status.ok() && ingestion) {
    status = run::OpenDoseRates(folder, input::DataKind::kIngestion, files.ingestion);
    files.ingestionOpen = status.ok();
  }
  if (!status.ok()) {
    return Status::IoError("unable to open the dose-rate file: " + status.message());
  }
  return Status::Ok();
}

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> items;
  for (std::size_t start = 0;;) {
    const std::size_t comma = text.find(',', start);
    items.push_back(text.substr(start, comma - start));
    if (comma == std::string::npos) return items;
    start = comma + 1;
  }
}

// Each item against the inhalation names, then the ingestion names (region
// 29 has another name there), as the batch resolves --regions.
Status SelectRegions(const std::string& text, const std::filesystem::path& folder,
                     HistoryFiles& files, std::vector<int>& regions) {
  std::vector<std::vector<std::string>> names{run::ReadRegionNames(files.inhalation)};
  input::DoseRateFile ingestion;  // for its names, also where no row takes that route
  if (files.ingestionOpen) {
    names.push_back(run::ReadRegionNames(files.ingestion));
  } else if (run::OpenDoseRates(folder, input::DataKind::kIngestion, ingestion).ok()) {
    names.push_back(run::ReadRegionNames(ingestion));
  }
  if (base::AsciiLower(text) == "all") return app::ParseRegionList(text, names[0], &regions);
  regions.clear();
  for (const std::string& item : SplitCommas(text)) {
    std::vector<int> one;
    Status status = NameLookup(app::ParseRegionList(item, names[0], &one));
    if (!status.ok() && names.size() > 1 && app::ParseRegionList(item, names[1], &one).ok()) {
      status = Status::Ok();
    }
    if (!status.ok()) return status;
    if (std::find(regions.begin(), regions.end(), one[0]) != regions.end()) {
      return Status::InvalidArgument("region " + std::to_string(one[0]) +
                                     " is listed twice in --regions");
    }
    regions.push_back(one[0]);
  }
  return Status::Ok();
}

}  // namespace

Status ComputeAnnualDoses(const HistoryRequest& request, HistoryTexts* result) {
  const input::IntakeFile intakes = input::ReadIntakeFile(request.bytes);
  std::vector<input::IntakeFault> faults = intakes.faults;
  if (intakes.rows.empty()) return FaultList(request.label, faults);
  std::filesystem::path folder;
  if (const Status found = run::FindDataFolder("", request.dataDir, &folder); !found.ok()) {
    return Status::IoError("no data folder " + folder.string() +
                           (found.message().empty() ? "" : " (" + found.message() + ")"));
  }
  HistoryFiles files;
  Status status = OpenFiles(folder, intakes.rows, files);
  if (!status.ok()) return faults.empty() ? status : FaultList(request.label, faults);
  output::AnnualDoseColumns columns;
  columns.highLetWeight = request.highLetWeight;
  for (const std::string& name : run::ReadRegionNames(files.inhalation)) {
    columns.regionNames.push_back(base::Cp1252ToUtf8(name));
  }
  status = SelectRegions(request.regions, folder, files, columns.selectedRegions);
  if (!status.ok()) return status;
  const unsigned jobs = std::max(1U, std::thread::hardware_concurrency());
  run::IntakeHistory history(
      {&files.index, {&files.inhalation, files.ingestionOpen ? &files.ingestion : nullptr}},
      {columns.selectedRegions, request.untilYear, request.label, jobs});
  status = history.Resolve(intakes.rows, faults);
  if (!status.ok() || !faults.empty()) {
    return faults.empty() ? status : FaultList(request.label, faults);
  }
  if (request.byIntake) result->byIntakeCsv = output::ByIntakeHeader(columns);
  status =
      history.Compute([&](const output::ResolvedIntake& intake, const output::IntakePartDoses& part,
                          const output::YearDoses& doses) {
        if (request.byIntake)
          output::AppendPartRows(intake, part, doses, columns, result->byIntakeCsv);
        return Status::Ok();
      });
  if (!status.ok()) return status;
  result->annualCsv = output::AnnualDosesHeader(columns);
  for (const output::PersonDoses& person : history.persons()) {
    output::AppendPersonRows(person, columns, result->annualCsv);
  }
  result->messages = history.messages();
  return Status::Ok();
}

}  // namespace quillmore::python
