#include "app/interactive_selection.h"

#include "console/list_box.h"
#include "input/age_groups.h"
#include "input/region_names.h"
#include "output/number_mask.h"
#include "run/data_files.h"

namespace quillmore::app {
namespace {

constexpr const char* kMultipleCaption = "Multiple Select: Ctrl + Left Click";

void PrintCount(console::Console& console, const char* label, std::size_t count) {
  console.PrintText(label);
  console.PrintText(output::SignedNumberText(static_cast<std::int64_t>(count)));
  console.NewLine();
}

// The numbers (from 1) of the entries chosen in a box whose last entry, after
// `count` others, stands for all of them: with that entry, 1 to `count`
// whatever else was chosen.
std::vector<int> ChosenNumbers(const std::vector<std::size_t>& chosen, int count) {
  std::vector<int> numbers;
  if (!chosen.empty() && chosen.back() == static_cast<std::size_t>(count)) {
    for (int n = 1; n <= count; ++n) numbers.push_back(n);
    return numbers;
  }
  for (const std::size_t index : chosen) numbers.push_back(static_cast<int>(index) + 1);
  return numbers;
}

}  // namespace

void SelectAgesAndRegions(console::Console& console, input::DoseRateFile& file,
                          input::Selection& selection) {
  selection.selectedAges.clear();
  selection.selectedRegions.clear();
  selection.regionNames = run::ReadRegionNames(file);

  std::vector<std::string> ageEntries(input::kAgeGroupLabels.begin(), input::kAgeGroupLabels.end());
  ageEntries.emplace_back(input::kAllAgesLabel);
  const std::vector<std::size_t> ages =
      console::ChooseSeveral(console, kMultipleCaption, " Select Age Groups", ageEntries);
  if (ages.empty()) return;
  selection.selectedAges = ChosenNumbers(ages, input::kAgeGroupCount);
  PrintCount(console, " # Ages selected:", selection.selectedAges.size());
  console.NewLine();

  std::vector<std::string> regionEntries = selection.regionNames;
  regionEntries.emplace_back(input::kAllOrgansName);
  const std::vector<std::size_t> regions =
      console::ChooseSeveral(console, kMultipleCaption, " Select Target Regions", regionEntries);
  if (regions.empty()) {
    console.PrintText("Result$ = ");
    console.NewLine();
    return;
  }
  selection.selectedRegions = ChosenNumbers(regions, input::kLungRegion);
  PrintCount(console, " # Organs/Tissues selected:", selection.selectedRegions.size());
}

}  // namespace quillmore::app
