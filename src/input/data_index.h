// The data-set index "DoseInd.NDX": 25-byte records, entries sorted by name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "input/data_kind.h"
#include "input/record_file.h"

namespace quillmore::input {

inline constexpr std::size_t kIndexRecordLength = 25;
inline constexpr std::int32_t kFirstEntryRecord = 3;  // records 1 and 2: title and range

struct IndexEntry {
  std::string name;  // 7 bytes as stored (blank-padded; NULs past the end of the file)
  std::int32_t ingestionStart = 0;   // 0: no ingestion data
  std::int32_t inhalationStart = 0;  // 0: no inhalation data

  // The start record in the dose-rate file of `kind`.
  std::int32_t startFor(DataKind kind) const {
    return kind == DataKind::kInhalation ? inhalationStart : ingestionStart;
  }
};

// Ok when records `first` to `last` (from record 2) can hold the entries of an
// index of `records` records; otherwise Corruption saying what is wrong, naming
// the field but not the file.
base::Status CheckEntryRange(std::int32_t first, std::int32_t last, std::int64_t records);

class DataIndex {
 public:
  // Opens the index read-only; a missing or unreadable file is an error. So is
  // a record 2 whose first or last entry (positions 1-4, 5-8) is not a record
  // of the file from 3 on, with the last not before the first: a Corruption
  // naming the field, after which the index stays open with no entries.
  base::Status Open(const std::filesystem::path& path);
  // Reads the index from `bytes` instead, named as the index file in messages.
  base::Status OpenBytes(std::string_view bytes);

  // Record numbers of the first and last entry, as checked by Open (an empty
  // range, first after last, when they could not be used).
  std::int32_t firstEntry() const { return firstEntry_; }
  std::int32_t lastEntry() const { return lastEntry_; }

  // Binary search for the 7-character key: returns the record number of the
  // entry whose name equals it byte for byte, or 0. Every probed record
  // number is appended to `probes` when given. After a hit, entry() is the
  // found entry.
  std::int32_t FindNuclide(std::string_view key, std::vector<std::int32_t>* probes = nullptr);

  // The entry in the record last read.
  const IndexEntry& entry() const { return entry_; }
  // Reads and decodes entry record `recordNumber`.
  const IndexEntry& ReadEntry(std::int32_t recordNumber);

  RecordFile& file() { return file_; }

 private:
  // After opening with `opened`, takes the first and last entry from record 2
  // as Open describes.
  base::Status ReadEntryRange(base::Status opened);

  RecordFile file_;
  IndexEntry entry_;
  std::int32_t firstEntry_ = kFirstEntryRecord;
  std::int32_t lastEntry_ = kFirstEntryRecord - 1;
};

}  // namespace quillmore::input
