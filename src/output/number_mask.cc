#include "output/number_mask.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "base/powers_of_ten.h"

namespace quillmore::output {
namespace {

constexpr int kSignificantDigits = 18;
constexpr int kMinCarets = 3;
constexpr int kMaxCarets = 6;
constexpr int kInfinityExponent = 999;

using Field = MaskField;

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

// Appends the literal text from `position` up to the next field and returns
// that field, `position` left at its start; none when the mask ends first.
std::optional<Field> NextField(std::string_view mask, std::size_t& position, std::string& out) {
  const std::size_t literalStart = position;
  std::optional<Field> field;
  while (position < mask.size() && !(field = FieldAt(mask, position))) ++position;
  out.append(mask.substr(literalStart, position - literalStart));
  return field;
}

using base::kMaxPowerOfTen;
using base::kPowersOfTen;

// The fast path keeps at most this many digits and leaves values within this
// distance of a rounding half (in units of the last kept digit) to the exact
// path. The scaling below is one double multiplication or division by a power
// of ten that is itself within about one rounding of exact: a relative error
// below 3e-16, so under 3e-10 units for a scaled value below 10^6, and the
// 18-digit step moves a value by at most 10^-12 units; both stay far inside
// the margin, so every value the fast path decides rounds as the exact digits do.
constexpr int kFastDigits = 6;
constexpr double kTieMargin = 1e-7;

// The powers of ten as doubles: exact up to 10^22, beyond within one rounding.
constexpr std::array<double, kMaxPowerOfTen + 1> kDoublePowersOfTen = [] {
  std::array<double, kMaxPowerOfTen + 1> powers{};
  for (std::size_t i = 0; i < powers.size(); ++i) powers[i] = static_cast<double>(kPowersOfTen[i]);
  return powers;
}();

// value x 10^shift, by one multiplication or division by an exact or nearly
// exact power; |shift| <= kMaxPowerOfTen.
double ScaledByPowerOfTen(double value, int shift) {
  return shift >= 0 ? value * kDoublePowersOfTen[static_cast<std::size_t>(shift)]
                    : value / kDoublePowersOfTen[static_cast<std::size_t>(-shift)];
}

// The first `keep` digits of `magnitude`, rounded, from a double scaling.
// Returns false when the value is too near a rounding half for the scaling to
// decide; the caller then takes the exact digits.
bool FastRoundedDigits(float magnitude, int keep, std::array<char, kSignificantDigits>& digits,
                       int& exponent) {
  const double value = magnitude;
  // frexp's exponent and floor, without the library calls: a float is a
  // normal double, so the biased exponent field gives it directly.
  const int binaryExponent =
      static_cast<int>((std::bit_cast<std::uint64_t>(value) >> 52) & 0x7ff) - 1022;
  // A lower bound of the decimal exponent, off by at most one: the value lies
  // in [2^(b-1), 2^b), so its logarithm is below the bound's plus log10(2).
  const double estimate = (binaryExponent - 1) * 0.30102999566398120;
  int decimal = static_cast<int>(estimate);
  if (estimate < decimal) --decimal;
  const double lower = kDoublePowersOfTen[static_cast<std::size_t>(keep - 1)];
  const double upper = kDoublePowersOfTen[static_cast<std::size_t>(keep)];
  const int shift = keep - 1 - decimal;
  if (shift > kMaxPowerOfTen || 1 - shift > kMaxPowerOfTen) return false;
  // Both candidate scalings, then a choice rather than a branch: which one
  // holds the digits is a coin toss from value to value.
  const double atEstimate = ScaledByPowerOfTen(value, shift);
  const double decadeUp = ScaledByPowerOfTen(value, shift - 1);
  const bool raised = atEstimate >= upper;
  const double scaled = raised ? decadeUp : atEstimate;
  decimal += raised ? 1 : 0;
  if (scaled < lower || scaled >= upper) return false;
  auto kept = static_cast<std::int64_t>(scaled);  // truncation: scaled is positive
  const double fraction = scaled - static_cast<double>(kept);
  if (std::fabs(fraction - 0.5) < kTieMargin) return false;
  kept += fraction > 0.5 ? 1 : 0;
  if (static_cast<double>(kept) == upper) {  // carry out of the first digit
    kept = static_cast<std::int64_t>(lower);
    ++decimal;
  }
  for (int i = keep - 1; i >= 0; --i) {
    digits[static_cast<std::size_t>(i)] = static_cast<char>(kept % 10);
    kept /= 10;
  }
  exponent = decimal;
  return true;
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

int DecimalLength(unsigned value) {
  int length = 1;
  while (value >= 10) value /= 10, ++length;
  return length;
}

// The most characters RenderField writes for `field`: a float's decimal
// exponent has at most 2 digits, infinity's 3.
std::size_t FieldRoom(const Field& field) {
  return static_cast<std::size_t>(std::max(field.before - 2, 0) + 2 + (field.hasPoint ? 1 : 0) +
                                  field.after + 2 + std::max(field.carets - 2, 3));
}

// Writes `value` rendered by `field` at `at` (FieldRoom(field) bytes); returns its end.
char* RenderField(const Field& field, float value, char* at) {
  std::array<char, kSignificantDigits> digits{};
  int exponent = 0;
  // NaN and both zeros render as zero, with a blank sign position.
  const bool negative = std::signbit(value) && !std::isnan(value) && value != 0.0f;
  if (std::isinf(value)) {
    digits[0] = 1;
    exponent = kInfinityExponent;
  } else if (!std::isnan(value) && value != 0.0f) {
    const int keep = 1 + field.after;
    if (keep > kFastDigits || !FastRoundedDigits(std::fabs(value), keep, digits, exponent)) {
      EighteenDigits(std::fabs(value), digits, exponent);
      RoundDigits(digits, keep, exponent);
    }
  }
  const unsigned magnitude = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
  const int exponentDigits = std::max(field.carets - 2, DecimalLength(magnitude));
  char* p = std::fill_n(at, std::max(field.before - 2, 0), ' ');
  *p++ = negative ? '-' : ' ';
  *p++ = static_cast<char>('0' + digits[0]);
  if (field.hasPoint) *p++ = '.';
  for (int i = 1; i <= field.after; ++i) {
    *p++ =
        static_cast<char>('0' + (i < kSignificantDigits ? digits[static_cast<std::size_t>(i)] : 0));
  }
  *p++ = 'E';
  *p++ = exponent < 0 ? '-' : '+';
  unsigned rest = magnitude;
  for (char* q = p + exponentDigits; q != p; rest /= 10) *--q = static_cast<char>('0' + rest % 10);
  return p + exponentDigits;
}

void RenderField(const Field& field, float value, std::string& out) {
  const std::size_t start = out.size();
  out.resize(start + FieldRoom(field));
  out.resize(static_cast<std::size_t>(RenderField(field, value, out.data() + start) - out.data()));
}

char* Put(std::string_view text, char* at) {
  return std::copy(text.begin(), text.end(), at);
}

}  // namespace

void FormatUsing(std::string_view mask, std::span<const float> values, std::string& out) {
  std::size_t position = 0;
  std::optional<Field> field = NextField(mask, position, out);
  if (!field) return;  // no field: nothing would take a value
  for (const float value : values) {
    if (!field) {  // end of the mask: start again
      position = 0;
      field = NextField(mask, position, out);
    }
    RenderField(*field, value, out);
    position = field->end;
    field = NextField(mask, position, out);
  }
}

ParsedMask::ParsedMask(std::string_view mask) {
  std::string ignored;
  std::size_t position = 0;
  while (true) {
    const std::size_t start = position;
    const std::optional<Field> field = NextField(mask, position, ignored);
    const std::string_view literal = mask.substr(start, position - start);
    if (!field) {
      trailing_ = literal;
      return;
    }
    segments_.push_back({literal, *field});
    cycleRoom_ += literal.size() + FieldRoom(*field);
    position = field->end;
  }
}

// The walk of FormatUsing over the parsed segments: literal, field, ...,
// trailing text, restarting at the first literal for further values.
void ParsedMask::Append(std::span<const float> values, std::string& out) const {
  if (segments_.empty()) {
    out.append(trailing_);
    return;
  }
  // Room for every pass over the mask, then one cut to what was written.
  const std::size_t passes =
      std::max<std::size_t>(1, (values.size() + segments_.size() - 1) / segments_.size());
  const std::size_t start = out.size();
  out.resize(start + passes * (cycleRoom_ + trailing_.size()));
  char* p = Put(segments_[0].literal, out.data() + start);
  std::size_t i = 0;
  for (const float value : values) {
    if (i == segments_.size()) {
      i = 0;
      p = Put(segments_[0].literal, p);
    }
    p = RenderField(segments_[i].field, value, p);
    ++i;
    p = Put(i < segments_.size() ? segments_[i].literal : trailing_, p);
  }
  out.resize(static_cast<std::size_t>(p - out.data()));
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
