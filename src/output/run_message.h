// What a nuclide's run tells the user besides its tables. A warning: something
// asked for is missing or suspect (quillmore-batch exits 1). A note: worth
// knowing, nothing wrong (hidden by --quiet). The programs print them; the
// JSON files and the run manifest keep them.
#pragma once

#include <cstdint>
#include <string>

namespace quillmore::output {

enum class MessageKind { kWarning, kNote };

struct RunMessage {
  MessageKind kind = MessageKind::kWarning;
  std::string text;  // one line naming the nuclide, and the block where there is one
  // The block's age and header record, 0 when the message concerns the nuclide as a whole.
  std::int32_t ageDays = 0;
  std::int64_t record = 0;
};

// "warning" or "note".
const char* MessageKindName(MessageKind kind);

}  // namespace quillmore::output
