// Calendar days and ages for intake histories, on the proleptic Gregorian
// calendar of <chrono>; a date means 00:00 of that day.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmore::input {

using Days = std::chrono::sys_days;

// "YYYY-MM-DD" with exactly those digits, a real day; otherwise nullopt.
std::optional<Days> ParseDate(std::string_view text);
// The date as "YYYY-MM-DD".
std::string DateText(Days day);
// The calendar year that holds `day`, and the 1 January that starts year `year`.
int YearOf(Days day);
Days YearStart(int year);

// Completed years of age on `day` of someone born on `birth`; a 29 February
// birthday counts on 1 March in common years.
int CompletedYears(Days birth, Days day);
// The day someone born on `birth` completes `years` years.
Days Birthday(Days birth, int years);
// What ends a person's follow-up, each where given: the intake file's
// follow-up end, 1 January after the year `untilYear`, the `untilAge`th birthday.
struct FollowUpLimits {
  std::optional<Days> followUpEnd;
  std::optional<int> untilYear;
  std::optional<int> untilAge;
};
// The earliest of the limits given for someone born on `birth` (doses count
// up to 00:00 of that day); nullopt when none is.
std::optional<Days> FollowUpEnd(Days birth, const FollowUpLimits& limits);
// The age group (1 Infant to 6 Adult) of `completedYears`.
int AgeGroupForYears(int completedYears);

// One stretch of an intake within one age group.
struct IntakePart {
  int ageGroup = 0;
  Days start;
  std::optional<Days> end;  // empty for an acute intake
};

// The parts of an intake from `start` (to `end`, for a spread intake) by age
// group, split at each birthday where the group changes. Precondition:
// birth <= start < end.
std::vector<IntakePart> SplitByAgeGroup(Days birth, Days start, std::optional<Days> end);

}  // namespace quillmore::input
