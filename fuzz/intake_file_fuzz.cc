// The intake file of quillmore-batch --intakes from memory: the CSV reader
// against a round trip through the CSV writer, every row it accepts against
// the rules it states, and the split of each row by age group.
#include <cmath>
#include <string>

#include "fuzz_support.h"
#include "input/csv_reader.h"
#include "input/intake_file.h"
#include "output/csv_sink.h"

namespace {

using namespace quillmore;

// Records written back as CSV read to the same fields.
void CheckRoundTrip(const input::CsvText& csv) {
  // A mark the reader skipped goes first again, so that one at the start of
  // the first field stays in it.
  std::string text = "\xEF\xBB\xBF";
  for (const input::CsvRecord& record : csv.records) {
    for (std::size_t i = 0; i < record.fields.size(); ++i) {
      if (i > 0) text += ',';
      // An empty lone field would make a blank line, which the reader skips.
      if (record.fields.size() == 1 && record.fields[0].empty()) text += "\"\"";
      output::AppendCsvField(record.fields[i], text);
    }
    text += '\n';
  }
  const input::CsvText again = input::ReadCsv(text);
  fuzz::Check(!again.stop, "written records read back without a fault");
  fuzz::Check(again.records.size() == csv.records.size(), "as many records");
  for (std::size_t r = 0; r < csv.records.size(); ++r) {
    fuzz::Check(again.records[r].fields == csv.records[r].fields, "the same fields");
  }
}

void CheckRow(const input::IntakeRow& row) {
  fuzz::Check(!row.person.empty() && !row.nuclide.empty() && !row.form.empty(), "fields given");
  fuzz::Check(std::isfinite(row.activityBq) && row.activityBq > 0, "activity positive, finite");
  fuzz::Check(row.start >= row.birthDate, "no intake before birth");
  fuzz::Check(!row.end || *row.end > row.start, "end after start");
  fuzz::Check(
      !row.followUpEnd || (*row.followUpEnd > row.birthDate && *row.followUpEnd > row.start),
      "follow-up ends after birth and start");
  const auto parts = input::SplitByAgeGroup(row.birthDate, row.start, row.end);
  input::Days at = row.start;
  int group = 0;
  for (const input::IntakePart& part : parts) {
    fuzz::Check(part.start == at && part.ageGroup > group, "parts follow, groups rise");
    fuzz::Check(!part.end == !row.end, "acute stays acute");
    if (part.end) at = *part.end;
    group = part.ageGroup;
  }
  fuzz::Check(!row.end || at == *row.end, "the parts end where the intake does");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::AsText(data, size);
  const input::CsvText csv = input::ReadCsv(text);
  CheckRoundTrip(csv);
  const input::IntakeFile file = input::ReadIntakeFile(text);
  fuzz::Check(!file.faults.empty() || !file.rows.empty(), "rows or faults");
  for (const input::IntakeRow& row : file.rows) CheckRow(row);
  for (const input::Fault& fault : file.faults) {
    fuzz::Check(fault.line >= 0 && !fault.message.empty(), "faults say where and what");
  }
  return 0;
}
