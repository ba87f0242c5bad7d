#include "support/list_box_keys.h"

#include "console/input_event.h"

namespace quillmore::testing {

void MarkEntries(console::HeadlessTerminal& terminal, const std::vector<int>& numbers) {
  constexpr int kEnter = 13;
  int at = 1;
  for (int number : numbers) {
    for (; at < number; ++at) terminal.Key(console::kKeyDown);
    terminal.Key(' ');
  }
  terminal.Key(kEnter);
}

}  // namespace quillmore::testing
