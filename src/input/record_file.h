// Text files read as numbered fixed-length records (a line and its CR LF).
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace quillmore::input {

class RecordFile {
 public:
  RecordFile() = default;

  // Opens `path` read-only with records of `recordLength` bytes (CR LF
  // included). Never creates or changes the file; a missing or unreadable
  // file is an error naming it.
  base::Status Open(const std::filesystem::path& path, std::size_t recordLength);
  // Opens a copy of `bytes` as if it were the file `name` (for messages): every
  // read then takes the same path as from a file on disk.
  base::Status OpenBytes(std::string_view bytes, std::size_t recordLength,
                         const std::filesystem::path& name);

  // Reads record `recordNumber` (from 1) and makes the record after it the
  // next record. Bytes past the end of the file read as NUL and set the
  // end-of-file state; a read wholly inside the file clears it. A record
  // number below 1 reads as NULs and clears the state too, so that reading
  // record 0 makes record 1 the next. On a file that is not open every read
  // gives NULs and sets the state. The view lives until the next read.
  std::string_view ReadRecord(std::int64_t recordNumber);
  // Reads the record after the one last read (record 1 before any read).
  std::string_view ReadNextRecord();
  // Reads and ignores `count` next records (cheaply: only the position moves,
  // and the end-of-file state is that of the last of them).
  void SkipRecords(std::int64_t count);

  bool atEnd() const { return atEnd_; }
  // Number of the record last read (0 before any read).
  std::int64_t lastRecordNumber() const { return nextRecord_ - 1; }
  // Whole records in the file (a trailing partial record counts as one).
  std::int64_t recordCount() const;
  std::uint64_t byteCount() const { return fileSize_; }
  std::size_t recordLength() const { return recordLength_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  // Resets the state for a new source of records of `recordLength` bytes.
  void Reset(const std::filesystem::path& path, std::size_t recordLength);

  std::vector<char> bytes_;  // what OpenBytes reads; a vector keeps its storage when moved
  std::unique_ptr<std::FILE, Closer> file_;
  std::filesystem::path path_;
  std::size_t recordLength_ = 0;
  std::uint64_t fileSize_ = 0;
  std::int64_t nextRecord_ = 1;
  std::int64_t filePosition_ = -1;  // where the stream stands, to avoid needless seeks
  bool atEnd_ = false;
  std::vector<char> buffer_;
};

// Empty when the first record of `file` ends in CR LF as a record should (or
// holds no line end); otherwise why no record of the file can be found: its
// line ends were converted to LF, so every offset past the first line is off.
std::string ConvertedLineEndsFault(RecordFile& file);

}  // namespace quillmore::input
