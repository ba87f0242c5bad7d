#include "console/console_colors.h"

#include <array>

namespace quillmore::console {

int AnsiColor(int consoleColor) {
  // Swapping the blue and red bits is the whole difference.
  constexpr std::array<int, 8> kAnsiOf = {0, 4, 2, 6, 1, 5, 3, 7};
  return kAnsiOf[static_cast<std::size_t>(consoleColor & 7)] | (consoleColor & 8);
}

}  // namespace quillmore::console
