#include "app/batch_intake_files.h"

#include <algorithm>

#include "app/batch_options.h"
#include "base/text.h"
#include "run/data_files.h"

namespace quillmore::app {

using base::Status;

Status OpenHistoryFiles(const std::filesystem::path& folder,
                        const std::vector<input::IntakeRow>& rows, HistoryFiles& files) {
  Status status = run::OpenIndex(folder, files.index);
  if (!status.ok()) return Status::IoError("unable to open the index: " + status.message());
  status = run::OpenDoseRates(folder, input::DataKind::kInhalation, files.inhalation);
  for (const input::IntakeRow& row : rows) {
    if (status.ok() && row.kind == input::DataKind::kIngestion && !files.ingestionOpen) {
      status = run::OpenDoseRates(folder, input::DataKind::kIngestion, files.ingestion);
      files.ingestionOpen = status.ok();
    }
  }
  if (!status.ok())
    return Status::IoError("unable to open the dose-rate file: " + status.message());
  return status;
}

Status SelectHistoryRegions(const std::string& text, const std::filesystem::path& folder,
                            HistoryFiles& files, std::vector<int>& regions) {
  std::vector<std::vector<std::string>> names{run::ReadRegionNames(files.inhalation)};
  input::DoseRateFile ingestion;  // for its names, also where no row takes that route
  if (files.ingestionOpen) {
    names.push_back(run::ReadRegionNames(files.ingestion));
  } else if (run::OpenDoseRates(folder, input::DataKind::kIngestion, ingestion).ok()) {
    names.push_back(run::ReadRegionNames(ingestion));
  }
  if (base::AsciiLower(text) == "all") return ParseRegionList(text, names[0], &regions);
  regions.clear();
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const std::string item = base::TrimBlanks(text.substr(start, comma - start));
    int region = 0;
    Status status = FindRegion(item, names[0], &region);
    if (!status.ok() && names.size() > 1 && FindRegion(item, names[1], &region).ok())
      status = Status::Ok();
    if (!status.ok()) return status;
    if (std::find(regions.begin(), regions.end(), region) != regions.end()) {
      return Status::InvalidArgument("region " + std::to_string(region) +
                                     " is listed twice in --regions");
    }
    regions.push_back(region);
    if (comma == std::string::npos) return Status::Ok();
    start = comma + 1;
  }
}

}  // namespace quillmore::app
