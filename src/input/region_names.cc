#include "input/region_names.h"

#include <algorithm>

#include "base/text.h"

namespace quillmore::input {

std::vector<std::string> BuildRegionNames(
    const std::array<std::string, kRegionColumnCount>& headings) {
  std::vector<std::string> names;
  names.reserve(kLungRegion);
  for (const std::string& heading : headings) names.push_back(base::TrimBlanks(heading));
  // The last heading of the reference files may hold a bar where a line break
  // was meant; only that one is treated.
  std::string& last = names.back();
  if (last.find('|') != std::string::npos) {
    std::replace(last.begin(), last.end(), '|', ' ');
    last = base::TrimBlanks(last);
  }
  names.emplace_back(kLungName);
  return names;
}

bool IsRemainderAlias(std::string_view lowerName) {
  return lowerName == "remainder" || lowerName == "rest body";
}

}  // namespace quillmore::input
