// Helpers of the fuzz targets: a failed check aborts with a message (libFuzzer
// then keeps the input), and inputs that stand for several files are cut at a
// marker line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

namespace quillmore::fuzz {

inline void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
  }
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The line that separates the parts of a several-file input.
inline constexpr std::string_view kSectionMarker = "\n--8<--\n";

// `input` cut at the first count - 1 markers; parts the input does not reach
// are nullopt (a missing file), the last part takes the rest.
inline std::vector<std::optional<std::string_view>> Sections(std::string_view input,
                                                             std::size_t count) {
  std::vector<std::optional<std::string_view>> parts(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t marker = i + 1 < count ? input.find(kSectionMarker) : std::string_view::npos;
    parts[i] = input.substr(0, marker);
    if (marker == std::string_view::npos) break;
    input.remove_prefix(marker + kSectionMarker.size());
  }
  return parts;
}

}  // namespace quillmore::fuzz
