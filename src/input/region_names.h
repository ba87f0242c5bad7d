// Target-region names by region number: the 29 column headings of the
// dose-rate file, then the composite "Lung".
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "input/dose_rate_file.h"

namespace quillmore::input {

inline constexpr const char* kLungName = "Lung";
inline constexpr const char* kAllOrgansName = "ALL ORGANS";

// Names of regions 1 to 30 (index 0 to 29): each heading with blanks trimmed;
// in the 29th alone every "|" becomes a blank before trimming again; then
// "Lung". The list box adds "ALL ORGANS" itself.
std::vector<std::string> BuildRegionNames(
    const std::array<std::string, kRegionColumnCount>& headings);

// Whether `lowerName` is another name of region 29: the two data sets head
// it differently ("remainder", "rest body"), and either stands for it.
bool IsRemainderAlias(std::string_view lowerName);

}  // namespace quillmore::input
