// The files a run writes, each with its size and SHA-256, for the run's
// summary and its manifest. Every writer of a run records here the files it
// has closed, whatever their format.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "base/result.h"
#include "base/status.h"

namespace quillmore::output {

struct FileDigest {
  std::string name;  // relative to the run's output folder
  std::uintmax_t size = 0;
  std::string sha256;  // lower-case hexadecimal
};

// Size and SHA-256 of the file at `path`, without a name. A file that cannot
// be read is an IoError naming it.
base::Result<FileDigest> DigestFile(const std::filesystem::path& path);

// SHA-256 of bytes given in pieces, as a writer writes them. Reusable after
// Finish. Not copyable.
class Sha256 {
 public:
  using Bytes = std::array<unsigned char, 32>;
  Sha256() = default;
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;
  ~Sha256();

  void Update(std::string_view bytes);
  std::uintmax_t size() const { return size_; }
  // The digest of everything given since the last Finish, which starts anew.
  Bytes Finish();
  // Ok, or an IoError naming `path` when SHA-256 cannot be set up (no memory,
  // or none in the library); the digests are then meaningless.
  base::Status Check(const std::filesystem::path& path);

 private:
  void* Context();
  void* context_ = nullptr;  // EVP_MD_CTX
  bool failed_ = false;
  std::uintmax_t size_ = 0;
};

// Safe to share between threads.
class WrittenFiles {
 public:
  // With `withDigests` each file's size and SHA-256 are kept for
  // ForEachSorted; without, files are only counted.
  WrittenFiles(std::filesystem::path folder, bool withDigests);

  // A file closed with exactly `bytes` in it, hashed from them.
  base::Status Add(const std::filesystem::path& path, std::string_view bytes);
  // The same with the pieces of the bytes, one after the other.
  base::Status Add(const std::filesystem::path& path, std::span<const std::string_view> pieces);
  // A file closed with what `hashed` was given; `hashed` starts anew.
  base::Status Add(const std::filesystem::path& path, Sha256& hashed);
  std::size_t Count() const;
  // Whether Add keeps digests: a writer need not hash otherwise.
  bool withDigests() const { return withDigests_; }
  // Every file added, sorted by name, so that the order does not depend on
  // which thread finished first; the digest in lower-case hexadecimal.
  void ForEachSorted(const std::function<void(std::string_view name, std::uintmax_t size,
                                              std::string_view sha256)>& visit);

 private:
  // Thousands of files in a run: names share one buffer, digests are kept as bytes.
  struct File {
    std::size_t nameStart = 0;
    std::size_t nameSize = 0;
    std::uintmax_t size = 0;
    Sha256::Bytes sha256{};
  };
  base::Status Record(const std::filesystem::path& path, std::uintmax_t size,
                      const Sha256::Bytes& sha256);

  const std::filesystem::path folder_;
  const bool withDigests_;
  mutable std::mutex mutex_;
  std::size_t count_ = 0;
  std::string names_;
  std::deque<File> files_;  // grows without copying what it holds
};

}  // namespace quillmore::output
