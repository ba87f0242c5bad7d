#include "data_set.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <system_error>
#include <utility>

#include "base/cp1252.h"
#include "base/text.h"
#include "input/age_groups.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "input/integration_times.h"
#include "input/nuclide_name.h"
#include "input/path_resolver.h"
#include "run/data_files.h"
#include "run/nuclide_curves.h"
#include "run/nuclide_suggestions.h"
#include "run/selection_names.h"

namespace quillmore::python {
namespace {

using base::Status;

Status CheckPeriods(const std::vector<double>& periods) {
  if (periods.empty() || periods.size() > input::kMaxIntegrationTimes) {
    return Status::InvalidArgument("give 1 to " + std::to_string(input::kMaxIntegrationTimes) +
                                   " periods");
  }
  for (const double period : periods) {
    if (!std::isfinite(period) || period < 0) {
      return Status::InvalidArgument("a period is a finite number of days, 0 or more, not " +
                                     std::to_string(period));
    }
  }
  return Status::Ok();
}

// The times of `path`; lines read with something left over are warnings,
// worded as the batch prints them.
Status ReadTimes(const std::filesystem::path& path, std::vector<double>* periods,
                 std::vector<output::RunMessage>* warnings) {
  base::Result<run::TimesRead> read = run::ReadTimesFile(path, "times=");
  if (!read.ok()) return read.status();
  for (std::string& warning : read.value().warnings)
    warnings->push_back({output::MessageKind::kWarning, std::move(warning)});
  *periods = std::move(read.value().times);
  return Status::Ok();
}

// The one age group or region `list` names.
Status OnlyOne(const std::vector<int>& list, const char* what) {
  if (list.size() == 1) return Status::Ok();
  return Status::InvalidArgument(std::string("a curve takes one ") + what + ", not " +
                                 std::to_string(list.size()));
}

}  // namespace

Status DataSet::Open(const std::string& dataDir, input::DataKind kind, DataSet* dataSet) {
  DataSet opened;
  opened.kind_ = kind;
  if (const Status found = run::FindDataFolder("", dataDir, &opened.folder_); !found.ok())
    return run::NoDataFolder(opened.folder_, found);
  input::DataIndex index;
  Status status = run::OpenIndex(opened.folder_, index);
  if (!status.ok()) return status;
  opened.indexPath_ = index.file().path();
  input::DoseRateFile file;
  status = run::OpenDoseRates(opened.folder_, kind, file);
  if (!status.ok()) return status;
  opened.doseRatePath_ = file.file().path();
  opened.regionNames_ = run::ReadRegionNames(file);
  for (const std::string& name : opened.regionNames_) {
    opened.utf8RegionNames_.push_back(base::Cp1252ToUtf8(name));
  }
  *dataSet = std::move(opened);
  return Status::Ok();
}

Status DataSet::Nuclides(std::vector<std::string>* names) const {
  input::DataIndex index;
  if (const Status status = index.Open(indexPath_); !status.ok()) return status;
  for (const std::string& name : run::NuclidesWithData(index, kind_))
    names->push_back(base::Cp1252ToUtf8(name));
  return Status::Ok();
}

Status DataSet::Select(const Request& request, run::RunSelection* run,
                       std::vector<output::RunMessage>* warnings) const {
  run->dataKind = kind_;
  run->regionNames = regionNames_;
  base::Result<std::vector<int>> ages = run::SelectAges(request.ages, kListWords);
  if (!ages.ok()) return ages.status();
  run->selectedAges = std::move(ages).value();
  base::Result<std::vector<int>> regions =
      run::SelectRegions(request.regions, regionNames_, kListWords);
  if (!regions.ok()) return regions.status();
  run->selectedRegions = std::move(regions).value();
  run->tail = request.tail;
  if (request.periods) {
    run->integrationTimes = *request.periods;
    return CheckPeriods(run->integrationTimes);
  }
  run->timesFile = request.timesFile ? input::ResolvePath("", *request.timesFile)
                                     : input::ResolvePath(folder_, input::kTimesFileName);
  return ReadTimes(run->timesFile, &run->integrationTimes, warnings);
}

// The nuclides to run, as the index names them, in the order given, each
// once; the first name the index lacks fails the whole request.
Status DataSet::FindNuclides(const Request& request, input::DataIndex& index,
                             std::vector<std::string>* names) const {
  if (request.allNuclides) {
    *names = run::NuclideEntriesWithData(index, kind_);
    return Status::Ok();
  }
  std::set<std::string> seen;
  for (std::string name : request.nuclides) {
    input::NormaliseNuclideName(name);
    if (index.FindNuclide(name) == 0) {
      return run::UnknownNuclide(name, index, kind_);
    }
    if (seen.insert(name).second) names->push_back(name);
  }
  return Status::Ok();
}

Status DataSet::ComputeCoefficients(const Request& request, Coefficients* result) const {
  run::RunSelection run;
  // The times file's warnings come first, as the batch prints them.
  if (Status status = Select(request, &run, &result->messages); !status.ok()) return status;
  input::DataIndex index;
  input::DoseRateFile file;
  Status status = index.Open(indexPath_);
  if (status.ok()) status = file.Open(doseRatePath_);
  std::vector<std::string> names;
  if (status.ok()) status = FindNuclides(request, index, &names);
  if (!status.ok()) return status;
  ColumnSink sink(result->columns);
  run::NuclideWorkspace workspace;
  for (const std::string& name : names) {
    index.FindNuclide(name);
    run::NuclideResult one = run::ProcessNuclide(file, index.entry(), run, sink, workspace);
    for (output::RunMessage& message : one.messages) result->messages.push_back(std::move(message));
    // As in the batch, a bad start record is the nuclide's warning, not the run's end.
    if (!one.status.ok()) {
      result->messages.push_back({output::MessageKind::kWarning, one.status.message()});
    }
  }
  return Status::Ok();
}

Status DataSet::ReadCurve(const std::string& nuclide, const std::string& age, std::int64_t form,
                          const std::string& region, integration::Tail tail, Curve* curve) const {
  Request request;
  request.tail = tail;
  request.ages = age;
  request.regions = region;
  request.periods = std::vector<double>{0};
  run::RunSelection run;
  std::vector<output::RunMessage> none;  // the periods are given: no times file is read
  Status status = Select(request, &run, &none);
  if (status.ok()) status = OnlyOne(run.selectedAges, "age group");
  if (status.ok()) status = OnlyOne(run.selectedRegions, "region");
  input::DataIndex index;
  input::DoseRateFile file;
  if (status.ok()) status = index.Open(indexPath_);
  if (status.ok()) status = file.Open(doseRatePath_);
  std::string name = nuclide;
  input::NormaliseNuclideName(name);
  if (status.ok() && index.FindNuclide(name) == 0) {
    status = run::UnknownNuclide(name, index, kind_);
  }
  if (!status.ok()) return status;
  run::NuclideCurves found = run::ReadNuclideCurves(file, index.entry(), run);
  if (!found.status.ok()) return found.status;
  const std::string shown = base::TrimBlanks(name);
  const std::string where = shown + ", " + input::AgeGroupList(run.selectedAges);
  const auto block = std::find_if(found.blocks.begin(), found.blocks.end(),
                                  [form](const run::BlockCurves& b) { return b.rowGroup == form; });
  if (block == found.blocks.end()) {
    return Status::InvalidArgument(
        found.blocks.empty() ? where + ": no forms in " + doseRatePath_.filename().string()
                             : where + ": form " + std::to_string(form) + " is not one of 1 to " +
                                   std::to_string(found.blocks.back().rowGroup));
  }
  if (block->curves.empty()) {
    return Status::Corruption(where + ", form " + std::to_string(form) +
                              ": no time points, so no curve (its coefficients are 0)");
  }
  curve->nuclide = base::Cp1252ToUtf8(shown);
  curve->ageGroup = run.selectedAges[0];
  curve->form = form;
  curve->formTexts = FormTextsOf(kind_, block->header, block->formNumber);
  curve->region = run.selectedRegions[0];
  curve->curves = std::move(block->curves[0]);
  return Status::Ok();
}

}  // namespace quillmore::python
