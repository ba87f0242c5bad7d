#include "plot/png_file.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quillmore::plot {

namespace {

void Append(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))
      ->append(reinterpret_cast<const char*>(data), length);
}

void Flush(png_structp) {}

// The libpng calls alone, since an error comes back by longjmp to here:
// nothing in this frame has a destructor to skip.
bool Encode(png_structp png, png_infop info, png_uint_32 width, png_uint_32 height, png_bytepp rows,
            png_textp texts, int textCount, int dpi, std::string* bytes) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, bytes, Append, Flush);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  const auto perMetre = static_cast<png_uint_32>(std::lround(dpi / 0.0254));
  png_set_pHYs(png, info, perMetre, perMetre, PNG_RESOLUTION_METER);
  png_set_text(png, info, texts, textCount);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  return true;
}

}  // namespace

base::Result<std::string> EncodePng(const ArgbImage& image, int dpi,
                                    const std::vector<std::pair<std::string, std::string>>& texts) {
  const auto width = static_cast<std::size_t>(image.width);
  const auto height = static_cast<std::size_t>(image.height);
  const auto stride = static_cast<std::size_t>(image.stride);
  std::vector<png_byte> rgb(width * 3 * height);
  std::vector<png_bytep> rows;
  for (std::size_t y = 0; y < height; ++y) {
    for (std::size_t x = 0; x < width; ++x) {
      std::uint32_t pixel = 0;  // opaque: the figure paints its background first
      std::memcpy(&pixel, image.data + y * stride + x * 4, 4);
      png_byte* out = &rgb[(y * width + x) * 3];
      out[0] = static_cast<png_byte>(pixel >> 16);
      out[1] = static_cast<png_byte>(pixel >> 8);
      out[2] = static_cast<png_byte>(pixel);
    }
    rows.push_back(&rgb[y * width * 3]);
  }
  std::vector<png_text> chunks(texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::string& text = texts[i].second;
    // tEXt holds Latin-1; UTF-8 beyond ASCII goes into an iTXt chunk.
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    chunks[i].compression = ascii ? PNG_TEXT_COMPRESSION_NONE : PNG_ITXT_COMPRESSION_NONE;
    chunks[i].key = const_cast<char*>(texts[i].first.c_str());
    chunks[i].text = const_cast<char*>(text.c_str());
    (ascii ? chunks[i].text_length : chunks[i].itxt_length) = text.size();
  }
  std::string bytes;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png == nullptr ? nullptr : png_create_info_struct(png);
  const bool encoded =
      info != nullptr &&
      Encode(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
             rows.data(), chunks.data(), static_cast<int>(chunks.size()), dpi, &bytes);
  png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
  if (!encoded) return base::Status::IoError("libpng could not encode the figure");
  return bytes;
}

}  // namespace quillmore::plot
