// The intake file of quillmore-batch --intakes: CSV with a header row naming
// the columns, one row per intake of a person.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "input/column_header.h"
#include "input/data_kind.h"
#include "input/fault_list.h"
#include "input/intake_calendar.h"

namespace quillmore::input {

// A column of the intake file: its name, and whether a file must hold it.
using IntakeColumnRule = ColumnRule;

// The columns, in the order the documentation lists them. A file without
// `end` holds acute intakes only; follow_up_end, activity_gsd and sex may
// be left out.
inline constexpr IntakeColumnRule kIntakeColumns[] = {{"person"},
                                                      {"birth_date"},
                                                      {"nuclide"},
                                                      {"intake"},
                                                      {"form"},
                                                      {"start"},
                                                      {"end", false},
                                                      {"activity_bq"},
                                                      {"follow_up_end", false},
                                                      {"activity_gsd", false},
                                                      {"sex", false}};

// Largest geometric standard deviation an intake's activity may have.
inline constexpr double kMaxActivityGsd = 100;

enum class Sex { kFemale, kMale };
// "female" or "male", as every file writes it.
std::string_view SexName(Sex sex);
// The sex `text` names: female or male, F or M, in any case; none for
// anything else.
std::optional<Sex> FindSex(std::string_view text);

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
  // What is worth knowing about a file that is read, by line: the columns
  // ignored, a separator other than the comma.
  std::vector<Fault> notes;
  // The file has an activity_gsd column: its doses are uncertain.
  bool uncertain = false;
  bool sexColumn = false;  // the file has a sex column
};

// Reads the bytes of an intake file: every row is checked, and each fault
// listed; a file without rows is a fault. Persons, birth dates, dates and
// activities are judged here; nuclides and forms need the data.
//
// Column names are matched ignoring case and blanks at either end; a column
// not known is ignored (a note), unless a required column is missing and
// the name is within edit distance 2 of it (a fault suggesting it). A header
// holding no comma has its fields separated by the semicolon or the tab it
// holds (a note; both are a fault); with semicolons, a number in
// activity_bq or form with one comma and no point takes the comma as its
// decimal point.
IntakeFile ReadIntakeFile(std::string_view bytes);

// Reads the rows of `columns` by the rules of ReadIntakeFile, with its
// messages: the header on line 1, row R (from 0) on line R + 2, named in
// messages as `places` names them. No columns is an empty file; columns of
// unequal length are a fault of the whole.
IntakeFile ReadIntakeColumns(std::span<const IntakeColumn> columns, const TablePlaces& places = {});

}  // namespace quillmore::input
