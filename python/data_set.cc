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
#include "input/form_choice.h"
#include "input/integration_times.h"
#include "input/nuclide_name.h"
#include "input/path_resolver.h"
#include "integration/extended.h"
#include "integration/year_integrals.h"
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
base::Result<std::vector<double>> ReadTimes(const std::filesystem::path& path,
                                            std::vector<output::RunMessage>& warnings) {
  base::Result<run::TimesRead> read = run::ReadTimesFile(path, "times=");
  if (!read.ok()) return read.status();
  for (std::string& warning : read.value().warnings)
    warnings.push_back({output::MessageKind::kWarning, std::move(warning)});
  return std::move(read.value().times);
}

// The one age group or region `list` names.
Status OnlyOne(const std::vector<int>& list, const char* what) {
  if (list.size() == 1) return Status::Ok();
  return Status::InvalidArgument(std::string("a curve takes one ") + what + ", not " +
                                 std::to_string(list.size()));
}

}  // namespace

base::Result<DataSet> DataSet::Open(const std::string& dataDir, input::DataKind kind) {
  DataSet opened;
  opened.kind_ = kind;
  base::Result<std::filesystem::path> found = run::FindDataFolder("", dataDir);
  if (!found.ok()) return run::NoDataFolder("", dataDir, found.status());
  opened.folder_ = std::move(found).value();
  base::Result<input::DataIndex> index = run::OpenIndex(opened.folder_);
  if (!index.ok()) return index.status();
  opened.indexPath_ = index.value().file().path();
  base::Result<input::DoseRateFile> file = run::OpenDoseRates(opened.folder_, kind);
  if (!file.ok()) return file.status();
  opened.doseRatePath_ = file.value().file().path();
  opened.regionNames_ = run::ReadRegionNames(file.value());
  for (const std::string& name : opened.regionNames_) {
    opened.utf8RegionNames_.push_back(base::Cp1252ToUtf8(name));
  }
  return opened;
}

base::Result<std::vector<std::string>> DataSet::Nuclides() const {
  input::DataIndex index;
  if (const Status status = index.Open(indexPath_); !status.ok()) return status;
  std::vector<std::string> names;
  for (const std::string& name : run::NuclidesWithData(index, kind_))
    names.push_back(base::Cp1252ToUtf8(name));
  return names;
}

base::Result<run::RunSelection> DataSet::Select(const Request& request,
                                                std::vector<output::RunMessage>& warnings) const {
  run::RunSelection run;
  run.dataKind = kind_;
  run.regionNames = regionNames_;
  base::Result<std::vector<int>> ages = run::SelectAges(request.ages, kListWords);
  if (!ages.ok()) return ages.status();
  run.selectedAges = std::move(ages).value();
  base::Result<std::vector<int>> regions =
      run::SelectRegions(request.regions, regionNames_, kListWords);
  if (!regions.ok()) return regions.status();
  run.selectedRegions = std::move(regions).value();
  run.tail = request.tail;
  if (request.periods) {
    run.integrationTimes = *request.periods;
    if (const Status checked = CheckPeriods(run.integrationTimes); !checked.ok()) return checked;
    return run;
  }
  run.timesFile = request.timesFile ? input::ResolvePath("", *request.timesFile)
                                    : input::ResolvePath(folder_, input::kTimesFileName);
  base::Result<std::vector<double>> times = ReadTimes(run.timesFile, warnings);
  if (!times.ok()) return times.status();
  run.integrationTimes = std::move(times).value();
  return run;
}

// The nuclides to run, as the index names them, in the order given, each
// once; the first name the index lacks fails the whole request.
base::Result<std::vector<std::string>> DataSet::FindNuclides(const Request& request,
                                                             input::DataIndex& index) const {
  if (request.allNuclides) return run::NuclideEntriesWithData(index, kind_);
  std::vector<std::string> names;
  std::set<std::string> seen;
  for (std::string name : request.nuclides) {
    input::NormaliseNuclideName(name);
    if (index.FindNuclide(name) == 0) {
      return run::UnknownNuclide(name, index, kind_);
    }
    if (seen.insert(name).second) names.push_back(name);
  }
  return names;
}

