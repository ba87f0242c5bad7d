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

std::vector<std::string> FaultList::ShownLines(std::string_view label,
                                               std::string_view what) const {
  FaultList sorted = *this;
  sorted.SortByLine();
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < sorted.size() && i < kFaultsShown; ++i) {
    std::string line(label);
    if (sorted[i].line > 0) line += ':' + std::to_string(sorted[i].line);
    lines.push_back(line + ": " + sorted[i].message);
  }
  if (sorted.size() > kFaultsShown) {
    lines.push_back(std::string(label) + ": " + std::to_string(sorted.size() - kFaultsShown) +
                    " more " + std::string(what) + " not shown");
  }
  return lines;
}

}  // namespace quillmore::input
