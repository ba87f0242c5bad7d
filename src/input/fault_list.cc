#include "input/fault_list.h"

#include <algorithm>
#include <set>

namespace quillmore::input {

void FaultList::Add(std::int64_t line, std::string message) {
  faults_.push_back({"", line, std::move(message)});
}

void FaultList::SortByLine() {
  std::stable_sort(faults_.begin(), faults_.end(),
                   [](const Fault& a, const Fault& b) { return a.line < b.line; });
}

std::size_t FaultList::LineCount() const {
  std::set<std::int64_t> lines;
  for (const Fault& fault : faults_) lines.insert(fault.line);
  return lines.size();
}

std::string TablePlaces::Of(std::int64_t line) const {
  if (!frameIndex) return line > 0 ? label + ':' + std::to_string(line) : label;
  return line > 1 ? Within(line) : "DataFrame";
}

std::string TablePlaces::Within(std::int64_t line) const {
  if (!frameIndex || line < 2) return "line " + std::to_string(line);
  const std::size_t row = static_cast<std::size_t>(line - 2);
  return "DataFrame row " + std::to_string(row) +
         (row < frameIndex->size() ? " (index " + (*frameIndex)[row] + ")" : "");
}

std::vector<std::string> FaultList::ShownLines(std::string_view label,
                                               std::string_view what) const {
  return ShownLines(TablePlaces{std::string(label), std::nullopt}, what);
}

std::vector<std::string> FaultList::ShownLines(const TablePlaces& places,
                                               std::string_view what) const {
  FaultList sorted = *this;
  sorted.SortByLine();
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < sorted.size() && i < kFaultsShown; ++i)
    lines.push_back(places.Of(sorted[i].line) + ": " + sorted[i].message);
  if (sorted.size() > kFaultsShown) {
    lines.push_back(places.Of(0) + ": " + std::to_string(sorted.size() - kFaultsShown) + " more " +
                    std::string(what) + " not shown");
  }
  return lines;
}

}  // namespace quillmore::input
