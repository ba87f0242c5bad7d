#include "input/dose_rate_file.h"

#include "input/nuclide_name.h"
#include "input/numeric_field.h"

namespace quillmore::input {
namespace {

// Characters `first` to `first + length - 1` (counted from 1) of a record;
// whatever lies beyond a short record is simply absent.
std::string_view Field(std::string_view record, std::size_t first, std::size_t length) {
  if (first - 1 >= record.size()) return {};
  return record.substr(first - 1, length);
}

char Letter(std::string_view record, std::size_t position) {
  return position - 1 < record.size() ? record[position - 1] : '\0';
}

// The 10-character heading of region column `regionNumber` (1 to 29) in record 2.
std::string_view RegionHeading(std::string_view record2, int regionNumber) {
  return Field(record2, 10 + 10 * RegionIndex(regionNumber), 10);
}

}  // namespace

BlockHeader DecodeBlockHeader(std::string_view record, DataKind kind) {
  BlockHeader header;
  header.name = std::string(Field(record, 1, kNuclideNameWidth));
  header.ageDays = ReadInteger(Field(record, 8, 5));
  const HeaderLayout& layout = DataSetOf(kind).header;
  if (layout.classCode != 0) header.classCode = Letter(record, layout.classCode);
  if (layout.f1Text != 0) header.f1Text = std::string(Field(record, layout.f1Text, 8));
  header.timePointCount = ReadInteger(Field(record, layout.timePointCount, 4));
  header.recordsPerPoint = ReadInteger(Field(record, layout.recordsPerPoint, 2));
  header.letLetter = Letter(record, layout.letLetter);
  return header;
}

double RateRecordTime(std::string_view record) {
  return ReadDouble(Field(record, 1, 9));
}

double RateRecordRate(std::string_view record, int regionNumber) {
  return ReadDouble(RegionHeading(record, regionNumber));
}

RateRecord DecodeRateRecord(std::string_view record) {
  RateRecord rate;
  rate.timeDays = RateRecordTime(record);
  for (int k = 1; k <= kRegionColumnCount; ++k) {
    rate.rates[RegionIndex(k)] = RateRecordRate(record, k);
  }
  return rate;
}

base::Status DoseRateFile::Open(const std::filesystem::path& path) {
  return file_.Open(path, kDoseRateRecordLength);
}

base::Status DoseRateFile::OpenBytes(std::string_view bytes, const std::filesystem::path& name) {
  return file_.OpenBytes(bytes, kDoseRateRecordLength, name);
}

std::array<std::string, kRegionColumnCount> DoseRateFile::RegionHeadings() {
  const std::string_view record2 = file_.ReadRecord(2);
  std::array<std::string, kRegionColumnCount> headings;
  for (int k = 1; k <= kRegionColumnCount; ++k) {
    headings[RegionIndex(k)] = std::string(RegionHeading(record2, k));
  }
  return headings;
}

BlockHeader DoseRateFile::ReadBlockHeader(DataKind kind) {
  return DecodeBlockHeader(file_.ReadNextRecord(), kind);
}

base::Status DoseRateFile::CheckBlockInFile(const BlockHeader& header,
                                            std::int64_t headerRecord) const {
  const auto wholeRecords = static_cast<std::int64_t>(file_.byteCount() / kDoseRateRecordLength);
  const std::int64_t lastRecord = headerRecord + header.RecordsToSkip();
  if (lastRecord <= wholeRecords) return base::Status::Ok();
  return base::Status::Corruption("the file ends inside this block: it holds records to " +
                                  std::to_string(wholeRecords) + ", the block runs to record " +
                                  std::to_string(lastRecord));
}

}  // namespace quillmore::input
