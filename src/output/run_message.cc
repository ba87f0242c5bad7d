#include "output/run_message.h"

namespace quillmore::output {

const char* MessageKindName(MessageKind kind) {
  return kind == MessageKind::kWarning ? "warning" : "note";
}

}  // namespace quillmore::output
