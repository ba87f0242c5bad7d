#include "input/name_suggestions.h"

#include <algorithm>
#include <array>
#include <utility>

#include "base/text.h"
#include "input/nuclide_name.h"

namespace quillmore::input {
namespace {

constexpr std::size_t kMaxSuggestedDistance = 2;

std::string Normalised(std::string_view name) {
  std::string key(name);
  NormaliseNuclideName(key);
  return base::TrimBlanks(key);
}

}  // namespace

// Lowrance and Wagner's algorithm: unlike the restricted (optimal string
// alignment) distance it lets a transposed pair be edited again, so the
// result is a true metric.
std::size_t EditDistance(std::string_view a, std::string_view b) {
  const std::size_t rows = a.size() + 2;
  const std::size_t columns = b.size() + 2;
  const std::size_t infinity = a.size() + b.size();
  std::vector<std::size_t> d(rows * columns, 0);
  auto at = [&](std::size_t i, std::size_t j) -> std::size_t& { return d[i * columns + j]; };
  at(0, 0) = infinity;
  for (std::size_t i = 0; i <= a.size(); ++i) {
    at(i + 1, 0) = infinity;
    at(i + 1, 1) = i;
  }
  for (std::size_t j = 0; j <= b.size(); ++j) {
    at(0, j + 1) = infinity;
    at(1, j + 1) = j;
  }
  std::array<std::size_t, 256> lastRowOf{};  // last row (1-based) holding each byte
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t lastMatchColumn = 0;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t k = lastRowOf[static_cast<unsigned char>(b[j - 1])];
      const std::size_t l = lastMatchColumn;
      const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      if (cost == 0) lastMatchColumn = j;
      at(i + 1, j + 1) = std::min({at(i, j) + cost, at(i + 1, j) + 1, at(i, j + 1) + 1,
                                   at(k, l) + (i - k - 1) + 1 + (j - l - 1)});
    }
    lastRowOf[static_cast<unsigned char>(a[i - 1])] = i;
  }
  return at(a.size() + 1, b.size() + 1);
}

namespace {

// Up to `maxCount` of `names` within the distance of `typed`, both keyed by `key`.
template <typename Key>
std::vector<std::string> Closest(std::string_view typed, const std::vector<std::string>& names,
                                 std::size_t maxCount, Key key) {
  const std::string typedKey = key(typed);
  std::vector<std::pair<std::size_t, std::size_t>> close;  // distance, index
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::size_t distance = EditDistance(typedKey, key(names[i]));
    if (distance <= kMaxSuggestedDistance) close.emplace_back(distance, i);
  }
  std::stable_sort(close.begin(), close.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  std::vector<std::string> suggestions;
  for (std::size_t i = 0; i < close.size() && i < maxCount; ++i) {
    suggestions.push_back(names[close[i].second]);
  }
  return suggestions;
}

}  // namespace

std::vector<std::string> SuggestNames(std::string_view typed, const std::vector<std::string>& names,
                                      std::size_t maxCount) {
  return Closest(typed, names, maxCount, Normalised);
}

std::vector<std::string> SuggestCaselessNames(std::string_view typed,
                                              const std::vector<std::string>& names,
                                              std::size_t maxCount) {
  return Closest(typed, names, maxCount,
                 [](std::string_view name) { return base::AsciiLower(base::TrimBlanks(name)); });
}

}  // namespace quillmore::input
