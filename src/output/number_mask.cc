#include "output/number_mask.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <optional>

namespace quillmore::output {
namespace {

constexpr int kSignificantDigits = 18;
constexpr int kMinCarets = 3;
constexpr int kMaxCarets = 6;
constexpr int kInfinityExponent = 999;

struct Field {
  std::size_t end = 0;  // one past its last mask character
  int before = 0;       // '#' before the point
  int after = 0;        // '#' after the point
  int carets = 0;
  bool hasPoint = false;
};

// The numeric field that starts at `start`, if one does.
std::optional<Field> FieldAt(std::string_view mask, std::size_t start) {
  Field field;
  std::size_t p = start;
  while (p < mask.size() && mask[p] == '#') ++p, ++field.before;
  if (p < mask.size() && mask[p] == '.') {
    field.hasPoint = true;
    ++p;
    while (p < mask.size() && mask[p] == '#') ++p, ++field.after;
  }
  while (p < mask.size() && mask[p] == '^' && field.carets < kMaxCarets) ++p, ++field.carets;
  if (field.before + field.after == 0 || field.carets < kMinCarets) return std::nullopt;
  field.end = p;
  return field;
}

// Copies literal text from `position` up to the next field; returns that
// field's start (mask.size() when none follows).
std::size_t CopyLiteral(std::string_view mask, std::size_t position, std::string& out) {
  while (position < mask.size() && !FieldAt(mask, position)) out += mask[position++];
  return position;
}

// Decimal digits (values 0-9) and exponent of a finite non-zero magnitude,
// correctly rounded to 18 significant digits. A float converts to double
// exactly, and to_chars with a precision is exact, whatever the FP mode.
void EighteenDigits(float magnitude, std::array<char, kSignificantDigits>& digits, int& exponent) {
  std::array<char, 32> text{};
  const auto result =
      std::to_chars(text.data(), text.data() + text.size(), static_cast<double>(magnitude),
                    std::chars_format::scientific, kSignificantDigits - 1);
  // Shape: D.DDDDDDDDDDDDDDDDDe[+-]XX
  digits[0] = static_cast<char>(text[0] - '0');
  for (int i = 1; i < kSignificantDigits; ++i) {
    digits[static_cast<std::size_t>(i)] =
        static_cast<char>(text[static_cast<std::size_t>(i + 1)] - '0');
  }
  const char* e = text.data() + kSignificantDigits + 1;  // the 'e'
  const bool negative = e[1] == '-';
  int value = 0;
  for (const char* p = e + 2; p < result.ptr; ++p) value = value * 10 + (*p - '0');
  exponent = negative ? -value : value;
}

// Rounds digits[0..keep) at digits[keep]: up above a half, to even on an
// exact half; a carry out of the first digit raises the exponent.
void RoundDigits(std::array<char, kSignificantDigits>& digits, int keep, int& exponent) {
  if (keep >= kSignificantDigits) return;
  const auto at = [&](int i) -> char& { return digits[static_cast<std::size_t>(i)]; };
  const int dropped = at(keep);
  bool restNonZero = false;
  for (int i = keep + 1; i < kSignificantDigits; ++i) restNonZero = restNonZero || at(i) != 0;
  const bool up = dropped > 5 || (dropped == 5 && (restNonZero || at(keep - 1) % 2 == 1));
  for (int i = keep; i < kSignificantDigits; ++i) at(i) = 0;
  if (!up) return;
  int i = keep - 1;
  while (i >= 0 && at(i) == 9) at(i--) = 0;
  if (i < 0) {
    at(0) = 1;
    ++exponent;
  } else {
    ++at(i);
  }
}

void AppendExponent(int exponent, int width, std::string& out) {
  out += 'E';
  out += exponent < 0 ? '-' : '+';
  unsigned magnitude = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
  std::array<char, 12> reversed{};
  int count = 0;
  do {
    reversed[static_cast<std::size_t>(count++)] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  for (int i = count; i < width; ++i) out += '0';
  while (count > 0) out += reversed[static_cast<std::size_t>(--count)];
}

void RenderField(const Field& field, float value, std::string& out) {
  std::array<char, kSignificantDigits> digits{};
  int exponent = 0;
  // NaN and both zeros render as zero, with a blank sign position.
  const bool negative = std::signbit(value) && !std::isnan(value) && value != 0.0f;
  if (std::isinf(value)) {
    digits[0] = 1;
    exponent = kInfinityExponent;
  } else if (!std::isnan(value) && value != 0.0f) {
    EighteenDigits(std::fabs(value), digits, exponent);
    RoundDigits(digits, 1 + field.after, exponent);
  }
  for (int i = 2; i < field.before; ++i) out += ' ';
  out += negative ? '-' : ' ';
  out += static_cast<char>('0' + digits[0]);
  if (field.hasPoint) out += '.';
  for (int i = 1; i <= field.after; ++i) {
    out +=
        i < kSignificantDigits ? static_cast<char>('0' + digits[static_cast<std::size_t>(i)]) : '0';
  }
  AppendExponent(exponent, field.carets - 2, out);
}

}  // namespace

void FormatUsing(std::string_view mask, std::span<const float> values, std::string& out) {
  std::size_t position = CopyLiteral(mask, 0, out);
  if (position == mask.size()) return;  // no field: nothing would take a value
  for (const float value : values) {
    if (position == mask.size()) position = CopyLiteral(mask, 0, out);
    const Field field = *FieldAt(mask, position);
    RenderField(field, value, out);
    position = CopyLiteral(mask, field.end, out);
  }
}

std::string FormatUsing(std::string_view mask, std::initializer_list<float> values) {
  std::string out;
  FormatUsing(mask, std::span<const float>(values.begin(), values.size()), out);
  return out;
}

std::string SignedNumberText(std::int64_t value) {
  // Unsigned arithmetic keeps the most negative value's magnitude.
  std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  std::array<char, 24> reversed{};
  std::size_t count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::string text(1, value < 0 ? '-' : ' ');
  while (count > 0) text += reversed[--count];
  return text;
}

}  // namespace quillmore::output
