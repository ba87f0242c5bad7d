// A full-screen, read-only viewer for wide text tables.
#pragma once

#include <filesystem>

#include "console/console.h"
#include "console/plot.h"

namespace quillmore::console {

// Columns one Left or Right key moves: one region block of a table.
inline constexpr int kViewerColumnStep = 19;

// How a table's text is laid out, for the viewer.
struct TableLayout {
  int frozenRows = 0;     // heading lines that stay in place (clamped to the body)
  int frozenColumns = 0;  // row-label characters that stay in place (clamped)
  // Blocks of kViewerColumnStep characters after the frozen columns (regions)
  // and groups of `rowsPerGroup` lines after the frozen rows (forms); with
  // both, one of each is marked current and `g` plots it from `plots`.
  int blockCount = 0;
  int rowsPerGroup = 0;
  PlotSource* plots = nullptr;
};

// Shows the text file at `path` in the whole terminal (at least 80 x 28),
// laid out again on resize, with a status line (file name, first row and
// column shown, the keys as far as they fit, always `q`) on the last row. A
// separator keeps the scrolling part apart from the frozen columns. Left and
// Right move the current block by one and scroll by kViewerColumnStep,
// Shift+Left, Shift+Right, '<' and '>' scroll by one column; Up and Down move
// the current group (a line without groups); PgUp, PgDn, Home, End and the
// wheel scroll rows. 'q' or Esc closes. The screen is restored on return.
// Returns false, after a one-line message and a key or click, when the file
// cannot be read.
bool ViewFile(Console& console, const std::filesystem::path& path, const TableLayout& layout);
bool ViewFile(Console& console, const std::filesystem::path& path, int frozenRows,
              int frozenColumns);

}  // namespace quillmore::console
