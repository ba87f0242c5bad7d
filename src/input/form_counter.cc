#include "input/form_counter.h"

namespace quillmore::input {

FormNumbers FormCounter::Next(std::size_t table, bool givesRows) {
  if (table == 0) ++label_;
  return {givesRows ? ++rowGroups_[table] : 0, label_};
}

}  // namespace quillmore::input
