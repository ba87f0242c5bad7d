// Age-group and region lists as people type them ("adult,1,10y",
// "liver,lung,29", "all"), as the selections of a run. The messages name no
// option of any program: each face passes the words it uses.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "base/result.h"

namespace quillmore::run {

// How a face names the lists in its messages.
struct ListWords {
  std::string ages;        // "--ages" in the batch, "ages=" in Python
  std::string regions;     // "--regions", "regions="
  std::string regionHint;  // "see --list-regions", "see regions()"
};

// Age-group numbers 1 to 6 in the order given: numbers, "infant", "1y",
// "1y-old" ... "adult" in any case and spacing, or "all". kUnknownName for
// an item that names no age group, kInvalidArgument for one listed twice.
base::Result<std::vector<int>> SelectAges(const std::string& text, const ListWords& words);

// Region numbers 1 to 30 in the order given, or "all". An item is matched
// against `regionNames` (30 entries) by FindRegion. kUnknownName for an item
// that names no region, kInvalidArgument for an ambiguous one or a region
// listed twice.
base::Result<std::vector<int>> SelectRegions(const std::string& text,
                                             const std::vector<std::string>& regionNames,
                                             const ListWords& words);

// The same against several data sets' names (an intake history uses both):
// each item matched against the first set of names, then the next.
base::Result<std::vector<int>> SelectRegionsOfEither(
    const std::string& text, std::span<const std::vector<std::string>> regionNames,
    const ListWords& words);

// The region one item stands for: a number 1 to 30, then a name of
// `regionNames` exactly, then ignoring case (kInvalidArgument as ambiguous
// when two match so), then "remainder" or "rest body" for region 29.
// "all" is no region: it stands only for the whole list.
base::Result<int> FindRegion(const std::string& name, const std::vector<std::string>& regionNames,
                             const ListWords& words);

// The region one item stands for among several data sets' names: by
// FindRegion against the first set, then the next; the first set's failure.
base::Result<int> FindRegionOfEither(const std::string& item,
                                     std::span<const std::vector<std::string>> regionNames,
                                     const ListWords& words);

}  // namespace quillmore::run
