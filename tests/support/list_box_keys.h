// Scripting a multiple-choice list box on the headless terminal.
#pragma once

#include <vector>

#include "console/headless_terminal.h"

namespace quillmore::testing {

// Keys that mark the entries `numbers` (1-based, ascending) with Space, moving
// down from entry 1, then accept the box with Enter.
void MarkEntries(console::HeadlessTerminal& terminal, const std::vector<int>& numbers);

}  // namespace quillmore::testing
