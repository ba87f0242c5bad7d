#include "input/data_kind.h"

#include <string>

#include "base/text.h"

namespace quillmore::input {

std::optional<DataKind> FindDataSet(std::string_view name) {
  const std::string lower = base::AsciiLower(name);
  for (const DataSet& dataSet : kDataSets) {
    if (lower == dataSet.name || lower == std::string(1, base::AsciiLower(dataSet.fileLetter))) {
      return dataSet.kind;
    }
  }
  return std::nullopt;
}

}  // namespace quillmore::input
