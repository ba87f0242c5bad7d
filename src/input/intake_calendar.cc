#include "input/intake_calendar.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace quillmore::input {

using namespace std::chrono;

namespace {

bool AllDigits(std::string_view text) {
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int Number(std::string_view digits) {
  int value = 0;
  for (const char c : digits) value = value * 10 + (c - '0');
  return value;
}

// Completed years at which the age group changes: 1, 2, 7, 12, 17.
constexpr std::array<int, 5> kGroupStarts = {1, 2, 7, 12, 17};

}  // namespace

std::optional<Days> ParseDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const std::string_view y = text.substr(0, 4), m = text.substr(5, 2), d = text.substr(8, 2);
  if (!AllDigits(y) || !AllDigits(m) || !AllDigits(d)) return std::nullopt;
  const year_month_day date{year(Number(y)), month(static_cast<unsigned>(Number(m))),
                            day(static_cast<unsigned>(Number(d)))};
  if (!date.ok()) return std::nullopt;
  return sys_days(date);
}

std::string DateText(Days day) {
  const year_month_day date(day);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

int YearOf(Days day) {
  return static_cast<int>(year_month_day(day).year());
}

Days YearStart(int y) {
  return sys_days(year(y) / January / 1);
}

Days Birthday(Days birth, int years) {
  const year_month_day b(birth);
  const year_month_day date = (b.year() + std::chrono::years(years)) / b.month() / b.day();
  // Only 29 February can be missing: the birthday is then 1 March.
  return date.ok() ? sys_days(date) : sys_days(date.year() / March / 1);
}

int CompletedYears(Days birth, Days day) {
  int years = YearOf(day) - YearOf(birth);
  if (Birthday(birth, years) > day) --years;
  return years;
}

std::optional<Days> FollowUpEnd(Days birth, const FollowUpLimits& limits) {
  std::optional<Days> end = limits.followUpEnd;
  const auto take = [&end](Days day) { end = end ? std::min(*end, day) : day; };
  if (limits.untilYear) take(YearStart(*limits.untilYear + 1));
  if (limits.untilAge) take(Birthday(birth, *limits.untilAge));
  return end;
}

int AgeGroupForYears(int completedYears) {
  int group = 1;
  for (const int start : kGroupStarts) group += completedYears >= start ? 1 : 0;
  return group;
}

std::vector<IntakePart> SplitByAgeGroup(Days birth, Days start, std::optional<Days> end) {
  std::vector<IntakePart> parts;
  const int startYears = CompletedYears(birth, start);
  parts.push_back({AgeGroupForYears(startYears), start, end});
  if (!end) return parts;
  for (const int years : kGroupStarts) {
    const Days change = Birthday(birth, years);
    if (years <= startYears || change >= *end) continue;
    parts.back().end = change;
    parts.push_back({AgeGroupForYears(years), change, end});
  }
  return parts;
}

}  // namespace quillmore::input
