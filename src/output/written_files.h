// The files a run writes, each with its size and SHA-256, for the run's
// summary and its manifest. Every writer of a run records here the files it
// has closed, whatever their format.
#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "base/status.h"

namespace quillmore::output {

struct FileDigest {
  std::string name;  // relative to the run's output folder
  std::uintmax_t size = 0;
  std::string sha256;  // lower-case hexadecimal
};

// Size and SHA-256 of the file at `path`; `digest.name` is left as is. A file
// that cannot be read is an IoError naming it.
base::Status DigestFile(const std::filesystem::path& path, FileDigest& digest);

// Safe to share between threads.
class WrittenFiles {
 public:
  // With `withDigests` each file is read back and hashed when added and kept
  // for Sorted(); without, files are only counted.
  WrittenFiles(std::filesystem::path folder, bool withDigests);

  base::Status Add(const std::filesystem::path& path);
  std::size_t Count() const;
  // Every file added, sorted by name, so that the order does not depend on
  // which thread finished first.
  std::vector<FileDigest> Sorted() const;

 private:
  const std::filesystem::path folder_;
  const bool withDigests_;
  mutable std::mutex mutex_;
  std::size_t count_ = 0;
  std::vector<FileDigest> files_;
};

}  // namespace quillmore::output
