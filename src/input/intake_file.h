// The intake file of quillmore-batch --intakes: CSV with a header row naming
// the columns, one row per intake of a person.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "input/data_kind.h"
#include "input/fault_list.h"
#include "input/intake_calendar.h"

namespace quillmore::input {

// The columns, in the order the documentation lists them; follow_up_end,
// activity_gsd and sex may be left out.
inline constexpr std::string_view kIntakeColumns[] = {
    "person", "birth_date",  "nuclide",       "intake",       "form", "start",
    "end",    "activity_bq", "follow_up_end", "activity_gsd", "sex"};

// Largest geometric standard deviation an intake's activity may have.
inline constexpr double kMaxActivityGsd = 100;

enum class Sex { kFemale, kMale };
// "female" or "male", as every file writes it.
std::string_view SexName(Sex sex);

struct IntakeRow {
  int line = 0;  // line of the file where the row starts
  std::string person;
  Days birthDate;
  std::string nuclide;  // as written, blanks at either end dropped
  DataKind kind = DataKind::kInhalation;
  std::string form;  // as written: a form number or a form code
  Days start;
  std::optional<Days> end;  // empty for an acute intake
  double activityBq = 0;    // positive and finite
  // 00:00 of the day the person's follow-up ends, after the birth date and
  // the start; the same on every row of a person, or on none.
  std::optional<Days> followUpEnd;
  // The geometric standard deviation of a lognormal activity whose median
  // is activityBq: 1 (known exactly) to kMaxActivityGsd.
  double activityGsd = 1;
  // The same on every row of a person, or on none.
  std::optional<Sex> sex;
};

struct IntakeFile {
  std::vector<IntakeRow> rows;  // the good rows, in file order
  // Every bad row (or header) by line, 0 for the file as a whole, with what is
  // wrong: `column "start": "2023-02-30" is not a date`.
  FaultList faults;
  // The file has an activity_gsd column: its doses are uncertain.
  bool uncertain = false;
};

// Reads the bytes of an intake file: every row is checked, and each fault
// listed; a file without rows is a fault. Persons, birth dates, dates and
// activities are judged here; nuclides and forms need the data.
IntakeFile ReadIntakeFile(std::string_view bytes);

// One column of an intake table held in memory (a data frame's): its name
// and its fields as text, one a row.
struct IntakeColumn {
  std::string name;
  std::vector<std::string> fields;
};

// Reads the rows of `columns` by the rules of ReadIntakeFile, with its
// messages. The lines are those of the CSV file the columns would make: the
// header on line 1, then a row a line, each after the line ends inside the
// fields before it. No columns is an empty file; columns of unequal length
// are a fault of the whole.
IntakeFile ReadIntakeColumns(std::span<const IntakeColumn> columns);

}  // namespace quillmore::input
