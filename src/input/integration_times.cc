#include "input/integration_times.h"

#include <fstream>
#include <sstream>
#include <string>

#include "input/numeric_field.h"

namespace quillmore::input {
namespace {

constexpr char kEndOfFile = 26;  // Ctrl+Z

// Splits text into lines the way the times file is read.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  // The next line, or false at the end of the file.
  bool Next(std::string_view* line) {
    if (ended_ || pos_ >= text_.size()) return false;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != '\r' && text_[pos_] != kEndOfFile) ++pos_;
    *line = text_.substr(start, pos_ - start);
    if (pos_ < text_.size() && text_[pos_] == kEndOfFile) {
      ended_ = true;
      // Ctrl+Z at the very start of a line is only the end of the file.
      return !line->empty();
    }
    if (pos_ < text_.size()) {
      ++pos_;  // the CR
      if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    }
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  bool ended_ = false;
};

bool StartsWith(std::string_view line, std::string_view word) {
  return line.substr(0, word.size()) == word;
}

}  // namespace

IntegrationTimes ParseIntegrationTimes(std::string_view content, std::string_view fileName) {
  IntegrationTimes result;
  LineReader lines(content);
  std::string_view line;
  bool started = false;
  while (!started && lines.Next(&line)) started = StartsWith(line, "START");
  if (!started) return result;
  while (lines.Next(&line) && !StartsWith(line, "END")) {
    if (result.integrationTimes.size() == kMaxIntegrationTimes) {
      result.integrationTimes.clear();
      result.status = base::Status::InvalidArgument(std::string(fileName) + " holds more than " +
                                                    std::to_string(kMaxIntegrationTimes) +
                                                    " integration times");
      return result;
    }
    result.integrationTimes.push_back(ReadDouble(line));
  }
  return result;
}

IntegrationTimes ReadIntegrationTimes(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    IntegrationTimes missing;
    missing.status = base::Status::NotFound("Unable to locate the file " + path.string());
    return missing;
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  if (!in) {
    IntegrationTimes unreadable;
    unreadable.status = base::Status::IoError(path.string() + ": cannot be read");
    return unreadable;
  }
  return ParseIntegrationTimes(content.str(), path.string());
}

}  // namespace quillmore::input
