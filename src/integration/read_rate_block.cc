#include "integration/read_rate_block.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "integration/lung_weights.h"

namespace quillmore::integration {

namespace {

// Only the selected columns are decoded, each once per record: a block may
// have 150 points x 2 records, most runs select few regions, and with every
// region selected the lung's four columns serve twice.
class RecordColumns {
 public:
  explicit RecordColumns(std::string_view record) : record_(record) {}

  double Rate(int regionNumber) {
    if (regionNumber < 1 || regionNumber > input::kRegionColumnCount) return 0;
    const std::size_t i = input::RegionIndex(regionNumber);
    const std::uint32_t bit = std::uint32_t{1} << i;
    if ((decoded_ & bit) == 0) {
      rates_[i] = input::RateRecordRate(record_, regionNumber);
      decoded_ |= bit;
    }
    return rates_[i];
  }

 private:
  std::string_view record_;
  std::array<double, input::kRegionColumnCount> rates_{};
  std::uint32_t decoded_ = 0;  // bit i: rates_[i] holds column i + 1
  static_assert(input::kRegionColumnCount <= 32);
};

double RegionRate(RecordColumns& columns, int regionNumber) {
  if (regionNumber != input::kLungRegion) return columns.Rate(regionNumber);
  return LungRate({columns.Rate(kLungFirstColumn), columns.Rate(kLungFirstColumn + 1),
                   columns.Rate(kLungFirstColumn + 2), columns.Rate(kLungFirstColumn + 3)});
}

// Stores the record's rates as `component` at time point `point`; returns its time.
double ReadRecordInto(input::DoseRateFile& file, std::span<const int> selectedRegions,
                      int component, int point, RateTable& rates) {
  const std::string_view record = file.ReadNextRecord();
  RecordColumns columns(record);
  for (std::size_t j = 0; j < selectedRegions.size(); ++j) {
    rates.at(component, static_cast<int>(j), point) = RegionRate(columns, selectedRegions[j]);
  }
  return input::RateRecordTime(record);
}

// Ok for a header whose block fits the tables; a message is built only on a
// fault, so a valid block allocates nothing.
base::Status CheckHeader(const input::BlockHeader& header, std::int64_t headerRecord) {
  std::string fault;
  if (header.timePointCount < 0 || header.timePointCount > input::kMaxTimePoints) {
    fault = "time-point count " + std::to_string(header.timePointCount) + " is outside 0 to " +
            std::to_string(input::kMaxTimePoints);
  } else if (header.recordsPerPoint != 1 && header.recordsPerPoint != 2) {
    fault =
        "records per time point " + std::to_string(header.recordsPerPoint) + " is neither 1 nor 2";
  } else {
    return base::Status::Ok();
  }
  return base::Status::Corruption(fault + " (block header at record " +
                                  std::to_string(headerRecord) + ")");
}

}  // namespace

base::Status ReadRateBlock(input::DoseRateFile& file, const input::BlockHeader& header,
                           std::span<const int> selectedRegions, TimeGrid& timeGrid,
                           RateTable& rates) {
  const int regionCount = static_cast<int>(selectedRegions.size());
  timeGrid.SetCount(0);
  base::Status fault = CheckHeader(header, file.lastRecordNumber());
  if (!fault.ok()) {
    rates.Reset(regionCount, 0);
    // Skip exactly what the block walk would, so the next header is found.
    if (header.timePointCount > 0) file.SkipRecords(header.RecordsToSkip());
    return fault;
  }

  const int pointCount = header.timePointCount;
  rates.Reset(regionCount, pointCount);
  const bool pairs = header.recordsPerPoint == 2;
  const int firstComponent = pairs || header.letLetter == input::kLowLetLetter ? kLowLet : kHighLet;
  std::int64_t badRecord = 0;
  for (int i = 0; i < pointCount; ++i) {
    double time = ReadRecordInto(file, selectedRegions, firstComponent, i, rates);
    if (pairs) time = ReadRecordInto(file, selectedRegions, kHighLet, i, rates);
    timeGrid.at(i) = time;
    if (i > 0 && badRecord == 0 && !(timeGrid.at(i - 1) < time)) {
      badRecord = file.lastRecordNumber();
    }
  }
  if (badRecord != 0) {
    rates.Reset(regionCount, pointCount);
    return base::Status::Corruption("time points not strictly increasing at record " +
                                    std::to_string(badRecord));
  }
  timeGrid.SetCount(pointCount);
  return base::Status::Ok();
}

}  // namespace quillmore::integration
