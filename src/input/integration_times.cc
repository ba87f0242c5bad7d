#include "input/integration_times.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "base/text.h"
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

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
  return base::AsciiLower(c) >= 'a' && base::AsciiLower(c) <= 'z';
}

// Whether `text` starts with `word`, in any case, as a whole word: what
// follows it is the end, a blank or anything but a letter ("50 y." but not
// "50 yes").
bool StartsWithWord(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (base::AsciiLower(text[i]) != word[i]) return false;
  }
  return text.size() == word.size() || !IsLetter(text[word.size()]);
}

// A unit of time other than days: the value is always read in days, so
// "50 y" or "12 h" almost surely means another period than it gives.
bool StartsWithOtherTimeUnit(std::string_view comment) {
  static constexpr std::string_view kUnits[] = {
      "y",       "yr", "yrs", "year", "years",  "a",       "h",  "hr",    "hrs",   "hour",
      "hours",   "m",  "min", "mins", "minute", "minutes", "s",  "sec",   "secs",  "second",
      "seconds", "w",  "wk",  "wks",  "week",   "weeks",   "mo", "month", "months"};
  for (std::string_view unit : kUnits) {
    if (StartsWithWord(comment, unit)) return true;
  }
  return false;
}

// Whether `number` is 1 to 3 digits and `comment` starts with exactly three
// digits as a word: "36 500" is a number split by a thousands blank.
bool IsSplitByThousands(std::string_view number, std::string_view comment) {
  number = number.substr(std::min(number.size(), number.find_first_not_of(" \t")));
  const auto allDigits = [](std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsDigit);
  };
  const std::string_view word = comment.substr(0, comment.find_first_of(" \t"));
  return !number.empty() && number.size() <= 3 && allDigits(number) && word.size() == 3 &&
         allDigits(word);
}

// Whether text glued to the number only names days ("1d", "7Days"): it says
// what the value already is.
bool IsDaysSuffix(std::string_view glued) {
  const std::string_view word = glued.substr(0, glued.find_first_of(" \t"));
  if (!IsBlank(glued.substr(word.size()))) return false;
  const std::string lower = base::AsciiLower(word);
  return lower == "d" || lower == "day" || lower == "days";
}

// Whether the text after a time's number may mean another period than the
// one read: stored files keep reading to the same times, and a
// comment after blanks ("30.5 days") is the file's own form, but a "18,250",
// "50y", "36 500" or "50 years" that reads as 18, 50, 36 or 50 d is said.
bool MayBeMisread(std::string_view number, std::string_view rest) {
  const std::size_t text = rest.find_first_not_of(" \t");
  if (text == std::string_view::npos) return false;
  if (text == 0) return !IsDaysSuffix(rest);
  const std::string_view comment = rest.substr(text);
  return IsSplitByThousands(number, comment) || StartsWithOtherTimeUnit(comment);
}

// What a time line leaves unread, when that may be a misreading.
std::optional<std::string> LeftOver(std::string_view line, double days) {
  if (IsBlank(line)) return "a blank line is read as 0 d";
  const std::size_t length = NumberLength(line);
  const std::string_view rest = line.substr(length);
  if (!MayBeMisread(line.substr(0, length), rest)) return std::nullopt;
  return Quoted(line) + " is read as " + base::ShortestText(days) + " d; " +
         Quoted(rest.substr(rest.find_first_not_of(" \t"))) + " is ignored";
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
