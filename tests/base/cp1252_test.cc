#include "base/cp1252.h"

#include <gtest/gtest.h>

namespace quillmore::base {
namespace {

TEST(Cp1252, EveryByteGoesToUnicodeAndBack) {
  for (int byte = 0; byte < 256; ++byte) {
    const char32_t code = Cp1252ToUnicode(static_cast<unsigned char>(byte));
    ASSERT_EQ(UnicodeToCp1252(code), static_cast<unsigned char>(byte)) << byte;
  }
  EXPECT_EQ(Cp1252ToUnicode(0x80), U'\u20AC');
  EXPECT_EQ(Cp1252ToUnicode(0x9F), U'\u0178');
  EXPECT_EQ(Cp1252ToUnicode(0xE9), U'\u00E9');
  EXPECT_EQ(UnicodeToCp1252(U'\u0100'), std::nullopt);
  EXPECT_EQ(UnicodeToCp1252(U'\u263A'), std::nullopt);
  EXPECT_EQ(UnicodeToCp1252(0x1F600), std::nullopt);
}

TEST(Cp1252, Utf8OfOneTwoAndThreeByteCharacters) {
  EXPECT_EQ(Cp1252ToUtf8("Quillmore  Ver. 1.2"), "Quillmore  Ver. 1.2");
  EXPECT_EQ(Cp1252ToUtf8("\xe9\x80\xb5"), "\xc3\xa9\xe2\x82\xac\xc2\xb5");
}

}  // namespace
}  // namespace quillmore::base
