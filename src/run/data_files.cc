#include "run/data_files.h"

#include <system_error>

#include "input/path_resolver.h"
#include "input/region_names.h"

namespace quillmore::run {

base::Result<std::filesystem::path> FindDataFolder(const std::filesystem::path& parent,
                                                   std::string_view name) {
  std::filesystem::path folder = input::ResolvePath(parent, name);
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(folder, error);
  if (std::filesystem::is_directory(status)) return folder;
  // Absent, or a file of that name, is the usual case; anything else (no
  // permission) comes with its reason.
  if (!error || status.type() == std::filesystem::file_type::not_found) {
    return base::Status::NotFound("");
  }
  return base::Status::IoError(error.message());
}

namespace {

input::IntegrationTimes ReadTimesOf(const std::filesystem::path& path,
                                    std::vector<std::string>& warnings) {
  std::vector<input::TimesFault> leftOvers;
  input::IntegrationTimes times = input::ReadIntegrationTimes(path, nullptr, &leftOvers);
  for (const input::TimesFault& leftOver : leftOvers)
    warnings.push_back(input::TimesWarningText(path, leftOver));
  return times;
}

}  // namespace

input::IntegrationTimes ReadTimes(const std::filesystem::path& dataFolder,
                                  std::vector<std::string>* warnings) {
  std::vector<std::string> said;
  input::IntegrationTimes times =
      ReadTimesOf(input::ResolvePath(dataFolder, input::kTimesFileName), said);
  if (warnings != nullptr) *warnings = std::move(said);
  return times;
}

base::Result<TimesRead> ReadTimesFile(const std::filesystem::path& path,
                                      std::string_view timesWords) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    return base::Status::InvalidArgument(std::string(timesWords) +
                                         " names a folder, not a file: " + path.string());
  }
  TimesRead read;
  input::IntegrationTimes times = ReadTimesOf(path, read.warnings);
  if (times.status().code() == base::Status::Code::kInvalidArgument)
    return base::Status::Corruption(times.status().message());
  if (!times.ok()) return times.status();
  read.times = std::move(times).value();
  return read;
}

namespace {

// A damaged file is said as it is, in every face; anything else is a file
// that could not be opened.
base::Status Opened(const base::Status& status, const std::string& what) {
  if (status.ok() || status.code() == base::Status::Code::kCorruption) return status;
  return base::Status::IoError("unable to open the " + what + ": " + status.message());
}

}  // namespace

base::Status NoDataFolder(const std::filesystem::path& parent, std::string_view name,
                          const base::Status& found) {
  const std::string text = "no data folder " + input::ResolvePath(parent, name).string() +
                           (found.message().empty() ? "" : " (" + found.message() + ")");
  return found.code() == base::Status::Code::kNotFound ? base::Status::NotFound(text)
                                                       : base::Status::IoError(text);
}

std::filesystem::path IndexPath(const std::filesystem::path& dataFolder) {
  return input::ResolvePath(dataFolder, input::kIndexFileName);
}

std::filesystem::path DoseRatePath(const std::filesystem::path& dataFolder, input::DataKind kind) {
  return input::ResolvePath(dataFolder, input::DataSetOf(kind).doseRateFileName);
}

base::Result<input::DataIndex> OpenIndex(const std::filesystem::path& dataFolder) {
  input::DataIndex index;
  const base::Status opened = Opened(index.Open(IndexPath(dataFolder)), "index");
  if (!opened.ok()) return opened;
  return index;
}

base::Result<input::DoseRateFile> OpenDoseRates(const std::filesystem::path& dataFolder,
                                                input::DataKind kind) {
  input::DoseRateFile file;
  const base::Status opened = Opened(file.Open(DoseRatePath(dataFolder, kind)), "dose-rate file");
  if (!opened.ok()) return opened;
  // Caught here, or every nuclide would read as headers only and say nothing
  // of the cause.
  const std::string fault = input::ConvertedLineEndsFault(file.file());
  if (!fault.empty()) return base::Status::Corruption(file.file().path().string() + ": " + fault);
  return file;
}

std::vector<std::string> ReadRegionNames(input::DoseRateFile& file) {
  return input::BuildRegionNames(file.RegionHeadings());
}

}  // namespace quillmore::run
