#include "console/display_glyph.h"

#include <gtest/gtest.h>

#include "console/console_colors.h"

namespace quillmore::console {
namespace {

TEST(DisplayGlyph, ControlBytesAreDrawnNotObeyed) {
  EXPECT_EQ(DisplayGlyph(0), U' ');
  EXPECT_EQ(DisplayGlyph(1), U'\u263A');
  EXPECT_EQ(DisplayGlyph('\n'), U'\u25D9');
  EXPECT_EQ(DisplayGlyph(0x7F), U'\u2302');
  EXPECT_EQ(DisplayGlyph(0x81), U'?');
  EXPECT_EQ(DisplayGlyph('A'), U'A');
  EXPECT_EQ(DisplayGlyph(0x80), U'\u20AC');
  for (int byte = 0; byte < 256; ++byte) {
    const char32_t glyph = DisplayGlyph(static_cast<unsigned char>(byte));
    EXPECT_FALSE(glyph < 0x20 || (glyph >= 0x7F && glyph < 0xA0)) << "control shown for " << byte;
  }
}

TEST(ConsoleColors, PcOrderMapsToAnsiOrder) {
  EXPECT_EQ(AnsiColor(1), 4) << "blue";
  EXPECT_EQ(AnsiColor(4), 1) << "red";
  EXPECT_EQ(AnsiColor(2), 2) << "green";
  EXPECT_EQ(AnsiColor(6), 3) << "brown";
  EXPECT_EQ(AnsiColor(14), 11) << "yellow";
  EXPECT_EQ(AnsiColor(15), 15);
  EXPECT_EQ(AnsiColor(0), 0);
  bool seen[16] = {};
  for (int c = 0; c < 16; ++c) {
    const int ansi = AnsiColor(c);
    ASSERT_TRUE(ansi >= 0 && ansi < 16);
    EXPECT_FALSE(seen[ansi]) << "two console colours on ANSI " << ansi;
    seen[ansi] = true;
    EXPECT_EQ(ansi >= 8, c >= 8) << "brightness kept";
  }
}

}  // namespace
}  // namespace quillmore::console
