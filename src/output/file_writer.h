// Writing one output file of a run, whole or as it grows, and recording it in
// the run's WrittenFiles once closed: the one open, write, hash and close
// sequence of every output file but the text tables. A file may be written
// through gzip: the name gains ".gz", and what is hashed and recorded are the
// compressed bytes as written.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/status.h"
#include "output/output_files.h"
#include "output/written_files.h"

namespace quillmore::output {

// How a file's bytes reach the disk.
enum class Compression {
  kNone,
  // gzip at level 6 with a fixed header (no name, modification time 0, OS 3),
  // so that the bytes depend on nothing but the text.
  kGzip,
};
// "gzip" (any other text is none of them); the name is "none" or "gzip".
std::optional<Compression> ParseCompression(std::string_view text);
std::string_view CompressionName(Compression compression);
// The name a file of `path` is written under: `path`, or `path` with ".gz" added.
std::filesystem::path CompressedPath(const std::filesystem::path& path, Compression compression);

// Creates or replaces `path` (and its folder) with `bytes`, then records it in
// `written` when given. The first failure is returned, naming the file.
base::Status WriteRecordedFile(const std::filesystem::path& path, std::string_view bytes,
                               WrittenFiles* written, Compression compression = Compression::kNone);
// The same with the pieces of the bytes, one after the other.
base::Status WriteRecordedFile(const std::filesystem::path& path,
                               std::span<const std::string_view> pieces, WrittenFiles* written,
                               Compression compression = Compression::kNone);

class Deflater;

// A file written as it grows: text is gathered and written in large pieces,
// and hashed as it is written; a failure (full disk, failed close) is returned
// naming the file.
class StreamedFile {
 public:
  StreamedFile();
  StreamedFile(const StreamedFile&) = delete;
  StreamedFile& operator=(const StreamedFile&) = delete;
  ~StreamedFile();

  // Creates or empties `path` (CompressedPath of it), creating its folder
  // when missing; without `hashing` nothing is hashed (a file no
  // WrittenFiles lists).
  base::Status Open(const std::filesystem::path& path, bool hashing = true,
                    Compression compression = Compression::kNone);
  // Appends `text`, writing when enough has gathered.
  base::Status Append(std::string_view text);
  // Writes the rest and closes; the file's first failure, naming it.
  base::Status Close();
  // The file as opened, ".gz" included.
  const std::filesystem::path& path() const { return path_; }
  // The bytes written so far, for WrittenFiles::Add.
  Sha256& hashed() { return hashed_; }

 private:
  base::Status Flush(bool last);
  OutputFiles file_;
  std::filesystem::path path_;
  std::string pending_;
  std::string compressed_;              // pending_ through the deflater
  std::unique_ptr<Deflater> deflater_;  // with Compression::kGzip
  bool hashing_ = true;
  Sha256 hashed_;
};

}  // namespace quillmore::output
