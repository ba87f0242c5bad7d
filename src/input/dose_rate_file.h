// The dose-rate files "TQV27INH2.DRT" and "TQV27ING2.DRT": 301-byte records;
// record 2 heads the 29 region columns; from record 3 on, blocks of one
// BlockHeader followed by its rate records.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/status.h"
#include "input/data_kind.h"
#include "input/let_letter.h"
#include "input/record_file.h"

namespace quillmore::input {

inline constexpr std::size_t kDoseRateRecordLength = 301;
inline constexpr int kRegionColumnCount = 29;  // region columns of the file
inline constexpr int kLungRegion = 30;         // composite of columns 15 to 18
inline constexpr int kMaxTimePoints = 150;     // time points a block may hold

// Region numbers count from 1 (1-29 columns, 30 Lung); containers from 0.
// This is the one place that maps between them.
inline std::size_t RegionIndex(int regionNumber) {
  return static_cast<std::size_t>(regionNumber - 1);
}

struct BlockHeader {
  std::string name;  // 7 characters, as in the index
  std::int32_t ageDays = 0;
  std::int32_t timePointCount = 0;   // N
  std::int32_t recordsPerPoint = 0;  // P: 1 or 2 in valid data
  char letLetter = '\0';             // 'L', 'H' or 'B'
  char classCode = '\0';             // inhalation: absorption class
  std::string f1Text;                // ingestion: 8 characters

  // Rate records of the block as the block walk skips them: 2N for "B", N otherwise.
  std::int64_t RecordsToSkip() const {
    return RecordsPerPointOf(letLetter) * static_cast<std::int64_t>(timePointCount);
  }
};

// Decodes a header record with the layout of `kind`.
BlockHeader DecodeBlockHeader(std::string_view record, DataKind kind);

// A rate record: time in days (positions 1-9) and 29 rates in Gy/Bq per day.
struct RateRecord {
  double timeDays = 0;
  std::array<double, kRegionColumnCount> rates{};
};
RateRecord DecodeRateRecord(std::string_view record);
// Single fields of a rate record, for readers that need only a few columns.
double RateRecordTime(std::string_view record);
double RateRecordRate(std::string_view record, int regionNumber);  // region 1 to 29

class DoseRateFile {
 public:
  // Opens read-only; a missing or unreadable file is an error naming it.
  base::Status Open(const std::filesystem::path& path);
  // Reads the records from `bytes` instead, named `name` in messages.
  base::Status OpenBytes(std::string_view bytes, const std::filesystem::path& name);

  // The 29 region headings of record 2, 10 characters each as stored.
  std::array<std::string, kRegionColumnCount> RegionHeadings();

  // Reads the next record and decodes it as a header of `kind`.
  BlockHeader ReadBlockHeader(DataKind kind);
  // Reads the next record (a rate record of the current block).
  std::string_view ReadNextRecord() { return file_.ReadNextRecord(); }
  void SkipRecords(std::int64_t count) { file_.SkipRecords(count); }
  // Makes `startRecord` the next record by reading record startRecord - 1.
  void PositionAt(std::int32_t startRecord) { file_.ReadRecord(startRecord - 1); }

  bool atEnd() const { return file_.atEnd(); }
  std::int64_t lastRecordNumber() const { return file_.lastRecordNumber(); }
  std::int64_t recordCount() const { return file_.recordCount(); }
  RecordFile& file() { return file_; }

  // Corruption naming the last whole record when the file ends before the
  // last rate record of the block whose header is `headerRecord`: a file cut
  // short would otherwise read its missing records as NULs.
  base::Status CheckBlockInFile(const BlockHeader& header, std::int64_t headerRecord) const;

 private:
  RecordFile file_;
};

}  // namespace quillmore::input
