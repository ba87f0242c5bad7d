// The field masks on any mask and any float bit patterns. Input: byte 0 the
// number of values (mod 9), four bytes per value, the rest the mask. The two
// table masks are checked against an independent rendering through printf's
// exact 18 digits; any mask renders alike through FormatUsing and ParsedMask.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "output/number_mask.h"
#include "output/table_writer.h"

namespace {

using quillmore::fuzz::Check;

// "sD.D...E+XX" with `after` digits after the point.
std::string Reference(float value, int after) {
  const auto keep = static_cast<std::size_t>(1 + after);
  std::string kept(keep, '0');
  int exponent = 0;
  if (std::isinf(value)) {
    kept[0] = '1';
    exponent = 999;
  } else if (!std::isnan(value) && value != 0) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17e", std::fabs(static_cast<double>(value)));
    const std::string digits = std::string(1, text[0]) + std::string(text + 2, 17);
    exponent = std::atoi(text + 20);  // after the e: sign and digits
    kept = digits.substr(0, keep);
    const std::string rest = digits.substr(keep);
    const bool up =
        rest[0] > '5' || (rest[0] == '5' && (rest.find_first_not_of('0', 1) != std::string::npos ||
                                             (kept.back() - '0') % 2 == 1));
    if (up) {
      std::size_t i = keep;
      while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
      if (i == 0) {
        kept[0] = '1';
        ++exponent;
      } else {
        ++kept[i - 1];
      }
    }
  }
  const bool negative = std::signbit(value) && !std::isnan(value) && value != 0;
  const int magnitude = std::abs(exponent);
  return std::string(1, negative ? '-' : ' ') + kept[0] + '.' + kept.substr(1) + 'E' +
         (exponent < 0 ? '-' : '+') + (magnitude < 10 ? "0" : "") + std::to_string(magnitude);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillmore::output;
  if (size == 0) return 0;
  std::vector<float> values(std::min<std::size_t>(data[0] % 9, (size - 1) / 4));
  if (!values.empty()) std::memcpy(values.data(), data + 1, values.size() * sizeof(float));
  const std::string_view mask =
      quillmore::fuzz::AsText(data + 1 + values.size() * 4, size - 1 - values.size() * 4);

  std::string formatted;
  FormatUsing(mask, values, formatted);
  std::string parsed;
  ParsedMask(mask).Append(values, parsed);
  Check(parsed == formatted, "a parsed mask renders as FormatUsing does");

  for (std::size_t i = 0; i < values.size(); ++i) {
    Check(FormatUsing(kTimeMask, {values[i]}) == Reference(values[i], 1), "the time mask");
    const float next = values[(i + 1) % values.size()];
    Check(FormatUsing(kPairMask, {values[i], next}) ==
              Reference(values[i], 2) + Reference(next, 2) + " ",
          "the coefficient pair mask");
  }
  if (size >= 9) {
    std::int64_t whole = 0;
    std::memcpy(&whole, data + 1, sizeof whole);
    Check(SignedNumberText(whole) == (whole < 0 ? "" : " ") + std::to_string(whole),
          "signed number text");
  }
  return 0;
}
