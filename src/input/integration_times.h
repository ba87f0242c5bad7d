// The integration times (commitment periods, days) of "Quillmore.ini": the
// lines between a line starting "START" and one starting "END".
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace quillmore::input {

inline constexpr std::size_t kMaxIntegrationTimes = 100;

struct IntegrationTimes {
  std::vector<double> integrationTimes;  // days, in file order
  base::Status status;  // kNotFound: no such file; kInvalidArgument: over 100 times
};

// Reads the times from `path`. Lines end at CR (a following LF is skipped; a
// lone LF stays in the line); byte 26 ends the file. Each time line is read
// by the numeric field rule (no number: 0). No START line: no times. No END
// line: the list ends with the file. More than 100 time lines is an error
// naming the file and the limit, with no times.
IntegrationTimes ReadIntegrationTimes(const std::filesystem::path& path);

// The same from the file's content, for callers that hold it already;
// `fileName` names the file in messages.
IntegrationTimes ParseIntegrationTimes(std::string_view content, std::string_view fileName);

}  // namespace quillmore::input
