#include "app/batch_intakes.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <list>
#include <sstream>
#include <system_error>
#include <thread>

#include "app/batch_run.h"
#include "base/cp1252.h"
#include "base/text.h"
#include "input/intake_file.h"
#include "input/path_resolver.h"
#include "input/sites_file.h"
#include "integration/tail.h"
#include "output/annual_dose_files.h"
#include "output/file_writer.h"
#include "output/output_files.h"
#include "output/risk_input.h"
#include "output/run_manifest.h"
#include "output/written_files.h"
#include "run/annual_figures.h"
#include "run/data_files.h"
#include "run/history_run.h"
#include "run/intake_history.h"

namespace quillmore::app {
namespace {

using base::Status;

int Fail(std::ostream& err, const std::string& message) {
  err << "quillmore-batch: " << message << '\n';
  return kBatchError;
}

// Lists the bad rows as the programs show them, then that nothing was
// written; exit 2.
int ReportFaults(const std::string& file, const input::FaultList& faults, std::ostream& err) {
  for (const std::string& line : faults.ShownLines(file, "bad rows"))
    err << "quillmore-batch: " << line << '\n';
  const std::size_t rows = faults.LineCount();
  err << "quillmore-batch: nothing written: " << rows << " bad row" << (rows == 1 ? "" : "s")
      << " in " << file << '\n';
  return kBatchError;
}

// The bytes of the intake (or sites) file, or why the system could not read them.
base::Result<std::string> ReadBytes(const std::filesystem::path& path,
                                    const char* what = "intake file") {
  const std::string unable = "unable to read the " + std::string(what) + " " + path.string() + ": ";
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    return Status::IoError(unable + std::make_error_code(std::errc::is_a_directory).message());
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return Status::IoError(unable + std::strerror(errno != 0 ? errno : EIO));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return Status::IoError(unable + std::strerror(EIO));
  return text.str();
}

base::Result<output::Json> DigestJson(const std::filesystem::path& path, const char* key) {
  const base::Result<output::FileDigest> digest = output::DigestFile(path);
  if (!digest.ok()) return digest.status();
  return output::Json{{key, key == std::string("path") ? path.string() : path.filename().string()},
                      {"size", digest.value().size},
                      {"sha256", digest.value().sha256}};
}

// The grouped files asked for, in the order the files are written.
output::Json ByList(const BatchOptions& options) {
  output::Json list = output::Json::array();
  if (options.byIntake) list.push_back("intake");
  if (options.byNuclide) list.push_back("nuclide");
  if (options.byRoute) list.push_back("route");
  return list;
}

// The program, the intake file and the data files by their digests, and the options.
base::Result<output::Json> DescribeHistory(const BatchOptions& options, integration::Tail tail,
                                           const std::filesystem::path& intakePath,
                                           const std::optional<std::filesystem::path>& sitesPath,
                                           run::HistoryFiles& files,
                                           const output::AnnualDoseColumns& columns) {
  const base::Result<output::Json> intake = DigestJson(intakePath, "path");
  if (!intake.ok()) return intake.status();
  output::Json data;
  for (const auto& [name, file] :
       {std::pair<const char*, const input::RecordFile*>{"index", &files.index.file()},
        {"inhalation", &files.inhalation.file()},
        {"ingestion", files.ingestionOpen ? &files.ingestion.file() : nullptr}}) {
    if (file == nullptr) continue;
    base::Result<output::Json> digest = DigestJson(file->path(), "file");
    if (!digest.ok()) return digest.status();
    data[name] = std::move(digest).value();
  }
  output::Json regions = output::Json::array();
  for (const int region : columns.selectedRegions)
    regions.push_back(output::RegionJson(region, columns.regionNames));
  output::Json described{
      {"program", {{"name", "quillmore-batch"}, {"version", QUILLMORE_VERSION}}},
      {"intake_file", intake.value()},
      {"data_files", data},
      {"options",
       {{"until", options.untilYear ? output::Json(*options.untilYear) : output::Json()},
        {"until_age", options.untilAge ? output::Json(*options.untilAge) : output::Json()},
        {"regions", regions},
        {"by_intake", options.byIntake},
        {"by", ByList(options)},
        {"compress", options.compress == output::Compression::kNone
                         ? output::Json()
                         : output::Json(output::CompressionName(options.compress))},
        {"high_let_weight",
         options.highLetWeight ? output::Json(*options.highLetWeight) : output::Json()},
        {"tail", integration::TailName(tail)}}}};
  // Only a run that writes risk_input.csv says how, so that other runs keep their bytes.
  if (sitesPath) {
    const base::Result<output::Json> sites = DigestJson(*sitesPath, "path");
    if (!sites.ok()) return sites.status();
    described["sites_file"] = sites.value();
    described["options"]["risk_unit"] = output::RiskUnitName(options.riskUnit);
    described["options"]["radiation_names"] = {options.highLetName, options.lowLetName};
  }
  return described;
}

// How the persons' figures are drawn, and the data files they are drawn from.
run::FigureOptions FigureOptionsOf(const BatchOptions& options, run::HistoryFiles& files) {
  run::FigureOptions figures;
  figures.formats = options.figures;
  figures.size = options.figureSize;
  figures.words = kBatchListWords;
  figures.facts.software = std::string("quillmore-batch ") + QUILLMORE_VERSION;
  figures.facts.dataSet = base::Cp1252ToUtf8(files.inhalation.file().path().filename().string());
  if (files.ingestionOpen) {
    figures.facts.dataSet +=
        ", " + base::Cp1252ToUtf8(files.ingestion.file().path().filename().string());
  }
  return figures;
}

struct HistoryOutput {
  std::filesystem::path folder;
  bool csv = true;
  bool json = false;
  bool byIntake = false;
  bool distributions = false;               // annual_dose_distributions.csv
  const input::SitesFile* sites = nullptr;  // risk_input.csv, with these sites
  output::RiskOptions risk;
  std::vector<integration::DoseGroup> groups;  // the by-nuclide and by-route files asked for
  output::Compression compression = output::Compression::kNone;
  const run::FigureOptions* figures = nullptr;  // each person's figure, when asked for
};

// A CSV file of the run's folder written person by person: its header, then
// the rows `append` adds for each person in turn.
struct PersonFile {
  PersonFile(std::string_view fileName, std::string fileHeader,
             std::function<void(const integration::PersonDoses&, std::string&)> appendRows)
      : name(fileName), header(std::move(fileHeader)), append(std::move(appendRows)) {}
  std::string_view name;
  std::string header;
  std::function<void(const integration::PersonDoses&, std::string&)> append;
  output::StreamedFile file;
};

// Computes the history and writes its files; the files closed go to `written`,
// the count of risk_input.csv's rows left out as unbounded to `unbounded`.
Status WriteHistory(run::IntakeHistory& history, const HistoryOutput& where,
                    const output::AnnualDoseColumns& columns, const output::Json& provenance,
                    output::WrittenFiles& written, std::size_t& unbounded) {
  std::error_code error;
  std::filesystem::create_directories(where.folder, error);
  if (error)
    return Status::IoError("unable to create " + where.folder.string() + ": " + error.message());
  output::StreamedFile byIntake;
  Status status;
  if (where.byIntake) {
    status = byIntake.Open(where.folder / output::kAnnualDosesByIntakeCsv, true, where.compression);
  }
  if (status.ok()) status = byIntake.Append(output::ByIntakeHeader(columns));
  if (!status.ok() && where.byIntake) return status;
  std::vector<integration::GroupedDoses> groups(where.groups.begin(), where.groups.end());
  // The files of person rows, in the order the manifest lists them.
  std::list<PersonFile> personFiles;
  for (const integration::GroupedDoses& grouped : groups) {
    personFiles.emplace_back(
        output::ByGroupFileName(grouped.by()), output::ByGroupHeader(columns, grouped.by()),
        [&grouped, &columns](const integration::PersonDoses& person, std::string& out) {
          for (const integration::GroupDoses& group : grouped.Of(person.person))
            output::AppendGroupRows(person, group, columns, out);
        });
  }
  if (where.csv) {
    personFiles.emplace_back(output::kAnnualDosesCsv, output::AnnualDosesHeader(columns),
                             [&columns](const integration::PersonDoses& person, std::string& out) {
                               output::AppendPersonRows(person, columns, out);
                             });
  }
  if (where.distributions) {
    personFiles.emplace_back(output::kAnnualDoseDistributionsCsv, output::DistributionsHeader(),
                             [&columns](const integration::PersonDoses& person, std::string& out) {
                               output::AppendDistributionRows(person, columns, out);
                             });
  }
  if (where.sites != nullptr) {
    personFiles.emplace_back(
        output::kRiskInputCsv, output::RiskInputHeader(),
        [&where, &unbounded](const integration::PersonDoses& person, std::string& out) {
          unbounded += output::AppendRiskRows(person, where.sites->sites, where.risk, out);
        });
  }
  for (PersonFile& personFile : personFiles) {
    if (!status.ok()) break;
    status = personFile.file.Open(where.folder / personFile.name, true, where.compression);
    if (status.ok()) status = personFile.file.Append(personFile.header);
  }
  if (!status.ok()) return status;
  std::string rows;
  const auto onPart = [&](const integration::ResolvedIntake& intake,
                          const integration::IntakePartDoses& part,
                          const integration::YearDoses& doses) {
    for (integration::GroupedDoses& grouped : groups) grouped.Add(intake, doses);
    if (!where.byIntake) return Status::Ok();
    rows.clear();
    output::AppendPartRows(intake, part, doses, columns, rows);
    return byIntake.Append(rows);
  };
  const auto onPerson = [&](const integration::PersonDoses& person) {
    for (PersonFile& personFile : personFiles) {
      rows.clear();
      personFile.append(person, rows);
      if (Status appended = personFile.file.Append(rows); !appended.ok()) return appended;
    }
    for (integration::GroupedDoses& grouped : groups) grouped.Release(person.person);
    return Status::Ok();
  };
  // The JSON file and the figures take every person at the end; the CSV
  // files take each as complete, so that a cohort's tables need not all
  // be held at once.
  const bool keepTables = where.json || where.figures != nullptr;
  status = history.Compute(onPart, onPerson, keepTables);
  if (status.ok() && where.byIntake) status = byIntake.Close();
  if (status.ok() && where.byIntake) status = written.Add(byIntake.path(), byIntake.hashed());
  for (PersonFile& personFile : personFiles) {
    if (!status.ok()) break;
    status = personFile.file.Close();
    if (status.ok()) status = written.Add(personFile.file.path(), personFile.file.hashed());
  }
  if (status.ok() && where.json) {
    const std::filesystem::path path = where.folder / output::kAnnualDosesJson;
    const std::string text =
        output::JsonText(output::AnnualDosesJson(history.persons(), columns, provenance), -1);
    status = output::WriteWholeFile(path, text);
    if (status.ok()) status = written.Add(path, text);
  }
  if (status.ok() && where.figures != nullptr)
    status =
        run::WriteAnnualFigures(history.persons(), columns, *where.figures, where.folder, &written);
  return status;
}

}  // namespace

int RunIntakes(const BatchOptions& options, const std::filesystem::path& dataFolder,
               std::ostream& out, std::ostream& err) {
  const auto started = std::chrono::steady_clock::now();
  const std::filesystem::path intakePath = input::ResolvePath("", *options.intakesFile);
  const std::string label = intakePath.string();
  const base::Result<std::string> bytes = ReadBytes(intakePath);
  if (!bytes.ok()) return Fail(err, bytes.status().message());
  const unsigned jobs = options.jobs > 0 ? static_cast<unsigned>(options.jobs)
                                         : std::max(1U, std::thread::hardware_concurrency());
  const integration::Tail tail = options.tail.value_or(integration::Tail::kExponential);
  std::optional<std::filesystem::path> sitesPath;
  input::SitesFile sites;
  if (options.formats.risk) {
    sitesPath = input::ResolvePath("", *options.sitesFile);
    const base::Result<std::string> sitesBytes = ReadBytes(*sitesPath, "sites file");
    if (!sitesBytes.ok()) return Fail(err, sitesBytes.status().message());
    sites = input::ReadSitesFile(sitesBytes.value());
  }
  run::HistoryRequest request{dataFolder,
                              options.regions,
                              options.untilYear,
                              options.highLetWeight,
                              label,
                              jobs,
                              kBatchListWords,
                              "--until ",
                              tail,
                              options.untilAge,
                              "--until-age ",
                              std::nullopt};
  if (sitesPath) {
    request.sites = &sites;
    request.sitesLabel = sitesPath->string();
    // Rows for a risk calculator alone need the sites' regions only: no
    // other is computed, and the run's notes speak of those.
    const bool regionsGiven =
        std::find(options.given.begin(), options.given.end(), "--regions") != options.given.end();
    if (!regionsGiven && !options.formats.csv && !options.formats.json && options.figures.empty())
      request.regions.clear();
  }
  base::Result<run::HistoryRun> opened =
      run::OpenHistory(input::ReadIntakeFile(bytes.value()), request);
  if (!opened.ok()) return Fail(err, opened.status().message());
  const run::HistoryRun& historyRun = opened.value();
  if (!options.figures.empty()) {
    const Status drawable =
        run::CheckAnnualFigureRegions(historyRun.columns.selectedRegions.size(), kBatchListWords);
    if (!drawable.ok()) return Fail(err, drawable.message());
  }
  if (!historyRun.badSites.empty()) {
    if (!historyRun.badRows.empty())
      static_cast<void>(ReportFaults(label, historyRun.badRows, err));
    return ReportFaults(request.sitesLabel, historyRun.badSites, err);
  }
  if (!historyRun.badRows.empty()) return ReportFaults(label, historyRun.badRows, err);
  const output::AnnualDoseColumns& columns = historyRun.columns;
  run::HistoryFiles& files = *historyRun.files;
  run::IntakeHistory& history = *historyRun.history;

  const base::Result<output::Json> described =
      DescribeHistory(options, tail, intakePath, sitesPath, files, columns);
  if (!described.ok()) return Fail(err, described.status().message());
  const output::Json& provenance = described.value();
  const bool formatGiven =
      std::find(options.given.begin(), options.given.end(), "--format") != options.given.end();
  HistoryOutput where;
  where.folder = input::ResolvePath("", options.outputDir);
  where.csv = !formatGiven || options.formats.csv;
  where.json = options.formats.json;
  where.byIntake = options.byIntake;
  where.distributions = historyRun.uncertain && where.csv;
  if (options.byNuclide) where.groups.push_back(integration::DoseGroup::kNuclide);
  if (options.byRoute) where.groups.push_back(integration::DoseGroup::kRoute);
  where.compression = options.compress;
  if (options.formats.risk) {
    where.sites = &sites;
    where.risk = {options.riskUnit, options.highLetName, options.lowLetName};
  }
  const run::FigureOptions figures = FigureOptionsOf(options, files);
  if (!options.figures.empty()) where.figures = &figures;
  std::error_code ignored;
  std::filesystem::remove(where.folder / output::kManifestFileName, ignored);
  output::WrittenFiles written(where.folder, true);
  std::size_t unbounded = 0;
  Status status = WriteHistory(history, where, columns, provenance, written, unbounded);
  if (unbounded > 0) {
    history.AddMessage({output::MessageKind::kWarning,
                        std::to_string(unbounded) + " row" + (unbounded == 1 ? "" : "s") + " of " +
                            output::kRiskInputCsv +
                            " left out: their doses are marked unbounded and cannot be trusted"});
  }
  std::vector<output::NuclideMessage> messages;
  bool warned = false;
  for (const output::RunMessage& message : history.messages()) {
    const bool warning = message.kind == output::MessageKind::kWarning;
    if (warning || !options.quiet)
      err << "quillmore-batch: " << output::MessageKindName(message.kind) << ": " << message.text
          << '\n';
    warned = warned || warning;
    messages.push_back({"", message});
  }
  if (status.ok()) {
    std::vector<std::string> commandLine{"quillmore-batch"};
    commandLine.insert(commandLine.end(), options.arguments.begin(), options.arguments.end());
    status = output::WriteRunManifest(where.folder, {provenance, commandLine, written, messages});
  }
  if (!status.ok()) return Fail(err, status.message());
  if (!options.quiet) {
    char elapsed[32];
    std::snprintf(
        elapsed, sizeof elapsed, "%.2f",
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    const std::size_t persons = history.persons().size();
    out << "Wrote " << written.Count() + 1 << " files for " << persons << " person"
        << (persons == 1 ? "" : "s") << " to " << where.folder.string() << " in " << elapsed
        << " s.\n";
  }
  return warned ? kBatchWarnings : kBatchOk;
}

}  // namespace quillmore::app
