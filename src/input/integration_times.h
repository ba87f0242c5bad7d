// The integration times (commitment periods, days) of "Quillmore.ini": the
// lines between a line starting "START" and one starting "END".
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "base/status.h"

namespace quillmore::input {

inline constexpr std::size_t kMaxIntegrationTimes = 100;

// The times in days, in file order, never none; or kNotFound: no such file,
// kIoError: unreadable, kInvalidArgument: a file that cannot be used as it
// stands (the message names the file, and the line at fault where there is one).
using IntegrationTimes = base::Result<std::vector<double>>;

// A refusal as a report that names the file itself gives it.
struct TimesFault {
  std::size_t line = 0;  // the line at fault; 0: the file as a whole
  std::string what;      // the fault without the file's name
};

// Reads the times from `path`. CR LF, a lone CR and a lone LF each end a
// line; byte 26 ends the file. Each time line is read by the numeric field
// rule; an empty or blank line is 0 d. Refused, with no times: no START line;
// no time between START and END (a missing END ends the list with the file);
// more than 100 times; a line with text but no number at its start; a
// negative time. A refusal also goes to `fault` when given. Text after the
// number and a blank is a comment ("30.5 days"). Lines that may mean another
// time than they give go to `warnings` when given, in file order: text glued
// to the number ("18,250" reads as 18 d) other than d, day or days; a 1- to
// 3-digit number followed by a 3-digit word ("36 500"); a comment starting
// with a unit of time other than days ("50 years"); and a blank line.
IntegrationTimes ReadIntegrationTimes(const std::filesystem::path& path,
                                      TimesFault* fault = nullptr,
                                      std::vector<TimesFault>* warnings = nullptr);

// The same from the file's content, for callers that hold it already;
// `fileName` names the file in messages.
IntegrationTimes ParseIntegrationTimes(std::string_view content, std::string_view fileName,
                                       TimesFault* fault = nullptr,
                                       std::vector<TimesFault>* warnings = nullptr);

// A warning as a report line: "DATA/Quillmore.ini:3: ..." for `file`.
std::string TimesWarningText(const std::filesystem::path& file, const TimesFault& warning);

}  // namespace quillmore::input
