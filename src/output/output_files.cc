#include "output/output_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

#include "input/age_groups.h"
#include "output/number_mask.h"

namespace quillmore::output {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Taken first thing after the failing call, before anything can change errno.
std::string ErrnoText(int code) {
  return std::strerror(code);
}

// The nuclide's name as the stem of a file name, or an InvalidArgument error.
input::Status FileStem(std::string_view nuclideName, std::string_view& stem) {
  stem = TrimBlanks(nuclideName);
  // The name becomes part of a path: nothing in it may leave the folder.
  if (stem.empty() || stem.front() == '.' ||
      stem.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos) {
    return input::Status::InvalidArgument("Unusable nuclide name for an output file: \"" +
                                          std::string(stem) + "\"");
  }
  return input::Status::Ok();
}

std::string_view KindLetter(input::DataKind kind) {
  return kind == input::DataKind::kInhalation ? "H" : "G";
}

input::Status MakeFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    std::filesystem::create_directories(folder, error);
    if (error) {
      return input::Status::IoError("Cannot create the folder " + folder.string() + ": " +
                                    error.message());
    }
  }
  return input::Status::Ok();
}

}  // namespace

OutputFiles::OutputFiles(OutputFiles&& other) noexcept : files_(std::move(other.files_)) {
  other.files_.clear();
}

OutputFiles& OutputFiles::operator=(OutputFiles&& other) noexcept {
  if (this != &other) {
    Close();
    files_ = std::move(other.files_);
    other.files_.clear();
  }
  return *this;
}

OutputFiles::~OutputFiles() {
  Close();
}

input::Status OutputFiles::Write(std::size_t i, std::string_view text) {
  File& file = files_[i];
  if (file.descriptor < 0) {
    return input::Status::IoError("Cannot write " + file.path.string() + ": file is closed");
  }
  // One write() normally takes it all; the loop covers signals and short writes.
  while (!text.empty()) {
    const ssize_t written = ::write(file.descriptor, text.data(), text.size());
    const int code = errno;
    if (written < 0 && code == EINTR) continue;
    if (written <= 0) {
      return input::Status::IoError("Cannot write " + file.path.string() + ": " +
                                    (written < 0 ? ErrnoText(code) : "nothing written"));
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return input::Status::Ok();
}

input::Status OutputFiles::Close() {
  input::Status first;
  for (File& file : files_) {
    if (file.descriptor < 0) continue;
    // The descriptor is gone after close() whatever it returns; no retry.
    const int result = ::close(file.descriptor);
    const int code = errno;
    if (result != 0 && first.ok()) {
      first = input::Status::IoError("Cannot close " + file.path.string() + ": " + ErrnoText(code));
    }
    file.descriptor = -1;
  }
  return first;
}

input::Status OutputFileName(std::string_view nuclideName, std::int32_t ageDays,
                             input::DataKind kind, std::string& fileName) {
  std::string_view stem;
  const input::Status status = FileStem(nuclideName, stem);
  if (!status.ok()) return status;
  const std::string days = SignedNumberText(ageDays);
  fileName = std::string(stem) + "_" + std::string(TrimBlanks(days)) + "_" +
             std::string(KindLetter(kind)) + ".TXT";
  return input::Status::Ok();
}

input::Status NuclideFileName(std::string_view nuclideName, input::DataKind kind,
                              std::string_view suffix, std::string& fileName) {
  std::string_view stem;
  const input::Status status = FileStem(nuclideName, stem);
  if (!status.ok()) return status;
  fileName = std::string(stem) + "_" + std::string(KindLetter(kind)) + std::string(suffix);
  return input::Status::Ok();
}

input::Status WriteWholeFile(const std::filesystem::path& path, std::string_view text) {
  input::Status status = MakeFolder(path.parent_path().empty() ? "." : path.parent_path());
  if (!status.ok()) return status;
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  const int code = errno;
  if (descriptor < 0) {
    return input::Status::IoError("Cannot create " + path.string() + ": " + ErrnoText(code));
  }
  OutputFiles file;
  file.files_.push_back({path, descriptor});
  status = file.Write(0, text);
  const input::Status closed = file.Close();
  return status.ok() ? closed : status;
}

input::Status OpenOutputFiles(const std::filesystem::path& folder, std::string_view nuclideName,
                              std::span<const int> selectedAges, input::DataKind kind,
                              OutputFiles& files) {
  files.Close();
  files.files_.clear();
  const input::Status made = MakeFolder(folder);
  if (!made.ok()) return made;
  OutputFiles opened;
  for (const int group : selectedAges) {
    if (group < 1 || group > input::kAgeGroupCount) {
      return input::Status::InvalidArgument("No age group " + std::to_string(group));
    }
    std::string name;
    input::Status status = OutputFileName(nuclideName, input::AgeGroupDays(group), kind, name);
    if (!status.ok()) return status;
    const std::filesystem::path path = folder / name;
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    const int code = errno;
    if (descriptor < 0) {
      return input::Status::IoError("Cannot create " + path.string() + ": " + ErrnoText(code));
    }
    opened.files_.push_back({path, descriptor});
  }
  files = std::move(opened);
  return input::Status::Ok();
}

}  // namespace quillmore::output
