// Long-form CSV: one file per nuclide and data set, "<nuclide>_<H|G>.csv",
// one row per age group, form, period and region, numbers at full precision.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "output/file_writer.h"
#include "output/table_sink.h"
#include "output/written_files.h"

namespace quillmore::output {

// The shortest text that reads back to `value` ("1.5e-10", "365"); "inf",
// "-inf" and "nan" for the non-finite values.
void AppendShortestNumber(double value, std::string& out);
// Room for any double's shortest text ("-2.2250738585072014e-308" is 24).
inline constexpr std::size_t kNumberRoom = 32;
// The same text written at `at` (kNumberRoom bytes); returns its end.
char* PutShortestNumber(double value, char* at);

// `field` as one CSV field: enclosed in double quotes, its quotes doubled,
// when it holds a comma, a quote, CR or LF.
void AppendCsvField(std::string_view field, std::string& out);

class CsvSink final : public TableSink {
 public:
  // With Compression::kGzip each file is "<nuclide>_<H|G>.csv.gz".
  CsvSink(std::filesystem::path folder, WrittenFiles* written,
          Compression compression = Compression::kNone);

  base::Status Begin(const NuclideTables& tables) override;
  base::Status Add(const RowGroup& group) override;
  base::Status End(std::span<const RunMessage> messages) override;

 private:
  NuclideFile file_;
  WrittenFiles* written_;
  Compression compression_;
  NuclideTables tables_;
  // Buffers keep their capacity from nuclide to nuclide, so a run does not
  // allocate and fault in fresh pages for every file.
  std::vector<std::string> rows_;         // per table: rows follow the age groups, not the file
  std::vector<std::string> periodTexts_;  // each integration time's field
  std::vector<std::string> regionTexts_;  // per selected region: ",region,name,"
  std::string row_;                       // one row, put together
};

}  // namespace quillmore::output
