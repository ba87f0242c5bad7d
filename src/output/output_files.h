// The output files of one nuclide: "<nuclide>_<days>_<H|G>.TXT" in the folder
// OUTPUT, one per selected age group, written promptly and closed by the driver.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "base/status.h"
#include "input/data_kind.h"

namespace quillmore::output {

// The open output files, in the order of the selected age groups. Each Write
// reaches the file at once (no buffering in between). Closes what is still open
// when it goes. Movable, not copyable.
class OutputFiles {
 public:
  OutputFiles() = default;
  OutputFiles(OutputFiles&& other) noexcept;
  OutputFiles& operator=(OutputFiles&& other) noexcept;
  OutputFiles(const OutputFiles&) = delete;
  OutputFiles& operator=(const OutputFiles&) = delete;
  ~OutputFiles();

  std::size_t count() const { return files_.size(); }
  // Full path of file `i` (0-based: the i-th selected age group).
  const std::filesystem::path& path(std::size_t i) const { return files_[i].path; }
  // Appends `text` to file `i` in one write. A failed or short write, or a
  // closed file, is an IoError naming the file.
  base::Status Write(std::size_t i, std::string_view text);
  // Closes every file; the first failure is returned, naming its file. The
  // paths stay available for listing.
  base::Status Close();

 private:
  friend base::Status OpenOutputFiles(const std::filesystem::path&, std::string_view,
                                      std::span<const int>, input::DataKind, OutputFiles&);
  friend base::Status CreateOutputFile(const std::filesystem::path&, OutputFiles&);
  struct File {
    std::filesystem::path path;
    int descriptor = -1;
  };
  std::vector<File> files_;
};

// The file name of age `ageDays` for `nuclideName` (blanks at either end
// dropped): "Tc-99m_3650_H.TXT". An empty name, or one holding '/', '\' or NUL
// or starting with '.', is an InvalidArgument error.
base::Result<std::string> OutputFileName(std::string_view nuclideName, std::int32_t ageDays,
                                         input::DataKind kind);

// The file name of a nuclide's file that covers every age group:
// "Tc-99m_H" followed by `suffix` (".csv", ".json"). The name is checked as above.
base::Result<std::string> NuclideFileName(std::string_view nuclideName, input::DataKind kind,
                                          std::string_view suffix);

// Creates or replaces `path` with `text`, creating its folder when missing.
// A failure is an IoError naming the file or folder.
base::Status WriteWholeFile(const std::filesystem::path& path, std::string_view text);
// The same with the pieces of `text`, one after the other.
base::Status WriteWholeFile(const std::filesystem::path& path,
                            std::span<const std::string_view> pieces);

// Creates or empties `path`, creating its folder when missing, as the one
// file of `file` (closing what it held), for a file written in pieces. A
// failure, that close's too, is an IoError naming the file or folder.
base::Status CreateOutputFile(const std::filesystem::path& path, OutputFiles& file);

// Opens, creating or emptying, one file per entry of `selectedAges` (age-group
// numbers 1 to 6, named by their days in input/age_groups.h), in that order, in
// `folder` (created when missing; callers find "OUTPUT" with input::ResolvePath). `nuclideName`
// must be a name the index confirmed; the selected groups must be distinct. On error (bad name or
// group number, folder or file that cannot be created, a file still open in `files` that does not
// close) the message names the file or folder, the files opened so far are closed and `files` is
// left empty.
base::Status OpenOutputFiles(const std::filesystem::path& folder, std::string_view nuclideName,
                             std::span<const int> selectedAges, input::DataKind kind,
                             OutputFiles& files);

}  // namespace quillmore::output
