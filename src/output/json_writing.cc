#include "output/json_writing.h"

#include <algorithm>

namespace quillmore::output {

std::string DumpText(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

bool PlainJsonText(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) {
    return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x80;
  });
}

}  // namespace quillmore::output
