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

#include "app/batch_intakes.h"
#include "app/batch_progress.h"
#include "base/cp1252.h"
#include "base/text.h"
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
#include "run/curve_export.h"
#include "run/data_files.h"
#include "run/far_extrapolation.h"
#include "run/figure_export.h"
#include "run/nuclide_run.h"
#include "run/nuclide_suggestions.h"

namespace quillmore::app {
namespace {

using base::Status;

// What a nuclide's run leaves for the summary: not the file paths, so that
// memory does not grow with the number of nuclides (unless a manifest lists them).
struct Job {
  std::string nuclideName;  // 7 characters, as in the index
  input::IndexEntry entry;
  Status status;
  std::vector<run::RunMessage> messages;
  bool refused = false;  // a figure the options ask for is more than one may hold
};

// Where a run's files go and what they record.
struct RunOutput {
  std::filesystem::path folder;
  OutputFormats formats;
  bool curves = false;
  const run::FigureOptions* figures = nullptr;  // when figures are asked for
  output::WrittenFiles* written = nullptr;
  const output::Json* provenance = nullptr;                      // for the JSON files
  output::Compression compression = output::Compression::kNone;  // of the CSV files
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
  std::vector<input::Fault> problems = input::CheckDataSet(dataFolder, timesPath);
  if (const input::IntegrationTimes times = input::ReadIntegrationTimes(timesPath); times.ok()) {
    // Warnings before the notes, as the data check orders its own.
    const auto notes = std::find_if(problems.begin(), problems.end(),
                                    [](const input::Fault& problem) { return problem.note; });
    const std::vector<input::Fault> far = run::CheckFarExtrapolation(
        dataFolder, times.value(), options.tail.value_or(integration::Tail::kCubic));
    problems.insert(notes, far.begin(), far.end());
  }
  std::size_t notes = 0;
  for (const input::Fault& problem : problems) {
    notes += problem.note ? 1 : 0;
    if (problem.note && options.quiet) continue;
    out << problem.file << ':' << problem.line << ": " << (problem.note ? "note: " : "")
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
  for (const std::string& name : run::NuclidesWithData(index, kind)) out << name << '\n';
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
                             std::ostream& err, std::vector<output::NuclideMessage>* missing,
                             std::size_t* passedOver) {
  std::vector<std::string> names;
  if (options.allNuclides) {
    names = run::NuclideEntriesWithData(index, *options.dataKind);
    *passedOver += static_cast<std::size_t>(
        std::max<std::int64_t>(0, index.lastEntry() - index.firstEntry() + 1) -
        static_cast<std::int64_t>(names.size()));
  } else {
    names = options.nuclides;
  }
  std::vector<Job> jobs;
  std::set<std::string> seen;
  for (std::string name : names) {
    input::NormaliseNuclideName(name);
    if (index.FindNuclide(name) == 0) {
      const std::string shown = base::TrimBlanks(name);
      const std::string text = run::UnknownNuclide(name, index, *options.dataKind).message();
      err << "quillmore-batch: " << text << '\n';
      missing->push_back({shown, {run::MessageKind::kWarning, text}});
    } else if (seen.insert(name).second) {
      jobs.push_back({name, index.entry(), {}, {}});
    }
  }
  return jobs;
}

// Writes the jobs' files on `jobCount` threads, each with its own handle on
// the dose-rate file and its own sinks; every nuclide's files are its own, so
// the bytes do not depend on the number of threads.
Status RunJobs(std::vector<Job>& jobs, const run::RunSelection& run, const OpenedData& data,
               const RunOutput& output, unsigned jobCount, BatchProgress& progress) {
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::size_t done = 0;
  std::mutex mutex;
  Status firstError;
  auto work = [&] {
    input::DoseRateFile file;
    Status status = file.Open(data.doseRatePath);
    run::NuclideWorkspace workspace;
    output::TextTableSink text(output.folder, output.written);
    output::CsvSink csv(output.folder, output.written, output.compression);
    const output::Json noProvenance;
    output::JsonSink json(output.folder, output.written,
                          output.provenance != nullptr ? *output.provenance : noProvenance);
    std::vector<output::TableSink*> chosen;
    if (output.formats.text) chosen.push_back(&text);
    if (output.formats.csv) chosen.push_back(&csv);
    if (output.formats.json) chosen.push_back(&json);
    output::TableSinks sinks(chosen);
    for (std::size_t i = next++; status.ok() && !failed && i < jobs.size(); i = next++) {
      Job& job = jobs[i];
      run::NuclideResult result = run::ProcessNuclide(file, job.entry, run, sinks, workspace);
      job.status = std::move(result.status);
      job.messages = std::move(result.messages);
      if (output.curves && job.status.ok()) {
        job.status = run::WriteNuclideCurves(file, job.entry, run, output.folder, output.written,
                                             output.compression);
      }
      if (output.figures != nullptr && job.status.ok() &&
          output.figures->compare != run::Comparison::kNuclides) {
        job.status = run::WriteNuclideFigures(file, job.entry, job.nuclideName, run,
                                              *output.figures, output.folder, output.written);
        job.refused = job.status.code() == Status::Code::kInvalidArgument;
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

// The figure options of the command line, for the data set in `data`.
run::FigureOptions FigureOptionsOf(const BatchOptions& options, const OpenedData& data,
                                   input::DataKind kind) {
  run::FigureOptions figures;
  figures.formats = options.figures;
  figures.size = options.figureSize;
  figures.compare = options.compare;
  figures.form = options.form.value_or(1);
  figures.facts.software = std::string("quillmore-batch ") + QUILLMORE_VERSION;
  figures.words = kBatchListWords;
  figures.facts.dataSet = std::string(input::DataSetOf(kind).name) + ", " +
                          base::Cp1252ToUtf8(data.doseRatePath.filename().string());
  return figures;
}

// The provenance of the run's JSON files and manifest: the data files by
// their digests, the periods and the selection, and the tail when one was given.
base::Result<output::Json> DescribeRun(const OpenedData& data, const run::RunSelection& run) {
  output::Provenance provenance{"quillmore-batch", QUILLMORE_VERSION, &run, {}, {}, {}};
  const auto digest = [](const std::filesystem::path& path, output::FileDigest& into) {
    base::Result<output::FileDigest> digested = output::DigestFile(path);
    if (digested.ok()) into = std::move(digested).value();
    return digested.status();
  };
  Status status = digest(data.doseRatePath, provenance.dataSet);
  if (status.ok()) status = digest(data.indexPath, provenance.index);
  if (status.ok() && run.periodsText.empty()) status = digest(run.timesFile, provenance.times);
  if (!status.ok()) return status;
  provenance.dataSet.name = data.doseRatePath.filename().string();
  provenance.index.name = data.indexPath.filename().string();
  provenance.times.name = run.timesFile.string();
  output::Json json = output::ProvenanceJson(provenance);
  if (run.tail) json["tail"] = integration::TailName(*run.tail);
  return json;
}

// The index and the dose-rate file of `kind` in `folder`, opened.
base::Result<OpenedData> OpenData(const std::filesystem::path& folder, input::DataKind kind) {
  OpenedData data;
  data.folder = folder;
  base::Result<input::DataIndex> index = run::OpenIndex(folder);
  if (!index.ok()) return index.status();
  data.index = std::move(index).value();
  data.indexPath = data.index.file().path();
  base::Result<input::DoseRateFile> doseRates = run::OpenDoseRates(folder, kind);
  if (!doseRates.ok()) return doseRates.status();
  data.doseRates = std::move(doseRates).value();
  data.doseRatePath = data.doseRates.file().path();
  return data;
}

// The age groups, regions, times file and integration times the options
// choose, into `run` (whose region names are read); a failure is worded for
// the user. Times lines read with something left over are `warnings`.
Status BuildSelection(const BatchOptions& options, const OpenedData& data, run::RunSelection& run,
                      std::vector<output::NuclideMessage>* warnings) {
  base::Result<std::vector<int>> ages = run::SelectAges(options.ages, kBatchListWords);
  if (!ages.ok()) return ages.status();
  run.selectedAges = std::move(ages).value();
  base::Result<std::vector<int>> regions =
      run::SelectRegions(options.regions, run.regionNames, kBatchListWords);
  if (!regions.ok()) return regions.status();
  run.selectedRegions = std::move(regions).value();
  run.tail = options.tail;
  if (options.periods) {
    run.periodsText = *options.periods;
    run.integrationTimes = options.periodDays;
    return Status::Ok();
  }
  run.timesFile = TimesPath(options, data.folder);
  base::Result<run::TimesRead> read = run::ReadTimesFile(run.timesFile, "--times");
  if (!read.ok()) return read.status();
  for (std::string& warning : read.value().warnings)
    warnings->push_back({"", {run::MessageKind::kWarning, std::move(warning)}});
  run.integrationTimes = std::move(read.value().times);
  return Status::Ok();
}

// Each job's warnings (and, unless quiet, notes) on `err`; every message of
// the run, the nuclides not found first, for the manifest. The jobs' messages
// are moved there, not copied.
std::vector<output::NuclideMessage> ReportJobs(std::vector<output::NuclideMessage> general,
                                               std::vector<Job>& jobs, bool quiet,
                                               std::ostream& err) {
  std::vector<output::NuclideMessage> messages = std::move(general);
  for (Job& job : jobs) {
    const std::string name = base::TrimBlanks(job.nuclideName);
    for (run::RunMessage& message : job.messages) {
      if (message.kind == run::MessageKind::kWarning || !quiet) {
        err << "quillmore-batch: " << run::MessageKindName(message.kind) << ": " << message.text
            << '\n';
      }
      messages.push_back({name, std::move(message)});
    }
    job.messages = {};
    if (job.refused) {
      err << "quillmore-batch: " << job.status.message() << '\n';
      messages.push_back({name, {run::MessageKind::kWarning, job.status.message()}});
    } else if (!job.status.ok() && job.status.code() != Status::Code::kIoError) {
      err << "quillmore-batch: warning: " << job.status.message() << '\n';
      messages.push_back({name, {run::MessageKind::kWarning, job.status.message()}});
    }
  }
  return messages;
}

// The closing line of a run.
void ReportTotals(std::size_t files, std::size_t nuclides, std::size_t passedOver,
                  input::DataKind kind, const std::filesystem::path& outputFolder, double seconds,
                  std::ostream& out) {
  char elapsed[32];
  std::snprintf(elapsed, sizeof elapsed, "%.2f", seconds);
  out << "Wrote " << Count(files, "file") << " for " << Count(nuclides, "nuclide") << " to "
      << outputFolder.string() << " in " << elapsed << " s";
  if (passedOver > 0) {
    out << "; passed over " << Count(passedOver, "nuclide") << " without data in "
        << input::DataSetOf(kind).doseRateFileName;
  }
  out << ".\n";
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
  // A mistyped --data-dir is a usage error, not a list of missing files.
  const base::Result<std::filesystem::path> found = run::FindDataFolder("", options.dataDir);
  if (!found.ok())
    return Fail(err, run::NoDataFolder("", options.dataDir, found.status()).message());
  const std::filesystem::path& folder = found.value();
  if (options.check) return RunCheck(folder, TimesPath(options, folder), options, out);
  if (options.intakesFile) return RunIntakes(options, folder, out, err);

  const input::DataKind kind = *options.dataKind;
  base::Result<OpenedData> opened = OpenData(folder, kind);
  if (!opened.ok()) return Fail(err, opened.status().message());
  OpenedData& data = opened.value();
  run::RunSelection run;
  run.dataKind = kind;
  run.regionNames = run::ReadRegionNames(data.doseRates);
  if (options.listRegions) ListRegions(run.regionNames, out);
  if (options.listNuclides) ListNuclides(data.index, kind, out);
  if (options.listRegions || options.listNuclides) return kBatchOk;
  // Messages that belong to no nuclide: the times file's, then names not found.
  std::vector<output::NuclideMessage> general;
  if (const Status chosen = BuildSelection(options, data, run, &general); !chosen.ok()) {
    return Fail(err, chosen.message());
  }
  for (const output::NuclideMessage& warning : general) {
    err << "quillmore-batch: warning: " << warning.message.text << '\n';
  }

  std::size_t passedOver = 0;
  std::vector<Job> jobs = CollectJobs(options, data.index, err, &general, &passedOver);
  RunOutput output;
  output.folder = input::ResolvePath("", options.outputDir);
  output.formats = options.formats;
  output.curves = options.curves;
  output.compression = options.compress;
  const run::FigureOptions figures = FigureOptionsOf(options, data, kind);
  if (!options.figures.empty()) output.figures = &figures;
  const bool manifest = options.manifest || options.formats.csv || options.formats.json;
  output::WrittenFiles written(output.folder, manifest);
  output.written = &written;
  output::Json provenance;
  if (manifest || options.formats.json) {
    base::Result<output::Json> described = DescribeRun(data, run);
    if (!described.ok()) return Fail(err, described.status().message());
    provenance = std::move(described).value();
    if (options.compress != output::Compression::kNone)
      provenance["compress"] = output::CompressionName(options.compress);
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
  Status status = RunJobs(jobs, run, data, output, jobCount, progress);
  if (status.ok() && output.figures != nullptr && figures.compare == run::Comparison::kNuclides) {
    std::vector<run::NamedNuclide> nuclides;
    for (const Job& job : jobs)
      if (job.status.ok()) nuclides.push_back({job.entry, job.nuclideName});
    status = run::WriteNuclidesComparison(data.doseRates, nuclides, run, figures, output.folder,
                                          output.written);
  }
  const std::vector<output::NuclideMessage> messages =
      ReportJobs(std::move(general), jobs, options.quiet, err);
  if (status.ok() && manifest) {
    std::vector<std::string> commandLine{"quillmore-batch"};
    commandLine.insert(commandLine.end(), options.arguments.begin(), options.arguments.end());
    status = output::WriteRunManifest(output.folder, {provenance, commandLine, written, messages});
  }
  if (!status.ok()) return Fail(err, status.message());
  if (!options.quiet) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ReportTotals(written.Count(), jobs.size(), passedOver, kind, output.folder, seconds, out);
  }
  if (std::any_of(jobs.begin(), jobs.end(), [](const Job& job) { return job.refused; }))
    return kBatchError;
  const bool warned = std::any_of(
      messages.begin(), messages.end(),
      [](const output::NuclideMessage& m) { return m.message.kind == run::MessageKind::kWarning; });
  return warned ? kBatchWarnings : kBatchOk;
}

}  // namespace quillmore::app
