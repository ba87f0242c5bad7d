#include "app/batch_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "app/batch_progress.h"
#include "app/curve_export.h"
#include "app/nuclide_run.h"
#include "console/cp1252.h"
#include "input/data_check.h"
#include "input/data_index.h"
#include "input/integration_times.h"
#include "input/nuclide_name.h"
#include "input/path_resolver.h"
#include "input/region_names.h"
#include "output/csv_sink.h"
#include "output/json_sink.h"
#include "output/run_manifest.h"
#include "output/text_table_sink.h"
#include "output/written_files.h"

namespace quillmore::app {
namespace {

using input::Status;

// What a nuclide's run leaves for the summary: not the file paths, so that
// memory does not grow with the number of nuclides (unless a manifest lists them).
struct Job {
  std::string nuclideName;  // 7 characters, as in the index
  input::IndexEntry entry;
  Status status;
  std::vector<RunMessage> messages;
};

// Where a run's files go and what they record.
struct RunOutput {
  std::filesystem::path folder;
  OutputFormats formats;
  bool curves = false;
  output::WrittenFiles* written = nullptr;
  const output::Json* provenance = nullptr;  // for the JSON files
};

// The data set a run reads: index, the chosen dose-rate file, region names.
struct OpenedData {
  std::filesystem::path folder;
  input::DataIndex index;
  input::DoseRateFile doseRates;
  std::filesystem::path indexPath;
  std::filesystem::path doseRatePath;
};

int Fail(std::ostream& err, const std::string& message) {
  err << "quillmore-batch: " << message << '\n';
  return kBatchError;
}

// "1 file", "2 files".
std::string Count(std::size_t count, const std::string& noun) {
  return std::to_string(count) + ' ' + noun + (count == 1 ? "" : "s");
}

int RunCheck(const std::filesystem::path& dataFolder, const std::filesystem::path& timesPath,
             const BatchOptions& options, std::ostream& out) {
  const std::vector<input::DataProblem> problems = input::CheckDataSet(dataFolder, timesPath);
  std::size_t notes = 0;
  for (const input::DataProblem& problem : problems) {
    notes += problem.note ? 1 : 0;
    if (problem.note && options.quiet) continue;
    out << problem.file << ':' << problem.record << ": " << (problem.note ? "note: " : "")
        << problem.message << '\n';
  }
  const bool clean = notes == problems.size();
  if (clean && !options.quiet) {
    out << "The data set in " << dataFolder.string() << " is clean";
    if (notes > 0) out << " (" << Count(notes, "note") << ")";
    out << ".\n";
  }
  return clean ? kBatchOk : kBatchWarnings;
}

// The times file the options name, or the one in the data folder.
std::filesystem::path TimesPath(const BatchOptions& options, const std::filesystem::path& folder) {
  return options.timesFile ? input::ResolvePath("", *options.timesFile)
                           : input::ResolvePath(folder, input::kTimesFileName);
}

void ListNuclides(input::DataIndex& index, input::DataKind kind, std::ostream& out) {
  for (std::int64_t record = index.FirstEntry(); record <= index.LastEntry(); ++record) {
    const input::IndexEntry& entry = index.ReadEntry(static_cast<std::int32_t>(record));
    if (entry.StartFor(kind) != 0) out << input::TrimBlanks(entry.name) << '\n';
  }
}

void ListRegions(const std::vector<std::string>& regionNames, std::ostream& out) {
  for (std::size_t i = 0; i < regionNames.size(); ++i) {
    out << (i + 1 < 10 ? " " : "") << i + 1 << "  " << regionNames[i] << '\n';
  }
}

// The nuclides to write, in the order given, each once; names the index does
// not hold are reported on `err` and added to `missing`. --all takes the
// nuclides with data in the chosen set, as --list-nuclides lists them, and
// counts the others in `passedOver`.
std::vector<Job> CollectJobs(const BatchOptions& options, input::DataIndex& index,
                             std::ostream& err, std::vector<std::string>* missing,
                             std::size_t* passedOver) {
  std::vector<std::string> names;
  if (options.allNuclides) {
    for (std::int64_t record = index.FirstEntry(); record <= index.LastEntry(); ++record) {
      const input::IndexEntry& entry = index.ReadEntry(static_cast<std::int32_t>(record));
      if (entry.StartFor(*options.dataKind) != 0)
        names.push_back(entry.name);
      else
        ++*passedOver;
    }
  } else {
    names = options.nuclides;
  }
  std::vector<Job> jobs;
  std::set<std::string> seen;
  for (std::string name : names) {
    input::NormaliseNuclideName(name);
    if (index.FindNuclide(name) == 0) {
      err << "quillmore-batch: no data are available for " << input::TrimBlanks(name) << '\n';
      missing->push_back(input::TrimBlanks(name));
    } else if (seen.insert(name).second) {
      jobs.push_back({name, index.Entry(), {}, {}});
    }
  }
  return jobs;
}

// Writes the jobs' files on `jobCount` threads, each with its own handle on
// the dose-rate file and its own sinks; every nuclide's files are its own, so
// the bytes do not depend on the number of threads.
Status RunJobs(std::vector<Job>& jobs, const RunSelection& run, const OpenedData& data,
               const RunOutput& output, unsigned jobCount, BatchProgress& progress) {
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::size_t done = 0;
  std::mutex mutex;
  Status firstError;
  auto work = [&] {
    input::DoseRateFile file;
    Status status = file.Open(data.doseRatePath);
    NuclideWorkspace workspace;
    output::TextTableSink text(output.folder, output.written);
    output::CsvSink csv(output.folder, output.written, console::Cp1252ToUtf8);
    const output::Json noProvenance;
    output::JsonSink json(output.folder, output.written, console::Cp1252ToUtf8,
                          output.provenance != nullptr ? *output.provenance : noProvenance);
    std::vector<output::TableSink*> chosen;
    if (output.formats.text) chosen.push_back(&text);
    if (output.formats.csv) chosen.push_back(&csv);
    if (output.formats.json) chosen.push_back(&json);
    output::TableSinks sinks(chosen);
    for (std::size_t i = next++; status.ok() && !failed && i < jobs.size(); i = next++) {
      Job& job = jobs[i];
      NuclideResult result =
          ProcessNuclide(file, job.entry, job.nuclideName, run, sinks, workspace);
      job.status = std::move(result.status);
      job.messages = std::move(result.messages);
      if (output.curves && job.status.ok()) {
        job.status = WriteNuclideCurves(file, job.entry, job.nuclideName, run, output.folder,
                                        output.written);
      }
      if (job.status.code() == Status::Code::kIoError) status = job.status;
      const std::lock_guard<std::mutex> lock(mutex);
      progress.Update(++done);
    }
    if (!status.ok()) {
      const std::lock_guard<std::mutex> lock(mutex);
      if (!failed.exchange(true)) firstError = status;
    }
  };
  std::vector<std::thread> threads;
  for (unsigned t = 1; t < jobCount && t < jobs.size(); ++t) threads.emplace_back(work);
  work();
  for (std::thread& thread : threads) thread.join();
  progress.Finish();
  return firstError;
}

// The provenance of the run's JSON files and manifest: the data files by
// their digests, the periods and the selection.
Status DescribeRun(const OpenedData& data, const std::filesystem::path& timesPath,
                   const RunSelection& run, output::Json& json) {
  output::Provenance provenance;
  provenance.program = "quillmore-batch";
  provenance.version = QUILLMORE_VERSION;
  provenance.kind = run.dataKind;
  Status status = output::DigestFile(data.doseRatePath, provenance.dataSet);
  if (status.ok()) status = output::DigestFile(data.indexPath, provenance.index);
  if (status.ok()) status = output::DigestFile(timesPath, provenance.times);
  if (!status.ok()) return status;
  provenance.dataSet.name = data.doseRatePath.filename().string();
  provenance.index.name = data.indexPath.filename().string();
  provenance.times.name = timesPath.string();
  provenance.periods = run.integrationTimes;
  provenance.selectedAges = run.selectedAges;
  provenance.selectedRegions = run.selectedRegions;
  for (const std::string& name : run.regionNames) {
    provenance.regionNames.push_back(console::Cp1252ToUtf8(name));
  }
  json = output::ProvenanceJson(provenance);
  return Status::Ok();
}

}  // namespace

int RunBatch(const BatchOptions& options, std::ostream& out, std::ostream& err, bool showProgress) {
  if (options.help) {
    out << BatchUsage();
    return kBatchOk;
  }
  if (options.version) {
    out << "quillmore-batch " << QUILLMORE_VERSION << '\n';
    return kBatchOk;
  }
  OpenedData data;
  data.folder = input::ResolvePath("", options.dataDir);
  // A mistyped --data-dir is a usage error, not a list of missing files.
  if (!std::filesystem::is_directory(data.folder))
    return Fail(err, "no data folder " + data.folder.string());
  if (options.check) return RunCheck(data.folder, TimesPath(options, data.folder), options, out);

  const input::DataKind kind = *options.dataKind;
  data.indexPath = input::ResolvePath(data.folder, input::kIndexFileName);
  Status status = data.index.Open(data.indexPath);
  if (status.code() == Status::Code::kCorruption) return Fail(err, status.message());
  if (!status.ok()) return Fail(err, "unable to open the index: " + status.message());
  data.doseRatePath = input::ResolvePath(data.folder, input::DoseRateFileName(kind));
  status = data.doseRates.Open(data.doseRatePath);
  if (!status.ok()) return Fail(err, "unable to open the dose-rate file: " + status.message());

  RunSelection run;
  run.dataKind = kind;
  run.regionNames = input::BuildRegionNames(data.doseRates.RegionHeadings());
  if (options.listRegions) ListRegions(run.regionNames, out);
  if (options.listNuclides) ListNuclides(data.index, kind, out);
  if (options.listRegions || options.listNuclides) return kBatchOk;

  status = ParseAgeList(options.ages, &run.selectedAges);
  if (status.ok()) status = ParseRegionList(options.regions, run.regionNames, &run.selectedRegions);
  if (!status.ok()) return Fail(err, status.message());
  const std::filesystem::path timesPath = TimesPath(options, data.folder);
  if (std::filesystem::is_directory(timesPath))
    return Fail(err, "--times names a folder, not a file: " + timesPath.string());
  input::IntegrationTimes times = input::ReadIntegrationTimes(timesPath);
  if (!times.status.ok()) return Fail(err, times.status.message());
  run.integrationTimes = std::move(times.integrationTimes);

  std::vector<std::string> missing;
  std::size_t passedOver = 0;
  std::vector<Job> jobs = CollectJobs(options, data.index, err, &missing, &passedOver);
  RunOutput output;
  output.folder = input::ResolvePath("", options.outputDir);
  output.formats = options.formats;
  output.curves = options.curves;
  const bool manifest = options.manifest || options.formats.csv || options.formats.json;
  output::WrittenFiles written(output.folder, manifest);
  output.written = &written;
  output::Json provenance;
  if (manifest || options.formats.json) {
    status = DescribeRun(data, timesPath, run, provenance);
    if (!status.ok()) return Fail(err, status.message());
    output.provenance = &provenance;
  }
  if (manifest) {
    // A run that fails must not leave an earlier run's record behind as its own.
    std::error_code ignored;
    std::filesystem::remove(output.folder / output::kManifestFileName, ignored);
  }
  const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
  const unsigned jobCount = options.jobs > 0 ? static_cast<unsigned>(options.jobs) : cores;
  const auto start = std::chrono::steady_clock::now();
  BatchProgress progress(err, jobs.size(), showProgress && !options.quiet);
  status = RunJobs(jobs, run, data, output, jobCount, progress);

  std::vector<output::NuclideMessage> messages;
  for (const std::string& name : missing) {
    messages.push_back({name, {MessageKind::kWarning, "no data are available for " + name}});
  }
  for (const Job& job : jobs) {
    const std::string name = input::TrimBlanks(job.nuclideName);
    for (const RunMessage& message : job.messages) {
      if (message.kind == MessageKind::kWarning || !options.quiet) {
        err << "quillmore-batch: " << MessageKindName(message.kind) << ": " << message.text << '\n';
      }
      messages.push_back({name, message});
    }
    if (!job.status.ok() && job.status.code() != Status::Code::kIoError) {
      err << "quillmore-batch: warning: " << job.status.message() << '\n';
      messages.push_back({name, {MessageKind::kWarning, job.status.message()}});
    }
  }
  if (status.ok() && manifest) {
    std::vector<std::string> commandLine{"quillmore-batch"};
    commandLine.insert(commandLine.end(), options.arguments.begin(), options.arguments.end());
    status = output::WriteRunManifest(output.folder,
                                      {provenance, commandLine, written.Sorted(), messages});
  }
  if (!status.ok()) return Fail(err, status.message());
  if (!options.quiet) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.2f", seconds);
    out << "Wrote " << Count(written.Count(), "file") << " for " << Count(jobs.size(), "nuclide")
        << " to " << output.folder.string() << " in " << elapsed << " s";
    if (passedOver > 0) {
      out << "; passed over " << Count(passedOver, "nuclide") << " without data in "
          << input::DoseRateFileName(kind);
    }
    out << ".\n";
  }
  const bool warned = std::any_of(
      messages.begin(), messages.end(),
      [](const output::NuclideMessage& m) { return m.message.kind == MessageKind::kWarning; });
  return warned ? kBatchWarnings : kBatchOk;
}

}  // namespace quillmore::app
