#include "run/selection_names.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "base/text.h"
#include "input/age_groups.h"
#include "input/dose_rate_file.h"
#include "input/name_suggestions.h"
#include "input/region_names.h"

namespace quillmore::run {
namespace {

using base::Status;

std::vector<int> Numbers(int count) {
  std::vector<int> numbers;
  for (int number = 1; number <= count; ++number) numbers.push_back(number);
  return numbers;
}

// The region of `item` in the first of `regionNames` that knows it: the
// failure of the first set where none does.
}  // namespace

base::Result<std::vector<int>> SelectAges(const std::string& text, const ListWords& words) {
  if (base::AsciiLower(text) == "all") return Numbers(input::kAgeGroupCount);
  std::vector<int> ages;
  for (const std::string& item : base::SplitCommas(text)) {
    std::string key = base::AsciiLower(item);
    key.erase(std::remove(key.begin(), key.end(), ' '), key.end());
    std::optional<int> age = base::WholeNumber(key, 1, input::kAgeGroupCount);
    for (const auto& [name, number] : input::kAgeGroupAliases) {
      if (key == name) age = number;
    }
    if (!age) {
      return Status::UnknownName("unknown age group \"" + item +
                                 "\" (1-6, infant, 1y, 5y, 10y, 15y, adult)");
    }
    if (std::find(ages.begin(), ages.end(), *age) != ages.end()) {
      return Status::InvalidArgument("age group " + input::AgeGroupList({*age}) +
                                     " is listed twice in " + words.ages);
    }
    ages.push_back(*age);
  }
  return ages;
}

base::Result<int> FindRegion(const std::string& name, const std::vector<std::string>& regionNames,
                             const ListWords& words) {
  if (const std::optional<int> number = base::WholeNumber(name, 1, input::kLungRegion))
    return *number;
  std::vector<int> caseless;
  for (int number = 1; number <= static_cast<int>(regionNames.size()); ++number) {
    const std::string& heading = regionNames[input::RegionIndex(number)];
    if (heading == name) return number;
    if (base::AsciiLower(heading) == base::AsciiLower(name)) caseless.push_back(number);
  }
  if (caseless.size() > 1) {
    return Status::InvalidArgument(
        "region \"" + name + "\" is ambiguous: " + std::to_string(caseless[0]) + " \"" +
        regionNames[input::RegionIndex(caseless[0])] + "\" or " + std::to_string(caseless[1]) +
        " \"" + regionNames[input::RegionIndex(caseless[1])] +
        "\" (give the exact name or number)");
  }
  if (caseless.size() == 1) return caseless[0];
  if (input::IsRemainderAlias(base::AsciiLower(name))) return input::kRegionColumnCount;
  std::string suggested;
  const std::vector<std::string> close = input::SuggestCaselessNames(name, regionNames);
  for (std::size_t i = 0; i < close.size(); ++i) {
    suggested += (i == 0                  ? "; did you mean "
                  : i + 1 == close.size() ? " or "
                                          : ", ") +
                 ("\"" + close[i] + "\"") + (i + 1 == close.size() ? "?" : "");
  }
  return Status::UnknownName("unknown region \"" + name + "\"" + suggested + " (" +
                             words.regionHint + ")");
}

base::Result<std::vector<int>> SelectRegions(const std::string& text,
                                             const std::vector<std::string>& regionNames,
                                             const ListWords& words) {
  return SelectRegionsOfEither(text, std::span(&regionNames, 1), words);
}

// A region listed twice is named as the one set of names heads it, and by
// its number alone where several sets are asked.
base::Result<std::vector<int>> SelectRegionsOfEither(
    const std::string& text, std::span<const std::vector<std::string>> regionNames,
    const ListWords& words) {
  if (base::AsciiLower(text) == "all") return Numbers(input::kLungRegion);
  std::vector<int> regions;
  for (const std::string& item : base::SplitCommas(text)) {
    const base::Result<int> region = FindRegionOfEither(base::TrimBlanks(item), regionNames, words);
    if (!region.ok()) return region.status();
    if (std::find(regions.begin(), regions.end(), region.value()) != regions.end()) {
      const std::string name =
          regionNames.size() == 1
              ? " \"" + regionNames[0][input::RegionIndex(region.value())] + "\""
              : "";
      return Status::InvalidArgument("region " + std::to_string(region.value()) + name +
                                     " is listed twice in " + words.regions);
    }
    regions.push_back(region.value());
  }
  return regions;
}

base::Result<int> FindRegionOfEither(const std::string& item,
                                     std::span<const std::vector<std::string>> regionNames,
                                     const ListWords& words) {
  base::Result<int> first = FindRegion(item, regionNames[0], words);
  for (std::size_t set = 1; !first.ok() && set < regionNames.size(); ++set) {
    base::Result<int> other = FindRegion(item, regionNames[set], words);
    if (other.ok()) return other;
  }
  return first;
}

}  // namespace quillmore::run
