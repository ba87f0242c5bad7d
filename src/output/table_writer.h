// The coefficient tables: three header lines per output file, then one row
// group per processed block. Lines are single-byte text ending in CR LF; every
// region takes 19 characters in every line. The writers append to a caller's
// text so that a whole row group can go to its file in one write.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "input/data_kind.h"
#include "input/dose_rate_file.h"
#include "integration/coefficient_table.h"
#include "output/form_name.h"

namespace quillmore::output {

inline constexpr std::string_view kTimeMask = "##.#^^^^";             // 8 characters
inline constexpr std::string_view kPairMask = "##.##^^^^##.##^^^^ ";  // low, high: 19
inline constexpr std::size_t kRegionNameWidth = 18;

// `text` centred in exactly `width` characters, the odd blank to the right.
// When `text` without its leading blanks is at least `width` long, its first
// `width` characters. "Lung" in 18: 7 blanks, Lung, 7 blanks.
std::string CenterText(std::string_view text, std::size_t width);

// Appends the three header lines of one table: `ageLabel` (8 characters, for
// example "10 y-old"), the regions `selectedRegions` (region numbers 1 to 30,
// in list order) named by `regionNames` (index = region number - 1; a number
// outside it prints a blank name), the inhalation or ingestion form by `kind`.
void WriteTableHeaders(std::string_view ageLabel, std::span<const std::string> regionNames,
                       std::span<const int> selectedRegions, input::DataKind kind,
                       std::string& out);

// Appends the row group of one inhalation block: one row per integration time
// (times in days, coefficients in Gy/Bq, each rendered in single precision),
// the first row headed by the block's name and class code and ending in a
// blank and the chemical-form label of `formNumber`. Rows cover the first
// min(table.timeCount(), integrationTimes.size()) times and table.regionCount()
// selection positions.
void WriteInhalationRows(const integration::CoefficientTable& table,
                         std::span<const double> integrationTimes, const input::BlockHeader& header,
                         std::int32_t formNumber, std::string& out);

// Appends the row group of one ingestion block: as above, the first row headed
// by the block's name and its 8-character f1 text, no label.
void WriteIngestionRows(const integration::CoefficientTable& table,
                        std::span<const double> integrationTimes, const input::BlockHeader& header,
                        std::string& out);

}  // namespace quillmore::output
