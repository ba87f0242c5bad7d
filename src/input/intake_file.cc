#include "input/intake_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <map>

#include "base/text.h"
#include "input/csv_reader.h"

namespace quillmore::input {
namespace {

constexpr std::size_t kColumnCount = std::size(kIntakeColumns);
enum Column {
  kPerson,
  kBirthDate,
  kNuclide,
  kIntake,
  kForm,
  kStart,
  kEnd,
  kActivity,
  kFollowUpEnd,
  kActivityGsd,
  kSex
};

constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);

// A column that may be left out: its fields then read as empty.
bool Optional(std::size_t column) {
  return column == kFollowUpEnd || column == kActivityGsd || column == kSex;
}

// Where each column stands in a row, from the header record.
using ColumnPositions = std::array<std::size_t, kColumnCount>;

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// Finds the columns in the header `names`, on line `line`.
bool FindColumns(int line, std::span<const std::string_view> names, ColumnPositions& at,
                 FaultList& faults) {
  at.fill(kAbsent);
  const std::size_t before = faults.size();
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string name = base::TrimBlanks(names[i]);
    std::size_t column = 0;
    while (column < kColumnCount && kIntakeColumns[column] != name) ++column;
    if (column == kColumnCount) {
      faults.Add(line, "unknown column " + Quoted(name));
    } else if (at[column] != kAbsent) {
      faults.Add(line, "column " + Quoted(name) + " appears twice");
    } else {
      at[column] = i;
    }
  }
  for (std::size_t column = 0; column < kColumnCount; ++column) {
    if (at[column] == kAbsent && !Optional(column)) {
      faults.Add(line, "column " + Quoted(kIntakeColumns[column]) + " is missing");
    }
  }
  return faults.size() == before;
}

// One row as text: its line and its fields in the order of kIntakeColumns.
struct RowFields {
  int line = 0;
  std::array<std::string_view, kColumnCount> fields;
};

// Reads the fields of one row; the first fault of each field is listed.
class RowReader {
 public:
  RowReader(const RowFields& record, FaultList& faults)
      : record_(record), faults_(faults), before_(faults.size()) {}

  bool ok() const { return faults_.size() == before_; }

  std::string Text(Column column, bool required = true) {
    std::string text = base::TrimBlanks(record_.fields[column]);
    if (required && text.empty()) Fault(column, "is empty");
    return text;
  }
  std::optional<Days> Date(Column column, bool required = true) {
    const std::string text = Text(column, required);
    if (text.empty()) return std::nullopt;
    std::optional<Days> date = ParseDate(text);
    if (!date) Fault(column, Quoted(text) + " is not a date (YYYY-MM-DD)");
    return date;
  }
  std::optional<DataKind> Kind() {
    const std::string text = Text(kIntake);
    if (const std::optional<DataKind> kind = FindDataSet(text)) return kind;
    if (!text.empty()) {
      Fault(kIntake,
            Quoted(base::AsciiLower(text)) + " is neither inhalation (h) nor ingestion (g)");
    }
    return std::nullopt;
  }
  double Activity() {
    const std::string text = Text(kActivity);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    const bool number = error == std::errc() && end == text.data() + text.size();
    if (!text.empty() && (!number || !std::isfinite(value) || !(value > 0))) {
      Fault(kActivity, Quoted(text) + " is not a positive finite number of Bq");
    }
    return value;
  }
  // 1 where empty.
  double Gsd() {
    const std::string text = Text(kActivityGsd, false);
    if (text.empty()) return 1;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    const bool number = error == std::errc() && end == text.data() + text.size();
    if (!number || !(value >= 1 && value <= kMaxActivityGsd)) {
      Fault(kActivityGsd, Quoted(text) + " is not a geometric standard deviation from 1 to 100");
      return 1;
    }
    return value;
  }
  std::optional<Sex> SexOf() {
    const std::string text = base::AsciiLower(Text(kSex, false));
    if (text.empty()) return std::nullopt;
    if (text == "female" || text == "f") return Sex::kFemale;
    if (text == "male" || text == "m") return Sex::kMale;
    Fault(kSex,
          Quoted(base::TrimBlanks(record_.fields[kSex])) + " is neither female (F) nor male (M)");
    return std::nullopt;
  }
  void Fault(Column column, const std::string& what) {
    faults_.Add(record_.line, "column " + Quoted(kIntakeColumns[column]) + ": " + what);
  }

 private:
  const RowFields& record_;
  FaultList& faults_;
  std::size_t before_;
};

// Reads one row into `row`; false when it has a fault.
bool ReadRow(const RowFields& record, IntakeRow& row, FaultList& faults) {
  RowReader reader(record, faults);
  row.line = record.line;
  row.person = reader.Text(kPerson);
  const std::optional<Days> birth = reader.Date(kBirthDate);
  row.nuclide = reader.Text(kNuclide);
  const std::optional<DataKind> kind = reader.Kind();
  row.form = reader.Text(kForm);
  const std::optional<Days> start = reader.Date(kStart);
  row.end = reader.Date(kEnd, false);
  row.activityBq = reader.Activity();
  row.followUpEnd = reader.Date(kFollowUpEnd, false);
  row.activityGsd = reader.Gsd();
  row.sex = reader.SexOf();
  if (birth && start && *start < *birth) {
    reader.Fault(kStart,
                 Quoted(DateText(*start)) + " is before the birth date " + DateText(*birth));
  }
  if (start && row.end && !(*row.end > *start)) {
    reader.Fault(kEnd, Quoted(DateText(*row.end)) + " is not after the start " + DateText(*start));
  }
  if (birth && row.followUpEnd && !(*row.followUpEnd > *birth)) {
    reader.Fault(kFollowUpEnd, Quoted(DateText(*row.followUpEnd)) +
                                   " is not after the birth date " + DateText(*birth));
  } else if (start && row.followUpEnd && !(*start < *row.followUpEnd)) {
    // An intake after the end of follow-up: the row or the end is wrong.
    reader.Fault(kStart, Quoted(DateText(*start)) + " is not before the follow-up end " +
                             DateText(*row.followUpEnd));
  }
  if (!reader.ok()) return false;
  row.birthDate = *birth;
  row.kind = *kind;
  row.start = *start;
  return true;
}

