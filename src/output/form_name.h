// How the outputs name a row group's form. Two numbers are counted: the
// row-group number within its table, and the form number counted on the
// first selected age group that picks the chemical-form label; a block whose
// rows are left out counts for the second only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "input/data_kind.h"
#include "input/dose_rate_file.h"

namespace quillmore::output {

struct FormNumbers {
  int rowGroup = 0;        // 1, 2, ... in its table ("form" of CSV, JSON, curves); 0: left out
  std::int32_t label = 0;  // counted on the first selected age group (the labels)
};

// Both numbers, as a walk meets the blocks of the selected age groups in file order.
class FormCounter {
 public:
  explicit FormCounter(std::size_t tableCount) : rowGroups_(tableCount, 0) {}
  // The numbers of a block of table `table`; `givesRows` false when its rows are left out.
  FormNumbers Next(std::size_t table, bool givesRows);

 private:
  std::vector<int> rowGroups_;
  std::int32_t label_ = 0;
};

// The label of a chemical form, by the element (the name before its first
// '-', compared exactly) and the label number: H 4-6, C 4-5, S 4-5, I 5, Hg 4-7.
// Empty for every other combination and for a name without '-'.
std::string_view ChemicalFormLabel(std::string_view nuclideName, std::int32_t labelNumber);

// The class code alone (inhalation) or the f1 text (ingestion), trimmed of
// blanks: the form code of the CSV and JSON files.
std::string FormCode(const input::BlockHeader& header, input::DataKind kind);

// The form as messages and plots name it: "class M" or "class V (Water Vapor)"
// (inhalation), "f1 0.1" (ingestion).
std::string FormWords(const input::BlockHeader& header, input::DataKind kind,
                      std::int32_t labelNumber);

}  // namespace quillmore::output
