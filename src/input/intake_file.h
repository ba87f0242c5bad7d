// The intake file of quillmore-batch --intakes: CSV with a header row naming
// the columns, one row per intake of a person.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/data_kind.h"
#include "input/fault_list.h"
#include "input/intake_calendar.h"

namespace quillmore::input {

// The columns, in the order the documentation lists them.
inline constexpr std::string_view kIntakeColumns[] = {
    "person", "birth_date", "nuclide", "intake", "form", "start", "end", "activity_bq"};

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
};

struct IntakeFile {
  std::vector<IntakeRow> rows;  // the good rows, in file order
  // Every bad row (or header) by line, 0 for the file as a whole, with what is
  // wrong: `column "start": "2023-02-30" is not a date`.
  FaultList faults;
};

// Reads the bytes of an intake file: every row is checked, and each fault
// listed; a file without rows is a fault. Persons, birth dates, dates and
// activities are judged here; nuclides and forms need the data.
IntakeFile ReadIntakeFile(std::string_view bytes);

}  // namespace quillmore::input
