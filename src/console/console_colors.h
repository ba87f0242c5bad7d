// Console colour numbers against terminal (ANSI) colour numbers.
#pragma once

namespace quillmore::console {

// The ANSI number (0..15) of console colour 0..15. The console counts
// blue = 1, green = 2, red = 4; ANSI counts red = 1, green = 2, blue = 4; both
// add 8 for the bright half.
int AnsiColor(int consoleColor);

}  // namespace quillmore::console
