// What reading and integrating one block came to.
#pragma once

#include <string>
#include <utility>

namespace quillmore::integration {

// An invalid block has all its coefficients 0; `reason` is one short English
// sentence for a warning (for example "time points not strictly increasing at
// record 1234"). A valid block has an empty reason and allocates nothing.
struct BlockResult {
  bool valid = true;
  std::string reason;

  static BlockResult Invalid(std::string why) { return {false, std::move(why)}; }
};

}  // namespace quillmore::integration
