#include "support/data_builder.h"

#include <cstdio>

#include "support/temp_dir.h"

namespace quillmore::testing {

using input::DataKind;
using input::kDoseRateRecordLength;
using input::kRegionColumnCount;

std::string LeftField(std::string_view text, std::size_t width) {
  std::string field(text.substr(0, width));
  field.resize(width, ' ');
  return field;
}

std::string RightField(std::string_view text, std::size_t width) {
  if (text.size() >= width) return std::string(text.substr(0, width));
  return std::string(width - text.size(), ' ') + std::string(text);
}

std::string Record(std::string_view content, std::size_t recordLength) {
  return LeftField(content, recordLength - 2) + "\r\n";
}

std::string IndexRecord(const IndexRow& row) {
  return Record(LeftField(row.name, 7) + RightField(std::to_string(row.ingestionStart), 8) +
                    RightField(std::to_string(row.inhalationStart), 8),
                25);
}

std::string IndexFileBytes(const std::vector<IndexRow>& rows) {
  const int first = 3;
  const int last = first + static_cast<int>(rows.size()) - 1;
  std::string bytes = Record("Quillmore test index", 25);
  bytes += Record(RightField(std::to_string(first), 4) + RightField(std::to_string(last), 4), 25);
  for (const IndexRow& row : rows) bytes += IndexRecord(row);
  return bytes;
}

namespace {

std::string Number(double value, const char* format) {
  char text[40];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::int32_t PointCount(const BlockSpec& block) {
  return block.timePointCount >= 0 ? block.timePointCount
                                   : static_cast<std::int32_t>(block.times.size());
}

std::int32_t PerPoint(const BlockSpec& block) {
  if (block.recordsPerPoint >= 0) return block.recordsPerPoint;
  return block.letLetter == 'B' ? 2 : 1;
}

}  // namespace

std::string BlockHeaderRecord(const BlockSpec& block, DataKind kind) {
  std::string text = LeftField(block.name, 7) + RightField(std::to_string(block.ageDays), 5);
  if (kind == DataKind::kInhalation)
    text += std::string(6, ' ') + block.classCode;  // 13-19
  else
    text += LeftField(block.f1Text, 8);                            // 13-20
  if (kind == DataKind::kInhalation) text += std::string(8, ' ');  // 20-27
  text += RightField(std::to_string(PointCount(block)), 4);
  text += RightField(std::to_string(PerPoint(block)), 2);
  text += ' ';
  text += block.letLetter;
  return Record(text, kDoseRateRecordLength);
}

std::string RateRecordText(double time, const std::array<double, kRegionColumnCount>& rates) {
  std::string text = RightField(Number(time, "%.3E"), 9);
  for (double rate : rates) text += RightField(Number(rate, "%.3E"), 10);
  return Record(text, kDoseRateRecordLength);
}

std::array<double, kRegionColumnCount> ScaledRates(double value) {
  std::array<double, kRegionColumnCount> rates{};
  for (int k = 0; k < kRegionColumnCount; ++k) rates[static_cast<std::size_t>(k)] = value * (k + 1);
  return rates;
}

DoseRateFileBuilder::DoseRateFileBuilder(DataKind kind)
    : kind_(kind),
      title_(kind == DataKind::kInhalation ? "Quillmore test inhalation dose rates"
                                           : "Quillmore test ingestion dose rates") {
  for (int k = 0; k < kRegionColumnCount; ++k) {
    headings_[static_cast<std::size_t>(k)] = "Region " + std::to_string(k + 1);
  }
}

DoseRateFileBuilder& DoseRateFileBuilder::Headings(
    const std::array<std::string, kRegionColumnCount>& headings) {
  headings_ = headings;
  return *this;
}

std::int32_t DoseRateFileBuilder::NextRecordNumber() const {
  return static_cast<std::int32_t>(records_.size()) + 3;
}

std::int32_t DoseRateFileBuilder::AddRawRecord(std::string_view content) {
  const std::int32_t number = NextRecordNumber();
  records_.push_back(Record(content, kDoseRateRecordLength));
  return number;
}

std::int32_t DoseRateFileBuilder::AddBlock(const BlockSpec& block) {
  const std::int32_t header = NextRecordNumber();
  records_.push_back(BlockHeaderRecord(block, kind_));
  for (std::size_t i = 0; i < block.times.size(); ++i) {
    records_.push_back(RateRecordText(block.times[i], block.rates.at(i)));
    if (block.letLetter == 'B') {
      records_.push_back(RateRecordText(block.times[i], block.highRates.at(i)));
    }
  }
  return header;
}

std::string DoseRateFileBuilder::Bytes() const {
  std::string bytes = Record(title_, kDoseRateRecordLength);
  std::string headings(9, ' ');
  for (const std::string& heading : headings_) headings += LeftField(heading, 10);
  bytes += Record(headings, kDoseRateRecordLength);
  for (const std::string& record : records_) bytes += record;
  return bytes;
}

void DoseRateFileBuilder::WriteTo(const std::filesystem::path& path) const {
  WriteFile(path, Bytes());
}

}  // namespace quillmore::testing