// "YYYY-MM-DD", or "empty" for none.
std::string DateOrEmpty(const std::optional<Days>& day) {
  return day ? DateText(*day) : "empty";
}

std::string SexOrEmpty(const std::optional<Sex>& sex) {
  return sex ? std::string(SexName(*sex)) : "empty";
}

// The checks across rows: one birth date per person, and one follow-up end
// or none, one sex or none.
void CheckPersons(IntakeFile& file) {
  std::map<std::string, const IntakeRow*> firstRowOf;  // by person
  for (const IntakeRow& row : file.rows) {
    const auto [first, added] = firstRowOf.emplace(row.person, &row);
    if (added) continue;
    const IntakeRow& earlier = *first->second;
    const std::string where =
        " on line " + std::to_string(earlier.line) + " for person " + Quoted(row.person);
    if (earlier.birthDate != row.birthDate) {
      file.faults.Add(row.line, "column \"birth_date\": " + Quoted(DateText(row.birthDate)) +
                                    " differs from " + DateText(earlier.birthDate) + where);
    }
    if (earlier.followUpEnd != row.followUpEnd) {
      const std::string value =
          row.followUpEnd ? Quoted(DateText(*row.followUpEnd)) : std::string("empty");
      file.faults.Add(row.line, "column \"follow_up_end\": " + value + " differs from " +
                                    DateOrEmpty(earlier.followUpEnd) + where);
    }
    if (earlier.sex != row.sex) {
      const std::string value = row.sex ? Quoted(SexName(*row.sex)) : std::string("empty");
      file.faults.Add(row.line, "column \"sex\": " + value + " differs from " +
                                    SexOrEmpty(earlier.sex) + where);
    }
  }
}

constexpr std::string_view kEmpty = "the file is empty";
constexpr std::string_view kHeaderOnly = "the file holds no intakes, only its header";

}  // namespace

std::string_view SexName(Sex sex) {
  return sex == Sex::kFemale ? "female" : "male";
}

IntakeFile ReadIntakeFile(std::string_view bytes) {
  IntakeFile file;
  const CsvText csv = ReadCsv(bytes);
  ColumnPositions at{};
  bool columns = false;
  if (!csv.records.empty()) {
    const std::vector<std::string_view> names(csv.records[0].fields.begin(),
                                              csv.records[0].fields.end());
    columns = FindColumns(csv.records[0].line, names, at, file.faults);
    file.uncertain = at[kActivityGsd] != kAbsent;
  }
  for (std::size_t r = 1; columns && r < csv.records.size(); ++r) {
    const CsvRecord& record = csv.records[r];
    if (record.fields.size() != csv.records[0].fields.size()) {
      file.faults.Add(record.line, "the row has " + std::to_string(record.fields.size()) +
                                       " fields, the header " +
                                       std::to_string(csv.records[0].fields.size()));
      continue;
    }
    RowFields fields{record.line, {}};
    for (std::size_t c = 0; c < kColumnCount; ++c)
      if (at[c] != kAbsent) fields.fields[c] = record.fields[at[c]];
    IntakeRow row;
    if (ReadRow(fields, row, file.faults)) file.rows.push_back(std::move(row));
  }
  CheckPersons(file);
  if (csv.stop) file.faults.Add(csv.stop->line, csv.stop->message);
  file.faults.SortByLine();
  if (csv.records.empty() && !csv.stop) file.faults.Add(0, std::string(kEmpty));
  if (columns && csv.records.size() == 1 && !csv.stop) {
    file.faults.Add(0, std::string(kHeaderOnly));
  }
  return file;
}

IntakeFile ReadIntakeColumns(std::span<const IntakeColumn> columns) {
  IntakeFile file;
  if (columns.empty()) {
    file.faults.Add(0, std::string(kEmpty));
    return file;
  }
  const std::size_t rowCount = columns[0].fields.size();
  std::vector<std::string_view> names;
  for (const IntakeColumn& column : columns) {
    if (column.fields.size() != rowCount) {
      file.faults.Add(0, "the columns differ in length");
      return file;
    }
    names.push_back(column.name);
  }
  ColumnPositions at{};
  // A name with a line end is no column's, so the header takes line 1 alone.
  if (!FindColumns(1, names, at, file.faults)) return file;
  file.uncertain = at[kActivityGsd] != kAbsent;
  int line = 1;
  for (std::size_t r = 0; r < rowCount; ++r) {
    RowFields fields{++line, {}};
    for (std::size_t c = 0; c < kColumnCount; ++c)
      if (at[c] != kAbsent) fields.fields[c] = columns[at[c]].fields[r];
    for (const IntakeColumn& column : columns) {
      line += static_cast<int>(std::count(column.fields[r].begin(), column.fields[r].end(), '\n'));
    }
    IntakeRow row;
    if (ReadRow(fields, row, file.faults)) file.rows.push_back(std::move(row));
  }
  CheckPersons(file);
  file.faults.SortByLine();
  if (rowCount == 0) file.faults.Add(0, std::string(kHeaderOnly));
  return file;
}

}  // namespace quillmore::input
