// The program's 8-bit text is Windows-1252; terminals speak Unicode. These are
// the only conversions between the two.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillmore::base {

// The Unicode code point of a Windows-1252 byte. The five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of
// the same value, as Windows does.
char32_t Cp1252ToUnicode(unsigned char byte);
// The Windows-1252 byte for a code point; std::nullopt when it has none.
std::optional<unsigned char> UnicodeToCp1252(char32_t code);
// Windows-1252 text as UTF-8.
std::string Cp1252ToUtf8(std::string_view text);

}  // namespace quillmore::base