base::Result<Coefficients> DataSet::ComputeCoefficients(const Request& request) const {
  Coefficients result;
  // The times file's warnings come first, as the batch prints them.
  base::Result<run::RunSelection> selected = Select(request, result.messages);
  if (!selected.ok()) return selected.status();
  const run::RunSelection& run = selected.value();
  input::DataIndex index;
  input::DoseRateFile file;
  Status status = index.Open(indexPath_);
  if (status.ok()) status = file.Open(doseRatePath_);
  if (!status.ok()) return status;
  base::Result<std::vector<std::string>> found = FindNuclides(request, index);
  if (!found.ok()) return found.status();
  const std::vector<std::string>& names = found.value();
  ColumnSink sink(result.columns);
  run::NuclideWorkspace workspace;
  for (const std::string& name : names) {
    index.FindNuclide(name);
    run::NuclideResult one = run::ProcessNuclide(file, index.entry(), run, sink, workspace);
    for (output::RunMessage& message : one.messages) result.messages.push_back(std::move(message));
    // As in the batch, a bad start record is the nuclide's warning, not the run's end.
    if (!one.status.ok()) {
      result.messages.push_back({output::MessageKind::kWarning, one.status.message()});
    }
  }
  return result;
}

base::Result<Curve> DataSet::ReadCurve(const std::string& nuclide, const std::string& age,
                                       const std::string& form, const std::string& region,
                                       integration::Tail tail) const {
  Request request;
  request.tail = tail;
  request.ages = age;
  request.regions = region;
  request.periods = std::vector<double>{0};
  std::vector<output::RunMessage> none;  // the periods are given: no times file is read
  base::Result<run::RunSelection> selected = Select(request, none);
  if (!selected.ok()) return selected.status();
  const run::RunSelection& run = selected.value();
  Status status = OnlyOne(run.selectedAges, "age group");
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
  std::vector<input::FormName> forms;
  std::string list;
  for (const run::BlockCurves& b : found.blocks) {
    forms.push_back(
        {b.rowGroup, base::TrimBlanks(FormTextsOf(kind_, b.header, b.formNumber).code)});
    list +=
        (list.empty() ? "" : ", ") + std::to_string(b.rowGroup) + " (" + forms.back().code + ")";
  }
  const base::Result<std::size_t> chosen = input::FindForm(base::TrimBlanks(form), forms);
  if (!chosen.ok()) {
    return Status::InvalidArgument(
        found.blocks.empty() ? where + ": no forms in " + doseRatePath_.filename().string()
                             : where + ": form \"" + form + "\": " + chosen.status().message() +
                                   "; its forms: " + list);
  }
  const auto block = found.blocks.begin() + static_cast<std::ptrdiff_t>(chosen.value());
  if (block->curves.empty()) {
    return Status::Corruption(where + ", form " + std::to_string(block->rowGroup) +
                              ": no time points, so no curve (its coefficients are 0)");
  }
  Curve curve;
  curve.nuclide = base::Cp1252ToUtf8(shown);
  curve.ageGroup = run.selectedAges[0];
  curve.form = block->rowGroup;
  curve.formTexts = FormTextsOf(kind_, block->header, block->formNumber);
  curve.region = run.selectedRegions[0];
  curve.curves = std::move(block->curves[0]);
  return curve;
}

std::vector<double> CurveIntegrals(const Curve& curve, int component,
                                   const std::vector<double>& from, const std::vector<double>& to) {
  const integration::RateCurve& rates = curve.curves[static_cast<std::size_t>(component)];
  std::vector<double> values(from.size(), 0.0);
  const std::span<const double> x = rates.times();
  if (rates.singlePoint()) {
    for (std::size_t k = 0; k < from.size(); ++k) {
      if (from[k] <= 0 && to[k] >= 0) values[k] = rates.Doses(std::vector<double>{to[k]})[0];
    }
    return values;
  }
  const integration::PieceIntegrals integrals(x, rates.rates(), rates.slopes(), rates.tail());
  integration::WindowGeometry geometry;
  for (std::size_t k = 0; k < from.size(); ++k) {
    if (!(to[k] > 0)) continue;
    if (from[k] <= 0) {
      // From intake: the dose as `dose` gives it, tail and all.
      values[k] = rates.Doses(std::vector<double>{to[k]})[0];
      continue;
    }
    const integration::DoseWindow window{from[k], to[k]};
    geometry.Set(x, std::span(&window, 1));
    values[k] = integrals.Sum(geometry).value;
  }
  return values;
}

}  // namespace quillmore::python
