// Suggestions for a nuclide name that is not in the index: the names a typo
// (a missing dash, a wrong case, a missing metastable letter) is closest to.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillmore::input {

// The Damerau–Levenshtein distance (insertions, deletions, substitutions and
// transpositions of adjacent bytes, each 1, substrings edited more than once
// allowed) between `a` and `b`.
std::size_t EditDistance(std::string_view a, std::string_view b);

// Up to `maxCount` of `names` (trimmed index names, in index order) at edit
// distance 2 or less from `typed` after both are normalised as a typed name
// is; closest first, ties in index order. Empty when none is that close.
std::vector<std::string> SuggestNames(std::string_view typed, const std::vector<std::string>& names,
                                      std::size_t maxCount = 3);

// The same for names compared ignoring case and blanks at either end (region
// names).
std::vector<std::string> SuggestCaselessNames(std::string_view typed,
                                              const std::vector<std::string>& names,
                                              std::size_t maxCount = 3);

}  // namespace quillmore::input
