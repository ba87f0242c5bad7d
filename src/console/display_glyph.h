// How the screen shows a byte of the program's Windows-1252 text.
#pragma once

namespace quillmore::console {

// What a screen cell holding `byte` shows: control bytes are drawn, not
// obeyed, with the glyphs PC consoles use for them (0 as a blank); the
// undefined bytes as '?'.
char32_t DisplayGlyph(unsigned char byte);

}  // namespace quillmore::console
