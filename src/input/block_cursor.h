// The one way through the blocks of a dose-rate file: from a start record,
// header after header, each block's extent checked before its rate records
// are read or skipped. The tables' walk and the data check both go through it.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/status.h"
#include "input/data_kind.h"
#include "input/dose_rate_file.h"

namespace quillmore::input {

// What hides where a block's rate records end, each fault worded here alone.
// A walk that reads on stops at the first; the data check lists them all.
struct BlockExtent {
  // The LET letter and the records per point disagree: blocks are skipped by
  // the one and read by the other.
  base::Status recordsPerPoint;
  // The time-point count is negative.
  base::Status timePointCount;
  // The file ends before the block's last rate record, which would read as NULs.
  base::Status inFile;

  bool ok() const { return recordsPerPoint.ok() && timePointCount.ok() && inFile.ok(); }
  // The first fault in the order above, or Ok.
  const base::Status& first() const;
};

class BlockCursor {
 public:
  BlockCursor(DoseRateFile& file, DataKind kind) : file_(file), kind_(kind) {}

  // Makes `startRecord` the record of the next header.
  void PositionAt(std::int32_t startRecord) { file_.PositionAt(startRecord); }
  // Reads the next header; false when it lies past the end of the file.
  bool Next();
  // Reads the next header unless the last read ended the file; false then, or
  // when the header is of another nuclide than `name` (7 characters, as in the index).
  bool NextOf(std::string_view name);

  const BlockHeader& header() const { return header_; }
  std::int64_t headerRecord() const { return headerRecord_; }
  // The extent of the block of the header last read.
  BlockExtent Extent() const;
  // Skips the rate records of that block as its LET letter counts them.
  void Skip() { file_.SkipRecords(header_.RecordsToSkip()); }

  DoseRateFile& file() { return file_; }

 private:
  DoseRateFile& file_;
  DataKind kind_;
  BlockHeader header_;
  std::int64_t headerRecord_ = 0;
};

}  // namespace quillmore::input
