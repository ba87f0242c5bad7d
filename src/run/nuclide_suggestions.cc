#include "run/nuclide_suggestions.h"

#include "base/text.h"
#include "input/name_suggestions.h"

namespace quillmore::run {

std::vector<std::string> NuclideEntriesWithData(input::DataIndex& index, input::DataKind kind) {
  std::vector<std::string> names;
  for (std::int64_t record = index.firstEntry(); record <= index.lastEntry(); ++record) {
    const input::IndexEntry& entry = index.ReadEntry(static_cast<std::int32_t>(record));
    if (entry.startFor(kind) != 0) names.push_back(entry.name);
  }
  return names;
}

std::vector<std::string> NuclidesWithData(input::DataIndex& index, input::DataKind kind) {
  std::vector<std::string> names = NuclideEntriesWithData(index, kind);
  for (std::string& name : names) name = base::TrimBlanks(name);
  return names;
}

base::Status UnknownNuclide(const std::string& name, input::DataIndex& index,
                            input::DataKind kind) {
  return base::Status::UnknownName("no data are available for " + base::TrimBlanks(name) +
                                   SuggestionText(name, index, kind));
}

std::string SuggestionText(std::string_view typed, input::DataIndex& index, input::DataKind kind) {
  const std::vector<std::string> names = input::SuggestNames(typed, NuclidesWithData(index, kind));
  if (names.empty()) return {};
  std::string text = "; did you mean ";
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " or " : ", ";
    text += names[i];
  }
  return text + "?";
}

}  // namespace quillmore::run
