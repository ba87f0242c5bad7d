// Writing one output file of a run, whole or as it grows, and recording it in
// the run's WrittenFiles once closed: the one open, write, hash and close
// sequence of every output file but the text tables.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "base/status.h"
#include "output/output_files.h"
#include "output/written_files.h"

namespace quillmore::output {

// Creates or replaces `path` (and its folder) with `bytes`, then records it in
// `written` when given. The first failure is returned, naming the file.
base::Status WriteRecordedFile(const std::filesystem::path& path, std::string_view bytes,
                               WrittenFiles* written);
// The same with the pieces of the bytes, one after the other.
base::Status WriteRecordedFile(const std::filesystem::path& path,
                               std::span<const std::string_view> pieces, WrittenFiles* written);

// A file written as it grows: text is gathered and written in large pieces,
// and hashed as it is written; a failure (full disk, failed close) is returned
// naming the file.
class StreamedFile {
 public:
  // Creates or empties `path`, creating its folder when missing; without
  // `hashing` nothing is hashed (a file no WrittenFiles lists).
  base::Status Open(const std::filesystem::path& path, bool hashing = true);
  // Appends `text`, writing when enough has gathered.
  base::Status Append(std::string_view text);
  // Writes the rest and closes; the file's first failure, naming it.
  base::Status Close();
  // The bytes written so far, for WrittenFiles::Add.
  Sha256& hashed() { return hashed_; }

 private:
  base::Status Flush();
  OutputFiles file_;
  std::string pending_;
  bool hashing_ = true;
  Sha256 hashed_;
};

}  // namespace quillmore::output
