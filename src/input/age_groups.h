// The six age groups of the dose-rate data, numbered 1 to 6.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillmore::input {

inline constexpr int kAgeGroupCount = 6;
inline constexpr int kAdultAgeGroup = 6;

// Labels exactly 8 characters wide, with their trailing blanks.
inline constexpr std::array<std::string_view, kAgeGroupCount> kAgeGroupLabels = {
    "Infant  ", "1 y-old ", "5 y-old ", "10 y-old", "15 y-old", "Adult   "};
inline constexpr std::array<std::int32_t, kAgeGroupCount> kAgeGroupDays = {100,  365,  1825,
                                                                           3650, 5475, 7300};
// Names that stand for an age group, besides its number, as people type
// them (lower case, without blanks).
inline constexpr std::array<std::pair<std::string_view, int>, 10> kAgeGroupAliases = {{
    {"infant", 1},
    {"1y", 2},
    {"1y-old", 2},
    {"5y", 3},
    {"5y-old", 3},
    {"10y", 4},
    {"10y-old", 4},
    {"15y", 5},
    {"15y-old", 5},
    {"adult", 6},
}};
// The list-box entry that stands for every age group.
inline constexpr std::string_view kAllAgesLabel = "ALL AGES";

// Age-group numbers count from 1; this is the one place that maps them to
// the tables above. Precondition: 1 <= ageGroup <= 6.
inline std::string_view AgeGroupLabel(int ageGroup) {
  return kAgeGroupLabels[static_cast<std::size_t>(ageGroup - 1)];
}
inline std::int32_t AgeGroupDays(int ageGroup) {
  return kAgeGroupDays[static_cast<std::size_t>(ageGroup - 1)];
}

// The age group whose tables take a block of `ageDays`: the group of exactly
// those days, or the adult group for any age above 7299 days; 0 for none.
constexpr int AgeGroupFor(std::int32_t ageDays) {
  if (ageDays > kAgeGroupDays[kAdultAgeGroup - 1] - 1) return kAdultAgeGroup;
  for (int group = 1; group <= kAgeGroupCount; ++group) {
    if (kAgeGroupDays[static_cast<std::size_t>(group - 1)] == ageDays) return group;
  }
  return 0;
}

// The labels of `ageGroups` for a message, without their padding: "Infant, Adult".
inline std::string AgeGroupList(const std::vector<int>& ageGroups) {
  std::string list;
  for (int ageGroup : ageGroups) {
    std::string_view label = AgeGroupLabel(ageGroup);
    label = label.substr(0, label.find_last_not_of(' ') + 1);
    list += (list.empty() ? "" : ", ") + std::string(label);
  }
  return list;
}

}  // namespace quillmore::input
