// A modal list box drawn over the console screen, for choosing one entry or
// several. The screen under the box is restored when it closes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"

namespace quillmore::console {

inline constexpr int kChooseOne = 0;
inline constexpr int kChooseSeveral = 3;

// Shows `entries` (numbered from 1) under `title` and `caption` with entry
// `initialEntry` highlighted (clamped to the list) and waits for the user.
// `selectionMode` kChooseOne: returns the chosen entry's text. kChooseSeveral
// (any other value counts as kChooseOne): returns the 1-based numbers of the
// marked entries in ascending decimal, separated by one NUL each, or the
// highlighted entry's number when none is marked. Returns empty text when the
// user closes the box without a choice, when `entries` is empty and when input
// ends. Keys: Up, Down, PgUp, PgDn, Home, End, a letter jumps, Enter accepts,
// Esc cancels, Space marks (kChooseSeveral). Mouse, acting on the left button's
// release: a click on an entry chooses it (kChooseOne) or marks it alone,
// Ctrl+click toggles its mark (kChooseSeveral); [ OK ] and [ Cancel ] at the
// foot; the wheel scrolls.
// `layout`, `placementX`, `placementY` and `reserved` are accepted for the call
// sites' sake and ignored: the box is always centred.
std::string ConsoleListBox(Console& console, int layout, int placementX, int placementY,
                           std::string_view caption, std::string_view title,
                           const std::vector<std::string>& entries, int initialEntry,
                           int selectionMode, int reserved);

}  // namespace quillmore::console
