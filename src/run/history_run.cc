#include "run/history_run.h"

#include <algorithm>
#include <span>

#include "base/cp1252.h"
#include "run/data_files.h"

namespace quillmore::run {
namespace {

using base::Status;

// Opens the files of `folder` that `rows` need, as every face opens them.
Status OpenHistoryFiles(const std::filesystem::path& folder,
                        const std::vector<input::IntakeRow>& rows, HistoryFiles& files) {
  base::Result<input::DataIndex> index = OpenIndex(folder);
  if (!index.ok()) return index.status();
  files.index = std::move(index).value();
  base::Result<input::DoseRateFile> inhalation =
      OpenDoseRates(folder, input::DataKind::kInhalation);
  if (!inhalation.ok()) return inhalation.status();
  files.inhalation = std::move(inhalation).value();
  const bool ingested = std::any_of(rows.begin(), rows.end(), [](const input::IntakeRow& row) {
    return row.kind == input::DataKind::kIngestion;
  });
  if (!ingested) return Status::Ok();
  base::Result<input::DoseRateFile> ingestion = OpenDoseRates(folder, input::DataKind::kIngestion);
  if (!ingestion.ok()) return ingestion.status();
  files.ingestion = std::move(ingestion).value();
  files.ingestionOpen = true;
  return Status::Ok();
}

// The region names items are resolved against: the inhalation names, then
// the ingestion names (region 29 has another name there).
std::vector<std::vector<std::string>> RegionNameSets(const std::filesystem::path& folder,
                                                     HistoryFiles& files) {
  std::vector<std::vector<std::string>> names{ReadRegionNames(files.inhalation)};
  if (files.ingestionOpen) {
    names.push_back(ReadRegionNames(files.ingestion));
  } else if (base::Result<input::DoseRateFile> ingestion =
                 OpenDoseRates(folder, input::DataKind::kIngestion);
             ingestion.ok()) {
    // For its names, also where no row takes that route.
    names.push_back(ReadRegionNames(ingestion.value()));
  }
  return names;
}

// The sites of `file` with their regions found in `names`; a region that
// names none, or one named twice for a site, is a bad row in `faults`.
std::vector<SiteSum> ResolveSites(const input::SitesFile& file,
                                  std::span<const std::vector<std::string>> names,
                                  const ListWords& words, input::FaultList& faults) {
  std::vector<SiteSum> sites;
  for (const input::Site& site : file.sites) {
    SiteSum& sum = sites.emplace_back();
    for (const input::SiteRegion& region : site.regions) {
      const base::Result<int> found = FindRegionOfEither(region.region, names, words);
      if (!found.ok()) {
        faults.Add(region.line, "column \"region\": " + found.status().message());
        continue;
      }
      const bool twice =
          std::any_of(sum.regions.begin(), sum.regions.end(),
                      [&](const auto& taken) { return taken.first == found.value(); });
      if (twice) {
        faults.Add(region.line, "column \"region\": region " + std::to_string(found.value()) +
                                    " is listed twice for site \"" + site.name + "\"");
        continue;
      }
      sum.regions.emplace_back(found.value(), region.weight);
    }
  }
  faults.SortByLine();
  return sites;
}

// The rows of persons without a sex, which the sites need: the whole file
// without a sex column, else each row with an empty one.
void NeedSexes(const input::IntakeFile& intakes, input::FaultList& faults) {
  constexpr std::string_view kWhy = "the rows for a risk calculator need each person's sex";
  if (!intakes.sexColumn) {
    faults.Add(1, "no column \"sex\": " + std::string(kWhy));
    return;
  }
  for (const input::IntakeRow& row : intakes.rows) {
    if (!row.sex) faults.Add(row.line, "column \"sex\": is empty; " + std::string(kWhy));
  }
}

// `run` holding only its bad rows, in line order.
HistoryRun BadRows(input::FaultList faults) {
  faults.SortByLine();
  HistoryRun run;
  run.badRows = std::move(faults);
  return run;
}

}  // namespace

base::Result<HistoryRun> OpenHistory(input::IntakeFile intakes, const HistoryRequest& request) {
  input::FaultList faults = std::move(intakes.faults);
  if (intakes.rows.empty()) return BadRows(std::move(faults));
  // A data set that fails gives way to the bad rows found before it.
  const auto failed = [&faults](const Status& status) -> base::Result<HistoryRun> {
    if (faults.empty()) return status;
    return BadRows(std::move(faults));
  };
  HistoryRun run;
  run.files = std::make_unique<HistoryFiles>();
  HistoryFiles& files = *run.files;
  if (const Status opened = OpenHistoryFiles(request.dataFolder, intakes.rows, files); !opened.ok())
    return failed(opened);
  run.columns.highLetWeight = request.highLetWeight;
  for (const std::string& name : ReadRegionNames(files.inhalation))
    run.columns.regionNames.push_back(base::Cp1252ToUtf8(name));
  const std::vector<std::vector<std::string>> names = RegionNameSets(request.dataFolder, files);
  // With sites and no regions asked for, the sites' own regions are selected.
  const bool sitesAlone = request.sites != nullptr && request.regions.empty();
  if (!sitesAlone) {
    base::Result<std::vector<int>> regions =
        SelectRegionsOfEither(request.regions, names, request.words);
    if (!regions.ok()) return regions.status();  // a usage error comes before bad rows
    run.columns.selectedRegions = std::move(regions).value();
  }
  std::vector<SiteSum> sites;
  if (request.sites != nullptr) {
    HistoryRun bad;
    bad.badSites = request.sites->faults;
    sites = ResolveSites(*request.sites, names, request.words, bad.badSites);
    if (!bad.badSites.empty()) {
      bad.badRows = std::move(faults);
      bad.badRows.SortByLine();
      return bad;
    }
    NeedSexes(intakes, faults);
  }
  std::vector<int>& selected = run.columns.selectedRegions;
  for (const SiteSum& site : sites) {
    for (const auto& [region, weight] : site.regions) {
      if (sitesAlone && std::find(selected.begin(), selected.end(), region) == selected.end())
        selected.push_back(region);
    }
  }

  const HistoryData data{&files.index,
                         {&files.inhalation, files.ingestionOpen ? &files.ingestion : nullptr}};
  run.rows = std::make_unique<std::vector<input::IntakeRow>>(std::move(intakes.rows));
  run.history = std::make_unique<IntakeHistory>(
      data, HistorySelection{run.columns.selectedRegions, request.untilYear, request.fileLabel,
                             request.jobs, request.untilWords, request.tail, request.untilAge,
                             request.untilAgeWords, request.frameIndex,
                             request.moments || intakes.uncertain, std::move(sites)});
  run.uncertain = intakes.uncertain;
  const input::TablePlaces places{request.fileLabel, request.frameIndex};
  for (const input::Fault& note : intakes.notes)
    run.history->AddMessage(
        {output::MessageKind::kNote, places.Of(note.line) + ": " + note.message});
  if (const Status resolved = run.history->Resolve(*run.rows, faults); !resolved.ok())
    return failed(resolved);
  if (!faults.empty()) return BadRows(std::move(faults));
  return run;
}

}  // namespace quillmore::run
