// Builders that write valid index and dose-rate files (exact record lengths,
// CR LF) for tests of every subsystem.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "input/data_kind.h"
#include "input/dose_rate_file.h"

namespace quillmore::testing {

// `text` left-aligned and blank-padded (or cut) to `width` characters.
std::string LeftField(std::string_view text, std::size_t width);
// `text` right-aligned in `width` characters.
std::string RightField(std::string_view text, std::size_t width);
// A record of `content` blank-padded to recordLength - 2, then CR LF.
std::string Record(std::string_view content, std::size_t recordLength);

struct IndexRow {
  std::string name;  // padded to 7
  std::int32_t ingestionStart = 0;
  std::int32_t inhalationStart = 0;
};

// An index file: record 1 a title, record 2 first/last entry, then the rows in
// the order given (keep them sorted unless a test wants otherwise).
std::string IndexFileBytes(const std::vector<IndexRow>& rows);
std::string IndexRecord(const IndexRow& row);

// One block as it is written to a dose-rate file.
struct BlockSpec {
  std::string name;  // padded to 7
  std::int32_t ageDays = 7300;
  char classCode = 'F';             // inhalation layout
  std::string f1Text = "1.0E+00 ";  // ingestion layout
  char letLetter = 'L';
  // Header values; when left at -1, taken from times.size() and the LET letter.
  std::int32_t timePointCount = -1;
  std::int32_t recordsPerPoint = -1;
  std::vector<double> times;
  // One row of 29 rates per time point; highRates is used for "B" blocks
  // (the second record of each point).
  std::vector<std::array<double, input::kRegionColumnCount>> rates;
  std::vector<std::array<double, input::kRegionColumnCount>> highRates;
};

std::string BlockHeaderRecord(const BlockSpec& block, input::DataKind kind);
// A rate record: time in positions 1-9, 29 rates of 10 characters each.
std::string RateRecordText(double time, const std::array<double, input::kRegionColumnCount>& rates);

// A dose-rate file: record 1 a title, record 2 the headings, then blocks.
class DoseRateFileBuilder {
 public:
  explicit DoseRateFileBuilder(input::DataKind kind);
  // Headings of the 29 columns (default "Region 1" ... "Region 29").
  DoseRateFileBuilder& Headings(const std::array<std::string, input::kRegionColumnCount>& headings);
  // Appends a block and returns the record number of its header.
  std::int32_t AddBlock(const BlockSpec& block);
  // Appends a raw record (content padded to 299 characters and CR LF).
  std::int32_t AddRawRecord(std::string_view content);
  // Record number the next block's header will get.
  std::int32_t NextRecordNumber() const;
  std::string Bytes() const;
  void WriteTo(const std::filesystem::path& path) const;

 private:
  input::DataKind kind_;
  std::string title_;
  std::array<std::string, input::kRegionColumnCount> headings_;
  std::vector<std::string> records_;  // from record 3 on
};

// Rates for one time point: region k gets value * k.
std::array<double, input::kRegionColumnCount> ScaledRates(double value);

}  // namespace quillmore::testing
