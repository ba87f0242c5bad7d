#include "annual_doses.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <thread>

#include "base/cp1252.h"
#include "base/text.h"
#include "data_set.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "input/intake_file.h"
#include "input/sites_file.h"
#include "integration/coefficient_table.h"
#include "output/annual_dose_files.h"
#include "run/data_files.h"
#include "run/history_run.h"
#include "run/intake_history.h"

namespace quillmore::python {
namespace {

using base::Status;

// The bad rows as the batch lists them, without its program prefix.
Status FaultError(const input::TablePlaces& places, const input::FaultList& faults) {
  std::string text;
  for (const std::string& line : faults.ShownLines(places, "bad rows"))
    text += (text.empty() ? "" : "\n") + line;
  return Status::InvalidArgument(text);
}

input::IntakeFile ReadIntakes(const HistoryRequest& request) {
  if (const auto* columns = std::get_if<std::vector<input::IntakeColumn>>(&request.intakes)) {
    return input::ReadIntakeColumns(*columns, {request.label, request.frameIndex});
  }
  return input::ReadIntakeFile(std::get<std::string>(request.intakes));
}

// What the run layer takes for `request`, its data folder found.
base::Result<run::HistoryRequest> RunRequestOf(const HistoryRequest& request) {
  base::Result<std::filesystem::path> found = run::FindDataFolder("", request.dataDir);
  if (!found.ok()) return run::NoDataFolder("", request.dataDir, found.status());
  return run::HistoryRequest{std::move(found).value(),
                             request.regions,
                             request.untilYear,
                             request.highLetWeight,
                             request.label,
                             std::max(1U, std::thread::hardware_concurrency()),
                             kListWords,
                             "until=",
                             request.tail,
                             request.untilAge,
                             "until_age=",
                             request.frameIndex,
                             request.distributions};
}

}  // namespace

base::Result<HistoryColumns> ComputeAnnualDoses(const HistoryRequest& request) {
  base::Result<run::HistoryRequest> opening = RunRequestOf(request);
  if (!opening.ok()) return opening.status();
  base::Result<run::HistoryRun> opened = run::OpenHistory(ReadIntakes(request), opening.value());
  if (!opened.ok()) return opened.status();
  const run::HistoryRun& historyRun = opened.value();
  if (!historyRun.badRows.empty())
    return FaultError({request.label, request.frameIndex}, historyRun.badRows);
  const output::AnnualDoseColumns& columns = historyRun.columns;
  run::IntakeHistory& history = *historyRun.history;
  HistoryColumns result;
  result.Begin(columns, request.byIntake, request.byGroup, request.distributions);
  std::optional<integration::GroupedDoses> grouped;
  if (request.byGroup) grouped.emplace(*request.byGroup);
  const Status status = history.Compute([&](const integration::ResolvedIntake& intake,
                                            const integration::IntakePartDoses& part,
                                            const integration::YearDoses& doses) {
    if (request.byIntake) result.AddPart(intake, part, doses, columns);
    if (grouped) grouped->Add(intake, doses);
    return Status::Ok();
  });
  if (!status.ok()) return status;
  for (const integration::PersonDoses& person : history.persons()) {
    if (request.distributions) {
      result.AddDistributions(person);
    } else if (grouped) {
      for (const integration::GroupDoses& group : grouped->Of(person.person))
        result.AddGroup(person, grouped->by(), group, columns);
    } else if (!request.byIntake) {
      result.AddPerson(person, columns);
    }
  }
  result.messages = history.messages();
  // Rows left out change what a frame holds: a user of the module should not miss it.
  if (const std::optional<std::size_t> note = history.leftOutNoteIndex())
    result.messages[*note].kind = output::MessageKind::kWarning;
  return result;
}

base::Result<RiskColumns> ComputeRiskInput(
    const HistoryRequest& request,
    const std::variant<std::string, std::vector<input::IntakeColumn>>& sites,
    const std::string& sitesLabel, const std::optional<std::vector<std::string>>& sitesIndex,
    const output::RiskOptions& options) {
  const input::TablePlaces sitePlaces{sitesLabel, sitesIndex};
  const input::SitesFile sitesFile =
      std::holds_alternative<std::string>(sites)
          ? input::ReadSitesFile(std::get<std::string>(sites))
          : input::ReadSitesColumns(std::get<std::vector<input::IntakeColumn>>(sites), sitePlaces);
  base::Result<run::HistoryRequest> opening = RunRequestOf(request);
  if (!opening.ok()) return opening.status();
  // The sites' own regions: their notes and warnings are the rows' own.
  opening.value().regions.clear();
  opening.value().sites = &sitesFile;
  opening.value().sitesLabel = sitesLabel;
  base::Result<run::HistoryRun> opened = run::OpenHistory(ReadIntakes(request), opening.value());
  if (!opened.ok()) return opened.status();
  const run::HistoryRun& historyRun = opened.value();
  if (!historyRun.badSites.empty()) return FaultError(sitePlaces, historyRun.badSites);
  if (!historyRun.badRows.empty())
    return FaultError({request.label, request.frameIndex}, historyRun.badRows);
  run::IntakeHistory& history = *historyRun.history;
  const Status status =
      history.Compute([](const integration::ResolvedIntake&, const integration::IntakePartDoses&,
                         const integration::YearDoses&) { return Status::Ok(); });
  if (!status.ok()) return status;
  RiskColumns result;
  for (const input::Site& site : sitesFile.sites) result.siteNames.push_back(site.name);
  result.radiationNames = {options.highLetName, options.lowLetName};
  std::size_t unbounded = 0;
  for (const integration::PersonDoses& person : history.persons()) {
    const auto lead = static_cast<std::uint32_t>(result.persons.size());
    result.persons.push_back(person.person);
    result.sexes.emplace_back(person.sex ? input::SexName(*person.sex) : "");
    const int birthYear = input::YearOf(person.birthDate);
    unbounded +=
        output::ForEachRiskRow(person, sitesFile.sites, options, [&](const output::RiskRow& row) {
          result.lead.push_back(lead);
          result.birth.push_back(birthYear);
          result.exposure.push_back(row.year);
          result.age.push_back(row.year - birthYear);
          result.site.push_back(static_cast<std::uint32_t>(row.site));
          result.radiation.push_back(row.let == integration::kHighLet ? 0 : 1);
          result.dosedist.push_back(row.lognormal ? 1 : 0);
          result.dose1.push_back(row.dose1);
          result.dose2.push_back(row.lognormal ? row.dose2
                                               : std::numeric_limits<double>::quiet_NaN());
          result.dose3.push_back(std::numeric_limits<double>::quiet_NaN());
        });
  }
  result.messages = history.messages();
  if (const std::optional<std::size_t> note = history.leftOutNoteIndex())
    result.messages[*note].kind = output::MessageKind::kWarning;
  if (unbounded > 0) {
    std::string text = std::to_string(unbounded);
    text += unbounded == 1 ? " row" : " rows";
    text += " left out: their doses are marked unbounded and cannot be trusted";
    result.messages.push_back({output::MessageKind::kWarning, std::move(text)});
  }
  return result;
}

}  // namespace quillmore::python
