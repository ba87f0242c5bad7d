// The start and help screen, and the header block that heads later screens.
#pragma once

#include <string_view>

#include "console/console.h"

namespace quillmore::app {

inline constexpr std::string_view kWindowTitle = "Quillmore  Ver. 1.2";
inline constexpr std::string_view kTitleLine = "Quillmore Code (Nov 19, 2012)";
inline constexpr std::string_view kCreditLine = "Written by the Quillmore developers";

// Colours of the screens: console numbers; -1 keeps the current one.
using console::kBlue;
using console::kBrightWhite;
using console::kYellow;
inline constexpr int kKeepColor = -1;

// The title line from column 25 and the credit line from `creditColumn`,
// each followed by a newline, in the current colour.
void PrintHeaderBlock(console::Console& console, int creditColumn);

// Shows the start screen on a freshly cleared screen, waits for a key or a
// left click at its "continue..." pause, discards input typed ahead and
// leaves bright white as the colour.
void ShowStartScreen(console::Console& console);

}  // namespace quillmore::app
