// A modal list box drawn over the console screen, for choosing one entry or
// several. The screen under the box is restored when it closes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"

namespace quillmore::console {

// Both boxes show `entries` under `title` and `caption` with entry `initial`
// (counted from 0, clamped to the list) highlighted, wait for the user and
// return what was chosen as indices into `entries`. Nothing is chosen when
// the user closes the box (Esc, [ Cancel ]), when `entries` is empty and when
// input ends. Keys: Up, Down, PgUp, PgDn, Home, End, a letter jumps to the
// next entry starting with it, Enter accepts, Esc cancels; the wheel scrolls;
// the mouse acts on the left button's release.

// One entry: Enter or a click on an entry chooses it.
std::optional<std::size_t> ChooseOne(Console& console, std::string_view caption,
                                     std::string_view title,
                                     const std::vector<std::string>& entries,
                                     std::size_t initial = 0);

// Several entries: Space marks or unmarks the highlighted one, a click marks
// an entry alone, Ctrl+click toggles its mark; Enter or [ OK ] accepts the
// marked entries, or the highlighted one when none is marked. The indices come
// in ascending order; empty when nothing was chosen.
std::vector<std::size_t> ChooseSeveral(Console& console, std::string_view caption,
                                       std::string_view title,
                                       const std::vector<std::string>& entries,
                                       std::size_t initial = 0);

}  // namespace quillmore::console
