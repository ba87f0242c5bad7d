#include "sample_data/sample_data.h"

#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include "input/data_index.h"
#include "input/data_kind.h"
#include "sample_data/dose_rate_writer.h"
#include "sample_data/nuclide_catalog.h"
#include "sample_data/record_fields.h"
#include "sample_data/record_sink.h"

namespace quillmore::tools {
namespace {

using base::Status;
using input::DataKind;
using input::kIndexRecordLength;

// The index's record 2 gives the last entry in four places.
constexpr int kMaxIndexRecord = 9999;
constexpr int kFirstEntryRecord = 3;

std::string IndexRecord(std::string_view content) {
  std::string record(kIndexRecordLength, ' ');
  record.replace(0, content.size() < 23 ? content.size() : 23, content.substr(0, 23));
  record[23] = '\r';
  record[24] = '\n';
  return record;
}

std::string StartField(std::int32_t start, bool blankWhenZero) {
  char field[8];
  if (start == 0 && blankWhenZero) return std::string(8, ' ');
  WriteIntegerField(start, 8, false, field);
  return std::string(field, 8);
}

Status WriteIndexFile(const std::vector<NuclidePlan>& nuclides,
                      const std::vector<std::int32_t>& ingestionStarts,
                      const std::vector<std::int32_t>& inhalationStarts,
                      const std::filesystem::path& path) {
  RecordSink sink;
  if (Status status = sink.Open(path); !status.ok()) return status;
  sink.Append(IndexRecord("Quillmore sample index"));
  char range[8];
  const auto last = static_cast<long long>(kFirstEntryRecord + nuclides.size() - 1);
  WriteIntegerField(kFirstEntryRecord, 4, false, range);
  WriteIntegerField(last, 4, false, range + 4);
  sink.Append(IndexRecord(std::string(range, 8) + " first, last"));
  for (std::size_t n = 0; n < nuclides.size(); ++n) {
    // A missing ingestion start is written as 0, a missing inhalation start as
    // blanks: both mean "no data" and both occur in real files.
    sink.Append(IndexRecord(nuclides[n].name + StartField(ingestionStarts[n], false) +
                            StartField(inhalationStarts[n], true)));
  }
  return sink.Close();
}

Status WriteTimesFile(const std::filesystem::path& path) {
  std::string text = "; Quillmore integration times in days after intake, one a line\r\nSTART\r\n";
  for (const double days : kSampleIntegrationTimesDays) {
    char line[32];
    std::snprintf(line, sizeof line, "%.0f\r\n", days);
    text += line;
  }
  text += "END\r\n";
  RecordSink sink;
  if (Status status = sink.Open(path); !status.ok()) return status;
  sink.Append(text);
  return sink.Close();
}

}  // namespace

Status GenerateSampleData(const SampleDataOptions& options, const std::filesystem::path& out) {
  if (options.nuclideCount < 0 || options.nuclideCount > kMaxSyntheticNuclides ||
      options.nuclideCount > kMaxIndexRecord - kFirstEntryRecord + 1) {
    return Status::InvalidArgument("nuclide count out of range: " +
                                   std::to_string(options.nuclideCount));
  }
  std::error_code error;
  std::filesystem::create_directories(out, error);
  if (error)
    return Status::IoError("cannot create folder " + out.string() + ": " + error.message());

  const std::vector<NuclidePlan> nuclides =
      options.nuclideCount == 0 ? DefaultNuclides()
                                : SyntheticNuclides(options.nuclideCount, options.seed);
  std::vector<std::int32_t> inhalationStarts;
  std::vector<std::int32_t> ingestionStarts;
  if (Status status = WriteDoseRateFile(
          DataKind::kInhalation, nuclides, options.seed,
          out / input::DataSetOf(DataKind::kInhalation).doseRateFileName, &inhalationStarts);
      !status.ok()) {
    return status;
  }
  if (Status status = WriteDoseRateFile(
          DataKind::kIngestion, nuclides, options.seed,
          out / input::DataSetOf(DataKind::kIngestion).doseRateFileName, &ingestionStarts);
      !status.ok()) {
    return status;
  }
  if (Status status =
          WriteIndexFile(nuclides, ingestionStarts, inhalationStarts, out / input::kIndexFileName);
      !status.ok()) {
    return status;
  }
  return WriteTimesFile(out / input::kTimesFileName);
}

}  // namespace quillmore::tools
