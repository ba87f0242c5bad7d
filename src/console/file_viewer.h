// A full-screen, read-only viewer for wide text tables on the console screen.
#pragma once

#include <filesystem>

#include "console/console.h"

namespace quillmore::console {

// Columns one Left or Right key moves: one region block of a table.
inline constexpr int kViewerColumnStep = 19;

// Shows the text file at `path` on rows 1 to 27 with a status line (file name,
// first row and column shown, keys) on row 28. The first `frozenRows` lines
// (0..26) and the first `frozenColumns` characters of every line (0..79) stay
// in place; out-of-range values are clamped. Up, Down, PgUp, PgDn, Home, End
// and the wheel scroll rows; Left and Right scroll columns by
// kViewerColumnStep, Shift+Left, Shift+Right, '<' and '>' by one. 'q' or Esc
// closes. The screen is restored on return. Returns false, after a one-line
// message and a key or click, when the file cannot be read.
bool ViewFile(Console& console, const std::filesystem::path& path, int frozenRows,
              int frozenColumns);

}  // namespace quillmore::console
