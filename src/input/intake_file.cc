#include "input/intake_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <map>

#include "base/text.h"
#include "input/column_header.h"
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
constexpr std::size_t kAbsent = kAbsentColumn;

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// One row as text: its line and its fields in the order of kIntakeColumns
// (empty for a column the header does not name).
struct RowFields {
  int line = 0;
  std::array<std::string_view, kColumnCount> fields;
  bool decimalComma = false;  // fields separated by semicolons
};

// `text` with its comma as the decimal point, where a semicolon-separated
// file writes a number so: one comma, no point.
std::string DecimalPoint(std::string text, bool decimalComma) {
  if (decimalComma && std::count(text.begin(), text.end(), ',') == 1 &&
      text.find('.') == std::string::npos)
    std::replace(text.begin(), text.end(), ',', '.');
  return text;
}

// Whether all of `text` reads as a number.
bool IsNumber(const std::string& text, double& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

// Reads the fields of one row; the first fault of each field is listed.
class RowReader {
 public:
  RowReader(const RowFields& record, FaultList& faults)
      : record_(record), faults_(faults), before_(faults.size()) {}

  bool ok() const { return faults_.size() == before_; }

  // A form as written; a number with a decimal comma with its point.
  std::string Form() {
    std::string text = Text(kForm);
    std::string pointed = DecimalPoint(text, record_.decimalComma);
    double value = 0;
    return IsNumber(pointed, value) ? pointed : text;
  }
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
    const bool number = IsNumber(DecimalPoint(text, record_.decimalComma), value);
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
    const std::string text = Text(kSex, false);
    if (text.empty()) return std::nullopt;
    if (const std::optional<Sex> sex = FindSex(text)) return sex;
    Fault(kSex,
          Quoted(base::TrimBlanks(record_.fields[kSex])) + " is neither female (F) nor male (M)");
    return std::nullopt;
  }
  void Fault(Column column, const std::string& what) {
    faults_.Add(record_.line, "column " + Quoted(kIntakeColumns[column].name) + ": " + what);
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
  row.form = reader.Form();
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
void CheckPersons(IntakeFile& file, const TablePlaces& places) {
  std::map<std::string, const IntakeRow*> firstRowOf;  // by person
  for (const IntakeRow& row : file.rows) {
    const auto [first, added] = firstRowOf.emplace(row.person, &row);
    if (added) continue;
    const IntakeRow& earlier = *first->second;
    const std::string where =
        " on " + places.Within(earlier.line) + " for person " + Quoted(row.person);
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

// The first line of `bytes` that is not blank, without its line end.
std::string_view HeaderLine(std::string_view bytes) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  while (!bytes.empty()) {
    std::string_view line = bytes.substr(0, bytes.find('\n'));
    bytes.remove_prefix(std::min(bytes.size(), line.size() + 1));
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (!line.empty()) return line;
  }
  return {};
}

struct Separator {
  char character;
  std::string_view plural;  // as a note names it
};
constexpr Separator kSeparators[] = {{',', "commas"}, {';', "semicolons"}, {'\t', "tabs"}};

// The header's fields split by `separator`.
std::vector<std::string> HeaderNames(std::string_view header, char separator) {
  CsvText csv = ReadCsv(header, separator);
  return csv.records.empty() ? std::vector<std::string>{} : std::move(csv.records[0].fields);
}

HeaderMatch MatchNames(const std::vector<std::string>& fields) {
  return MatchHeader(fields, kIntakeColumns);
}

}  // namespace

std::string_view SexName(Sex sex) {
  return sex == Sex::kFemale ? "female" : "male";
}

std::optional<Sex> FindSex(std::string_view text) {
  const std::string key = base::AsciiLower(base::TrimBlanks(text));
  if (key == "female" || key == "f") return Sex::kFemale;
  if (key == "male" || key == "m") return Sex::kMale;
  return std::nullopt;
}

IntakeFile ReadIntakeFile(std::string_view bytes) {
  IntakeFile file;
  // The header's separator: the comma, else the one other it holds; should
  // its fields lack a column, another separator that gives them all.
  const std::string_view header = HeaderLine(bytes);
  const bool comma = header.find(',') != std::string_view::npos;
  const bool semicolon = header.find(';') != std::string_view::npos;
  const bool tab = header.find('\t') != std::string_view::npos;
  if (!comma && semicolon && tab) {
    file.faults.Add(1, "the header holds both semicolons and tabs: separate its fields by one");
    return file;
  }
  const Separator* separator = &kSeparators[comma ? 0 : semicolon ? 1 : tab ? 2 : 0];
  if (!MatchNames(HeaderNames(header, separator->character)).complete()) {
    for (const Separator& other : kSeparators) {
      if (header.find(other.character) != std::string_view::npos &&
          MatchNames(HeaderNames(header, other.character)).complete()) {
        separator = &other;
        break;
      }
    }
  }
  const CsvText csv = ReadCsv(bytes, separator->character);
  HeaderMatch match;
  bool columns = false;
  if (!csv.records.empty()) {
    const int line = csv.records[0].line;
    match = MatchNames(csv.records[0].fields);
    columns = HeaderFaults(line, match, "by comma, semicolon or tab", file.faults);
    if (columns && separator->character != ',') {
      file.notes.push_back(
          {"", line,
           "the fields are separated by " + std::string(separator->plural) +
               (separator->character == ';' ? "; a number's one comma is its decimal point" : ""),
           true});
    }
    if (columns) IgnoredNote(line, match, file.notes);
    file.uncertain = match.at[kActivityGsd] != kAbsent;
    file.sexColumn = match.at[kSex] != kAbsent;
  }
  for (std::size_t r = 1; columns && r < csv.records.size(); ++r) {
    const CsvRecord& record = csv.records[r];
    if (record.fields.size() != csv.records[0].fields.size()) {
      file.faults.Add(record.line, "the row has " + std::to_string(record.fields.size()) +
                                       " fields, the header " +
                                       std::to_string(csv.records[0].fields.size()));
      continue;
    }
    RowFields fields{record.line, {}, separator->character == ';'};
    for (std::size_t c = 0; c < kColumnCount; ++c) {
      if (match.at[c] != kAbsent) fields.fields[c] = record.fields[match.at[c]];
    }
    IntakeRow row;
    if (ReadRow(fields, row, file.faults)) file.rows.push_back(std::move(row));
  }
  CheckPersons(file, {});
  if (csv.stop) file.faults.Add(csv.stop->line, csv.stop->message);
  file.faults.SortByLine();
  if (csv.records.empty() && !csv.stop) file.faults.Add(0, std::string(kEmpty));
  if (columns && csv.records.size() == 1 && !csv.stop) {
    file.faults.Add(0, std::string(kHeaderOnly));
  }
  return file;
}

IntakeFile ReadIntakeColumns(std::span<const IntakeColumn> columns, const TablePlaces& places) {
  IntakeFile file;
  const std::optional<HeaderMatch> matched =
      MatchFrameHeader(columns, kIntakeColumns, kEmpty, file.faults, file.notes);
  if (!matched) return file;
  const HeaderMatch& match = *matched;
  const std::size_t rowCount = columns[0].fields.size();
  file.uncertain = match.at[kActivityGsd] != kAbsent;
  file.sexColumn = match.at[kSex] != kAbsent;
  for (std::size_t r = 0; r < rowCount; ++r) {
    RowFields fields{static_cast<int>(r) + 2, {}, false};
    for (std::size_t c = 0; c < kColumnCount; ++c) {
      if (match.at[c] != kAbsent) fields.fields[c] = columns[match.at[c]].fields[r];
    }
    IntakeRow row;
    if (ReadRow(fields, row, file.faults)) file.rows.push_back(std::move(row));
  }
  CheckPersons(file, places);
  file.faults.SortByLine();
  if (rowCount == 0) file.faults.Add(0, std::string(kHeaderOnly));
  return file;
}

}  // namespace quillmore::input
