#include "output/table_writer.h"

#include <algorithm>
#include <array>

#include "output/number_mask.h"

namespace quillmore::output {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kUnitsPerRegion = "  low      high    ";

std::string_view RegionName(std::span<const std::string> regionNames, int regionNumber) {
  if (regionNumber < 1 || input::RegionIndex(regionNumber) >= regionNames.size()) return {};
  return regionNames[input::RegionIndex(regionNumber)];
}

// The time and every region's (low, high) pair of integration time `k`.
void AppendNumbers(const integration::CoefficientTable& table, double timeDays, int k,
                   std::string& out) {
  // The tables show single-precision values, rounded to nearest.
  // Parsed once for the whole run: a table has thousands of fields.
  static const ParsedMask timeMask(kTimeMask);
  static const ParsedMask pairMask(kPairMask);
  const float time = static_cast<float>(timeDays);
  timeMask.Append(std::span<const float>(&time, 1), out);
  for (int j = 0; j < table.regionCount(); ++j) {
    const std::array<float, 2> pair{static_cast<float>(table.at(integration::kLowLet, j, k)),
                                    static_cast<float>(table.at(integration::kHighLet, j, k))};
    pairMask.Append(pair, out);
  }
}

int RowCount(const integration::CoefficientTable& table, std::span<const double> times) {
  return std::min(table.timeCount(), static_cast<int>(times.size()));
}

// Rows 2 onwards: the blank prefix stands where the first row has its name.
void AppendFollowingRows(const integration::CoefficientTable& table, std::span<const double> times,
                         std::size_t prefixWidth, std::string& out) {
  for (int k = 1; k < RowCount(table, times); ++k) {
    out.append(prefixWidth, ' ');
    AppendNumbers(table, times[static_cast<std::size_t>(k)], k, out);
    out += kLineEnd;
  }
}

}  // namespace

std::string CenterText(std::string_view text, std::size_t width) {
  const std::size_t firstNonBlank = std::min(text.find_first_not_of(' '), text.size());
  if (text.size() - firstNonBlank >= width) return std::string(text.substr(0, width));
  // Only text with leading blanks can still be longer than the field here.
  std::string result(text.size() < width ? (width - text.size()) / 2 : 0, ' ');
  result += text;
  result.resize(width, ' ');
  return result;
}

void WriteTableHeaders(std::string_view ageLabel, std::span<const std::string> regionNames,
                       std::span<const int> selectedRegions, input::DataKind kind,
                       std::string& out) {
  const input::DataSet& dataSet = input::DataSetOf(kind);
  out += dataSet.title;
  out += " Absorbed Dose Coefficients (Gy/Bq) For ";
  out += ageLabel;
  out += kLineEnd;

  // "Time" over the time's digits.
  out.append(dataSet.rowLabelWidth + 2, ' ');
  out += "Time ";
  for (const int region : selectedRegions) {
    out += CenterText(RegionName(regionNames, region), kRegionNameWidth);
    out += ' ';
  }
  out += kLineEnd;

  out += dataSet.unitsHeading;
  for (std::size_t j = 0; j < selectedRegions.size(); ++j) out += kUnitsPerRegion;
  out += kLineEnd;
}

void WriteInhalationRows(const integration::CoefficientTable& table,
                         std::span<const double> integrationTimes, const input::BlockHeader& header,
                         std::int32_t formNumber, std::string& out) {
  if (RowCount(table, integrationTimes) < 1) return;
  out += header.name;
  out += header.classCode;
  out += ' ';
  AppendNumbers(table, integrationTimes[0], 0, out);
  out += ' ';
  out += ChemicalFormLabel(header.name, formNumber);
  out += kLineEnd;
  AppendFollowingRows(table, integrationTimes,
                      input::DataSetOf(input::DataKind::kInhalation).rowLabelWidth, out);
}

void WriteIngestionRows(const integration::CoefficientTable& table,
                        std::span<const double> integrationTimes, const input::BlockHeader& header,
                        std::string& out) {
  if (RowCount(table, integrationTimes) < 1) return;
  out += header.name;
  out += header.f1Text;
  AppendNumbers(table, integrationTimes[0], 0, out);
  out += kLineEnd;
  AppendFollowingRows(table, integrationTimes,
                      input::DataSetOf(input::DataKind::kIngestion).rowLabelWidth, out);
}

}  // namespace quillmore::output
