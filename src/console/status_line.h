// The bottom line of the full-screen views: what is shown and the keys, as
// much as fits, and always the key that leaves.
#pragma once

#include <string>
#include <vector>

namespace quillmore::console {

struct StatusItem {
  std::string text;
  std::string shortText;  // used before the item is dropped; empty: none
  int keep = 0;           // items with a higher value go last; the quit key never
};

// The items joined by two blanks after one leading blank, padded to `width`:
// first every text in full, then items shortened, then dropped, in order of
// `keep`, until the line fits. The last item (the quit key) always stays.
std::string FitStatus(const std::vector<StatusItem>& items, int width);

}  // namespace quillmore::console
