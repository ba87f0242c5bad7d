#include "output/output_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

#include "base/text.h"
#include "input/age_groups.h"
#include "output/number_mask.h"

namespace quillmore::output {
namespace {

// Taken first thing after the failing call, before anything can change errno.
std::string ErrnoText(int code) {
  return std::strerror(code);
}

// The nuclide's name as the stem of a file name, or an InvalidArgument error.
base::Result<std::string> FileStem(std::string_view nuclideName) {
  std::string stem = base::TrimBlanks(nuclideName);
  // The name becomes part of a path: nothing in it may leave the folder.
  if (stem.empty() || stem.front() == '.' ||
      stem.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos) {
    return base::Status::InvalidArgument("Unusable nuclide name for an output file: \"" + stem +
                                         "\"");
  }
  return stem;
}

base::Status MakeFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    std::filesystem::create_directories(folder, error);
    if (error) {
      return base::Status::IoError("Cannot create the folder " + folder.string() + ": " +
                                   error.message());
    }
  }
  return base::Status::Ok();
}

}  // namespace

OutputFiles::OutputFiles(OutputFiles&& other) noexcept : files_(std::move(other.files_)) {
  other.files_.clear();
}

OutputFiles& OutputFiles::operator=(OutputFiles&& other) noexcept {
  if (this != &other) {
    // Writers close explicitly and report that; this only lets go of what a
    // failed run left open, whose failure is already on its way to the user.
    static_cast<void>(Close());
    files_ = std::move(other.files_);
    other.files_.clear();
  }
  return *this;
}

OutputFiles::~OutputFiles() {
  // As in the move assignment: what matters was closed and reported already.
  static_cast<void>(Close());
}

base::Status OutputFiles::Write(std::size_t i, std::string_view text) {
  File& file = files_[i];
  if (file.descriptor < 0) {
    return base::Status::IoError("Cannot write " + file.path.string() + ": file is closed");
  }
  // One write() normally takes it all; the loop covers signals and short writes.
  while (!text.empty()) {
    const ssize_t written = ::write(file.descriptor, text.data(), text.size());
    const int code = errno;
    if (written < 0 && code == EINTR) continue;
    if (written <= 0) {
      return base::Status::IoError("Cannot write " + file.path.string() + ": " +
                                   (written < 0 ? ErrnoText(code) : "nothing written"));
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return base::Status::Ok();
}

base::Status OutputFiles::Close() {
  base::Status first;
  for (File& file : files_) {
    if (file.descriptor < 0) continue;
    // The descriptor is gone after close() whatever it returns; no retry.
    const int result = ::close(file.descriptor);
    const int code = errno;
    if (result != 0 && first.ok()) {
      first = base::Status::IoError("Cannot close " + file.path.string() + ": " + ErrnoText(code));
    }
    file.descriptor = -1;
  }
  return first;
}

base::Result<std::string> OutputFileName(std::string_view nuclideName, std::int32_t ageDays,
                                         input::DataKind kind) {
  base::Result<std::string> stem = FileStem(nuclideName);
  if (!stem.ok()) return stem;
  const std::string days = SignedNumberText(ageDays);
  return std::move(stem).value() + "_" + base::TrimBlanks(days) + "_" +
         input::DataSetOf(kind).fileLetter + ".TXT";
}

base::Result<std::string> NuclideFileName(std::string_view nuclideName, input::DataKind kind,
                                          std::string_view suffix) {
  base::Result<std::string> stem = FileStem(nuclideName);
  if (!stem.ok()) return stem;
  return std::move(stem).value() + "_" + input::DataSetOf(kind).fileLetter + std::string(suffix);
}

base::Status CreateOutputFile(const std::filesystem::path& path, OutputFiles& file) {
  const base::Status closed = file.Close();
  file.files_.clear();
  if (!closed.ok()) return closed;
  const base::Status status = MakeFolder(path.parent_path().empty() ? "." : path.parent_path());
  if (!status.ok()) return status;
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  const int code = errno;
  if (descriptor < 0) {
    return base::Status::IoError("Cannot create " + path.string() + ": " + ErrnoText(code));
  }
  file.files_.push_back({path, descriptor});
  return base::Status::Ok();
}

base::Status WriteWholeFile(const std::filesystem::path& path, std::string_view text) {
  return WriteWholeFile(path, std::span(&text, 1));
}

base::Status WriteWholeFile(const std::filesystem::path& path,
                            std::span<const std::string_view> pieces) {
  OutputFiles file;
  base::Status status = CreateOutputFile(path, file);
  for (std::size_t i = 0; status.ok() && i < pieces.size(); ++i) status = file.Write(0, pieces[i]);
  const base::Status closed = file.Close();
  return status.ok() ? closed : status;
}

base::Status OpenOutputFiles(const std::filesystem::path& folder, std::string_view nuclideName,
                             std::span<const int> selectedAges, input::DataKind kind,
                             OutputFiles& files) {
  const base::Status closed = files.Close();
  files.files_.clear();
  if (!closed.ok()) return closed;
  const base::Status made = MakeFolder(folder);
  if (!made.ok()) return made;
  OutputFiles opened;
  for (const int group : selectedAges) {
    if (group < 1 || group > input::kAgeGroupCount) {
      return base::Status::InvalidArgument("No age group " + std::to_string(group));
    }
    base::Result<std::string> name = OutputFileName(nuclideName, input::AgeGroupDays(group), kind);
    if (!name.ok()) return name.status();
    const std::filesystem::path path = folder / name.value();
    // Not truncated yet: if a later file cannot be opened, the tables of an
    // earlier run in the files opened so far are kept, not left empty.
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    const int code = errno;
    if (descriptor < 0) {
      return base::Status::IoError("Cannot create " + path.string() + ": " + ErrnoText(code));
    }
    opened.files_.push_back({path, descriptor});
  }
  for (const OutputFiles::File& file : opened.files_) {
    // As O_TRUNC would: devices and pipes are written as they are.
    struct stat info {};
    if (::fstat(file.descriptor, &info) != 0 || !S_ISREG(info.st_mode)) continue;
    if (::ftruncate(file.descriptor, 0) != 0) {
      const int code = errno;
      return base::Status::IoError("Cannot create " + file.path.string() + ": " + ErrnoText(code));
    }
  }
  files = std::move(opened);
  return base::Status::Ok();
}

}  // namespace quillmore::output
