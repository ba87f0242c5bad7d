#include "console/display_glyph.h"

#include <array>

#include "base/cp1252.h"

namespace quillmore::console {
namespace {

// PC console glyphs for bytes 0x00..0x1F.
constexpr std::array<char32_t, 32> kControlGlyphs = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,  //
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,  //
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,  //
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC};

}  // namespace

char32_t DisplayGlyph(unsigned char byte) {
  if (byte < 0x20) return kControlGlyphs[byte];
  if (byte == 0x7F) return 0x2302;
  const char32_t code = base::Cp1252ToUnicode(byte);
  if (code >= 0x80 && code < 0xA0) return U'?';
  return code;
}

}  // namespace quillmore::console
