#include "input/integration_times.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "input/numeric_field.h"

namespace quillmore::input {
namespace {

constexpr char kEndOfFile = 26;  // Ctrl+Z
constexpr std::size_t kShownLineWidth = 40;

// Splits text into lines the way the times file is read: CR LF, a lone CR and
// a lone LF each end a line, so files from any editor read alike.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  // The next line, or false at the end of the file.
  bool Next(std::string_view* line) {
    if (ended_ || pos_ >= text_.size()) return false;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != '\r' && text_[pos_] != '\n' &&
           text_[pos_] != kEndOfFile) {
      ++pos_;
    }
    *line = text_.substr(start, pos_ - start);
    ++number_;
    if (pos_ < text_.size() && text_[pos_] == kEndOfFile) {
      ended_ = true;
      // Ctrl+Z at the very start of a line is only the end of the file.
      return !line->empty();
    }
    if (pos_ < text_.size()) {
      const bool carriageReturn = text_[pos_] == '\r';
      ++pos_;
      if (carriageReturn && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    }
    return true;
  }
  // Number of the line last returned, from 1.
  std::size_t number() const { return number_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t number_ = 0;
  bool ended_ = false;
};

bool StartsWith(std::string_view line, std::string_view word) {
  return line.substr(0, word.size()) == word;
}

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

// The line as a message quotes it: control bytes as "?", long lines cut.
std::string Quoted(std::string_view line) {
  std::string shown;
  for (char c : line.substr(0, kShownLineWidth)) {
    shown += (static_cast<unsigned char>(c) < 32 || c == 127) ? '?' : c;
  }
  if (line.size() > kShownLineWidth) shown += "...";
  return "\"" + shown + "\"";
}

// `status`, its fault also kept in `fault` when given.
base::Status Refused(base::Status status, TimesFault* fault, std::size_t line, std::string what) {
  if (fault != nullptr) *fault = {line, std::move(what)};
  return status;
}

base::Status Refused(const std::string& file, TimesFault* fault, std::size_t line,
                     const std::string& what) {
  return Refused(base::Status::InvalidArgument(
                     file + (line == 0 ? " " : ", line " + std::to_string(line) + ": ") + what),
                 fault, line, what);
}

// Days as the shortest text that reads back to the same double.
std::string DaysText(double days) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, days).ptr;
  return std::string(text, end);
}

// What a time line leaves unread, if anything: stored files keep reading to
// the same times, but a "18,250" or "50y" that reads as 18 or 50 is said.
std::optional<std::string> LeftOver(std::string_view line, double days) {
  if (IsBlank(line)) return "a blank line is read as 0 d";
  std::string_view rest = line.substr(NumberLength(line));
  const std::size_t text = rest.find_first_not_of(" \t");
  if (text == std::string_view::npos) return std::nullopt;
  return Quoted(line) + " is read as " + DaysText(days) + " d; " + Quoted(rest.substr(text)) +
         " is ignored";
}

}  // namespace

std::string TimesWarningText(const std::filesystem::path& file, const TimesFault& warning) {
  return file.string() + ":" + std::to_string(warning.line) + ": " + warning.what;
}

IntegrationTimes ParseIntegrationTimes(std::string_view content, std::string_view fileName,
                                       TimesFault* fault, std::vector<TimesFault>* warnings) {
  const std::string file(fileName);
  std::vector<double> times;
  LineReader lines(content);
  std::string_view line;
  bool started = false;
  while (!started && lines.Next(&line)) started = StartsWith(line, "START");
  if (!started) return Refused(file, fault, 0, "holds no integration times (no START line)");
  while (lines.Next(&line) && !StartsWith(line, "END")) {
    if (times.size() == kMaxIntegrationTimes) {
      return Refused(
          file, fault, 0,
          "holds more than " + std::to_string(kMaxIntegrationTimes) + " integration times");
    }
    // An empty line is a time of 0 d, as it always was; text without a number
    // or a negative time is a typing error that would give a wrong table.
    const double days = ReadDouble(line);
    if (!IsBlank(line) && !StartsWithNumber(line)) {
      return Refused(file, fault, lines.number(), Quoted(line) + " is not a number of days");
    }
    if (days < 0) return Refused(file, fault, lines.number(), Quoted(line) + " is a negative time");
    if (!std::isfinite(days)) {
      return Refused(file, fault, lines.number(), Quoted(line) + " is too large a time");
    }
    if (std::optional<std::string> what = LeftOver(line, days); what && warnings != nullptr) {
      warnings->push_back({lines.number(), std::move(*what)});
    }
    times.push_back(days);
  }
  if (times.empty())
    return Refused(file, fault, 0, "holds no integration times between START and END");
  return times;
}

IntegrationTimes ReadIntegrationTimes(const std::filesystem::path& path, TimesFault* fault,
                                      std::vector<TimesFault>* warnings) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return Refused(base::Status::NotFound("Unable to locate the file " + path.string()), fault, 0,
                   "no such file");
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  if (!in) {
    return Refused(base::Status::IoError(path.string() + ": cannot be read"), fault, 0,
                   "cannot be read");
  }
  return ParseIntegrationTimes(content.str(), path.string(), fault, warnings);
}

}  // namespace quillmore::input
