// PNG bytes written with libpng, which (unlike cairo) keeps text chunks and
// the resolution.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/result.h"

namespace quillmore::plot {

// An opaque image of 0xAARRGGBB pixels, `stride` bytes a row (cairo's ARGB32).
struct ArgbImage {
  const unsigned char* data = nullptr;
  int width = 0, height = 0, stride = 0;
};

// `image` as an 8-bit RGB PNG with a pHYs chunk of `dpi` and one text chunk
// per (keyword, UTF-8 text) pair (tEXt for ASCII, else iTXt).
base::Result<std::string> EncodePng(const ArgbImage& image, int dpi,
                                    const std::vector<std::pair<std::string, std::string>>& texts);

}  // namespace quillmore::plot
