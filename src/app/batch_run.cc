#include "app/batch_run.h"

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
#include "app/nuclide_run.h"
#include "input/data_check.h"
#include "input/data_index.h"
#include "input/integration_times.h"
#include "input/nuclide_name.h"
#include "input/path_resolver.h"
#include "input/region_names.h"

namespace quillmore::app {
namespace {

using input::Status;

// What a nuclide's run leaves for the summary: not the file paths, so that
// memory does not grow with the number of nuclides.
struct Job {
  std::string nuclideName;  // 7 characters, as in the index
  input::IndexEntry entry;
  Status status;
  std::vector<BlockWarning> warnings;
  std::size_t fileCount = 0;
};

// The data set a run reads: index, the chosen dose-rate file, region names.
struct OpenedData {
  std::filesystem::path folder;
  input::DataIndex index;
  input::DoseRateFile doseRates;
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

int RunCheck(const std::filesystem::path& dataFolder, const BatchOptions& options,
             std::ostream& out) {
  const std::vector<input::DataProblem> problems = input::CheckDataSet(dataFolder);
  for (const input::DataProblem& problem : problems) {
    out << problem.file << ':' << problem.record << ": " << problem.message << '\n';
  }
  if (problems.empty() && !options.quiet)
    out << "The data set in " << dataFolder.string() << " is clean.\n";
  return problems.empty() ? kBatchOk : kBatchWarnings;
}

void ListNuclides(input::DataIndex& index, input::DataKind kind, std::ostream& out) {
  for (std::int32_t record = index.FirstEntry(), last = index.LastEntry(); record <= last;
       ++record) {
    const input::IndexEntry& entry = index.ReadEntry(record);
    if (entry.StartFor(kind) != 0) out << input::TrimBlanks(entry.name) << '\n';
  }
}

void ListRegions(const std::vector<std::string>& regionNames, std::ostream& out) {
  for (std::size_t i = 0; i < regionNames.size(); ++i) {
    out << (i + 1 < 10 ? " " : "") << i + 1 << "  " << regionNames[i] << '\n';
  }
}

// The nuclides to write, in the order given, each once; names the index does
// not hold are reported on `err`.
std::vector<Job> CollectJobs(const BatchOptions& options, input::DataIndex& index,
                             std::ostream& err, bool* missing) {
  std::vector<std::string> names;
  if (options.allNuclides) {
    for (std::int32_t record = index.FirstEntry(), last = index.LastEntry(); record <= last;
         ++record) {
      names.push_back(index.ReadEntry(record).name);
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
      *missing = true;
    } else if (seen.insert(name).second) {
      jobs.push_back({name, index.Entry(), {}, {}, 0});
    }
  }
  return jobs;
}

// Writes the jobs' tables on `jobCount` threads, each with its own handle on
// the dose-rate file; every nuclide's files are its own, so the bytes do not
// depend on the number of threads.
Status RunJobs(std::vector<Job>& jobs, const RunSelection& run, const OpenedData& data,
               const std::filesystem::path& outputFolder, unsigned jobCount,
               BatchProgress& progress) {
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::size_t done = 0;
  std::mutex mutex;
  Status firstError;
  auto work = [&] {
    input::DoseRateFile file;
    Status status = file.Open(data.doseRatePath);
    NuclideWorkspace workspace;
    for (std::size_t i = next++; status.ok() && !failed && i < jobs.size(); i = next++) {
      Job& job = jobs[i];
      NuclideResult result =
          WriteNuclideTables(file, job.entry, job.nuclideName, run, outputFolder, workspace);
      job.status = std::move(result.status);
      job.warnings = std::move(result.warnings);
      job.fileCount = result.files.size();
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
  if (options.check) return RunCheck(data.folder, options, out);

  const input::DataKind kind = *options.dataKind;
  Status status = data.index.Open(input::ResolvePath(data.folder, input::kIndexFileName));
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
  if (std::set<int>(run.selectedAges.begin(), run.selectedAges.end()).size() !=
      run.selectedAges.size()) {
    return Fail(err, "an age group is listed twice in --ages");
  }
  const std::filesystem::path timesPath =
      options.timesFile ? input::ResolvePath("", *options.timesFile)
                        : input::ResolvePath(data.folder, input::kTimesFileName);
  if (std::filesystem::is_directory(timesPath))
    return Fail(err, "--times names a folder, not a file: " + timesPath.string());
  input::IntegrationTimes times = input::ReadIntegrationTimes(timesPath);
  if (!times.status.ok()) return Fail(err, times.status.message());
  if (times.integrationTimes.empty())
    return Fail(err, timesPath.string() + " holds no integration times");
  run.integrationTimes = std::move(times.integrationTimes);

  bool warned = false;
  std::vector<Job> jobs = CollectJobs(options, data.index, err, &warned);
  const std::filesystem::path outputFolder = input::ResolvePath("", options.outputDir);
  const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
  const unsigned jobCount = options.jobs > 0 ? static_cast<unsigned>(options.jobs) : cores;
  const auto start = std::chrono::steady_clock::now();
  BatchProgress progress(err, jobs.size(), showProgress && !options.quiet);
  status = RunJobs(jobs, run, data, outputFolder, jobCount, progress);

  std::size_t files = 0;
  for (const Job& job : jobs) {
    files += job.fileCount;
    for (const BlockWarning& warning : job.warnings) {
      err << "quillmore-batch: warning: " << warning.nuclide << ", age " << warning.ageDays
          << " d, record " << warning.record << ": " << warning.reason << '\n';
      warned = true;
    }
    if (!job.status.ok() && job.status.code() != Status::Code::kIoError) {
      err << "quillmore-batch: warning: " << job.status.message() << '\n';
      warned = true;
    }
  }
  if (!status.ok()) return Fail(err, status.message());
  if (!options.quiet) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.2f", seconds);
    out << "Wrote " << Count(files, "file") << " for " << Count(jobs.size(), "nuclide") << " to "
        << outputFolder.string() << " in " << elapsed << " s.\n";
  }
  return warned ? kBatchWarnings : kBatchOk;
}

}  // namespace quillmore::app
