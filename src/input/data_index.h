// The data-set index "DoseInd.NDX": 25-byte records, entries sorted by name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "input/data_kind.h"
#include "input/record_file.h"
#include "input/status.h"

namespace quillmore::input {

inline constexpr std::size_t kIndexRecordLength = 25;

struct IndexEntry {
  std::string name;  // 7 bytes as stored (blank-padded; NULs past the end of the file)
  std::int32_t ingestionStart = 0;   // 0: no ingestion data
  std::int32_t inhalationStart = 0;  // 0: no inhalation data

  // The start record in the dose-rate file of `kind`.
  std::int32_t StartFor(DataKind kind) const {
    return kind == DataKind::kInhalation ? inhalationStart : ingestionStart;
  }
};

// Decodes one index record (positions 1-7 name, 8-15 and 16-23 numeric).
IndexEntry DecodeIndexEntry(std::string_view record);

class DataIndex {
 public:
  // Opens the index read-only; a missing or unreadable file is an error.
  Status Open(const std::filesystem::path& path);
  // Reads the index from `bytes` instead, named as the index file in messages.
  Status OpenBytes(std::string_view bytes);

  // Record numbers of the first and last entry, from record 2 (0 when blank).
  std::int32_t FirstEntry();
  std::int32_t LastEntry();

  // Binary search for the 7-character key: returns the record number of the
  // entry whose name equals it byte for byte, or 0. Every probed record
  // number is appended to `probes` when given. After a hit, Entry() is the
  // found entry.
  std::int32_t FindNuclide(std::string_view key, std::vector<std::int32_t>* probes = nullptr);

  // The entry in the record last read.
  const IndexEntry& Entry() const { return entry_; }
  // Reads and decodes entry record `recordNumber`.
  const IndexEntry& ReadEntry(std::int32_t recordNumber);

  RecordFile& File() { return file_; }

 private:
  RecordFile file_;
  IndexEntry entry_;
};

}  // namespace quillmore::input
