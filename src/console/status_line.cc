#include "console/status_line.h"

#include <algorithm>
#include <numeric>

namespace quillmore::console {

namespace {

std::string Join(const std::vector<std::string>& parts) {
  std::string line;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    line += (line.empty() ? " " : "  ") + part;
  }
  return line;
}

}  // namespace

std::string FitStatus(const std::vector<StatusItem>& items, int width) {
  std::vector<std::string> parts;
  for (const StatusItem& item : items) parts.push_back(item.text);
  // Items to give up, the least needed first; the last item is never given up.
  std::vector<std::size_t> order(items.empty() ? 0 : items.size() - 1);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return items[a].keep < items[b].keep; });
  const auto fits = [&] { return static_cast<int>(Join(parts).size()) <= width; };
  for (std::size_t i : order) {
    if (fits()) break;
    if (!items[i].shortText.empty()) parts[i] = items[i].shortText;
  }
  for (std::size_t i : order) {
    if (fits()) break;
    parts[i].clear();
  }
  std::string line = Join(parts);
  line.resize(static_cast<std::size_t>(std::max(width, 0)), ' ');
  return line;
}

}  // namespace quillmore::console
