#include "annual_doses.h"

#include <algorithm>
#include <filesystem>
#include <thread>

#include "app/batch_intake_files.h"
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

input::IntakeFile ReadIntakes(const HistoryRequest& request) {
  if (const auto* columns = std::get_if<std::vector<input::IntakeColumn>>(&request.intakes)) {
    return input::ReadIntakeColumns(*columns);
  }
  return input::ReadIntakeFile(std::get<std::string>(request.intakes));
}

}  // namespace

Status ComputeAnnualDoses(const HistoryRequest& request, HistoryColumns* result) {
  const input::IntakeFile intakes = ReadIntakes(request);
  std::vector<input::IntakeFault> faults = intakes.faults;
  if (intakes.rows.empty()) return FaultList(request.label, faults);
  std::filesystem::path folder;
  if (const Status found = run::FindDataFolder("", request.dataDir, &folder); !found.ok()) {
    return Status::IoError("no data folder " + folder.string() +
                           (found.message().empty() ? "" : " (" + found.message() + ")"));
  }
  app::HistoryFiles files;
  Status status = app::OpenHistoryFiles(folder, intakes.rows, files);
  if (!status.ok()) return faults.empty() ? status : FaultList(request.label, faults);
  output::AnnualDoseColumns columns;
  columns.highLetWeight = request.highLetWeight;
  for (const std::string& name : run::ReadRegionNames(files.inhalation)) {
    columns.regionNames.push_back(base::Cp1252ToUtf8(name));
  }
  status = app::SelectHistoryRegions(request.regions, folder, files, columns.selectedRegions);
  if (!status.ok()) return status;
  const unsigned jobs = std::max(1U, std::thread::hardware_concurrency());
  run::IntakeHistory history(
      {&files.index, {&files.inhalation, files.ingestionOpen ? &files.ingestion : nullptr}},
      {columns.selectedRegions, request.untilYear, request.label, jobs});
  status = history.Resolve(intakes.rows, faults);
  if (!status.ok() || !faults.empty()) {
    return faults.empty() ? status : FaultList(request.label, faults);
  }
  result->Begin(columns, request.byIntake);
  status =
      history.Compute([&](const output::ResolvedIntake& intake, const output::IntakePartDoses& part,
                          const output::YearDoses& doses) {
        if (request.byIntake) result->AddPart(intake, part, doses, columns);
        return Status::Ok();
      });
  if (!status.ok()) return status;
  if (!request.byIntake) {
    for (const output::PersonDoses& person : history.persons()) result->AddPerson(person, columns);
  }
  result->messages = history.messages();
  return Status::Ok();
}

}  // namespace quillmore::python
