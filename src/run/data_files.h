// The opening steps both programs take, each on its own so that each program
// keeps its order (the interactive one reads the times before the index and
// opens the dose-rate file after the data-set box). Each failure is a Status
// naming the file or folder; the programs word it for their users.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "base/status.h"
#include "input/data_index.h"
#include "input/data_kind.h"
#include "input/dose_rate_file.h"
#include "input/integration_times.h"

namespace quillmore::run {

// The folder `name` under `parent`, found in any letter case. NotFound
// (empty message) when no folder is there; IoError with the system's reason
// when the place cannot be looked at.
base::Result<std::filesystem::path> FindDataFolder(const std::filesystem::path& parent,
                                                   std::string_view name);

// The integration times of the times file in `dataFolder`; its lines read
// with something left over go to `warnings` when given, worded with the
// file's path.
input::IntegrationTimes ReadTimes(const std::filesystem::path& dataFolder,
                                  std::vector<std::string>* warnings = nullptr);

// The integration times of the times file `path` that a user named, and its
// warnings worded with the path. A folder is kInvalidArgument
// "TIMES names a folder, not a file: PATH", TIMES as the face names the
// file ("--times", "times="), a bad argument; a file that cannot be used as
// times is unusable data, kCorruption; a missing or unreadable one kNotFound
// or kIoError. The messages are input::ReadIntegrationTimes's.
struct TimesRead {
  std::vector<double> times;
  std::vector<std::string> warnings;
};
base::Result<TimesRead> ReadTimesFile(const std::filesystem::path& path,
                                      std::string_view timesWords);

// What every face says of the folder `name` under `parent` that
// FindDataFolder did not find (`found`): "no data folder DATA", with the
// system's reason where there is one.
base::Status NoDataFolder(const std::filesystem::path& parent, std::string_view name,
                          const base::Status& found);

// The index file of `dataFolder` and its dose-rate file of `kind`, found in
// any letter case: what the two openers below open.
std::filesystem::path IndexPath(const std::filesystem::path& dataFolder);
std::filesystem::path DoseRatePath(const std::filesystem::path& dataFolder, input::DataKind kind);

// The index of `dataFolder`, open; its file().path() names it. A damaged
// index is a Corruption naming the file and the fault; any other failure an
// IoError "unable to open the index: ...".
base::Result<input::DataIndex> OpenIndex(const std::filesystem::path& dataFolder);

// The dose-rate file of `kind` in `dataFolder`, open; its file().path()
// names it. A damaged file (line ends converted) is a Corruption naming the
// file and the cause; any other failure an IoError "unable to open the
// dose-rate file: ...".
base::Result<input::DoseRateFile> OpenDoseRates(const std::filesystem::path& dataFolder,
                                                input::DataKind kind);

// The names of regions 1 to 30, from record 2 of `file`.
std::vector<std::string> ReadRegionNames(input::DoseRateFile& file);

}  // namespace quillmore::run
