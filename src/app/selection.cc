#include "app/selection.h"

#include "console/list_box.h"
#include "input/age_groups.h"
#include "input/numeric_field.h"
#include "input/region_names.h"
#include "output/number_mask.h"

namespace quillmore::app {
namespace {

constexpr const char* kMultipleCaption = "Multiple Select: Ctrl + Left Click";
constexpr int kPlacement = 32766;
constexpr int kAgeLayout = 1;
constexpr int kRegionLayout = 3;

void PrintCount(console::Console& console, const char* label, std::size_t count) {
  console.PrintText(label);
  console.PrintText(output::SignedNumberText(static_cast<std::int64_t>(count)));
  console.NewLine();
}

}  // namespace

std::vector<int> ChosenNumbers(const std::string& result, const std::string& allEntry,
                               int allCount) {
  std::vector<int> numbers;
  if (result.empty()) return numbers;
  // With NUL separators and at most 7 or 31 entries, the digits of the "all"
  // entry occur only when that entry was chosen.
  if (result.find(allEntry) != std::string::npos) {
    for (int n = 1; n <= allCount; ++n) numbers.push_back(n);
    return numbers;
  }
  std::size_t start = 0;
  while (start <= result.size()) {
    std::size_t end = result.find('\0', start);
    if (end == std::string::npos) end = result.size();
    numbers.push_back(input::ReadInteger(std::string_view(result).substr(start, end - start)));
    start = end + 1;
  }
  return numbers;
}

Selection SelectAgesAndRegions(console::Console& console, input::DoseRateFile& file) {
  Selection selection;
  selection.regionNames = input::BuildRegionNames(file.RegionHeadings());

  std::vector<std::string> ageEntries(input::kAgeGroupLabels.begin(), input::kAgeGroupLabels.end());
  ageEntries.emplace_back(input::kAllAgesLabel);
  const std::string ages =
      console::ConsoleListBox(console, kAgeLayout, kPlacement, kPlacement, kMultipleCaption,
                              " Select Age Groups", ageEntries, 1, console::kChooseSeveral, 0);
  if (ages.empty()) return selection;
  selection.selectedAges = ChosenNumbers(ages, "7", input::kAgeGroupCount);
  PrintCount(console, " # Ages selected:", selection.selectedAges.size());
  console.NewLine();

  std::vector<std::string> regionEntries = selection.regionNames;
  regionEntries.emplace_back(input::kAllOrgansName);
  const std::string regions = console::ConsoleListBox(
      console, kRegionLayout, kPlacement, kPlacement, kMultipleCaption, " Select Target Regions",
      regionEntries, 1, console::kChooseSeveral, 0);
  if (regions.empty()) {
    console.PrintText("Result$ = ");
    console.NewLine();
    return selection;
  }
  selection.selectedRegions = ChosenNumbers(regions, "31", input::kLungRegion);
  PrintCount(console, " # Organs/Tissues selected:", selection.selectedRegions.size());
  return selection;
}

}  // namespace quillmore::app
