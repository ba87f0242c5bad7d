// The two numbers a block of a selected age group gets as a walk meets the
// blocks in file order: the row-group number within its table, and the form
// number counted on the first selected age group (the one that picks the
// chemical-form label); a block whose rows are left out counts for the second
// only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillmore::input {

struct FormNumbers {
  int rowGroup = 0;        // 1, 2, ... in its table ("form" of CSV, JSON, curves); 0: left out
  std::int32_t label = 0;  // counted on the first selected age group (the labels)
};

class FormCounter {
 public:
  explicit FormCounter(std::size_t tableCount) : rowGroups_(tableCount, 0) {}
  // The numbers of a block of table `table`; `givesRows` false when its rows are left out.
  FormNumbers Next(std::size_t table, bool givesRows);

 private:
  std::vector<int> rowGroups_;
  std::int32_t label_ = 0;
};

}  // namespace quillmore::input
