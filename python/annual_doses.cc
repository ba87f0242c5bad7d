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

// The bad rows as the batch lists them, without its program prefix.
Status FaultError(const std::string& label, const input::FaultList& faults) {
  std::string text;
  for (const std::string& line : faults.ShownLines(label, "bad rows"))
    text += (text.empty() ? "" : "\n") + line;
  return Status::InvalidArgument(text);
}

}  // namespace

Status ComputeAnnualDoses(const HistoryRequest& request, HistoryTexts* result) {
  const input::IntakeFile intakes = input::ReadIntakeFile(request.bytes);
  input::FaultList faults = intakes.faults;
  if (intakes.rows.empty()) return FaultError(request.label, faults);
  std::filesystem::path folder;
  if (const Status found = run::FindDataFolder("", request.dataDir, &folder); !found.ok()) {
    return Status::IoError("no data folder " + folder.string() +
                           (found.message().empty() ? "" : " (" + found.message() + ")"));
  }
  app::HistoryFiles files;
  Status status = app::OpenHistoryFiles(folder, intakes.rows, files);
  if (!status.ok()) return faults.empty() ? status : FaultError(request.label, faults);
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
    return faults.empty() ? status : FaultError(request.label, faults);
  }
  if (request.byIntake) result->byIntakeCsv = output::ByIntakeHeader(columns);
  status = history.Compute([&](const integration::ResolvedIntake& intake,
                               const integration::IntakePartDoses& part,
                               const integration::YearDoses& doses) {
    if (request.byIntake) output::AppendPartRows(intake, part, doses, columns, result->byIntakeCsv);
    return Status::Ok();
  });
  if (!status.ok()) return status;
  result->annualCsv = output::AnnualDosesHeader(columns);
  for (const integration::PersonDoses& person : history.persons()) {
    output::AppendPersonRows(person, columns, result->annualCsv);
  }
  result->messages = history.messages();
  return Status::Ok();
}

}  // namespace quillmore::python
