#include "input/numeric_field.h"

#include <array>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "base/powers_of_ten.h"
#include "base/text.h"

namespace quillmore::input {
namespace {

constexpr int kSignificantDigits = 18;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Value of `c` as a digit of `base`, or -1.
int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9')
    value = c - '0';
  else if (c >= 'a' && c <= 'z')
    value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'Z')
    value = c - 'A' + 10;
  return value < base ? value : -1;
}

// 10^exponent at extended precision; exact up to 10^27, so that the scaling
// below rounds once, as a product or quotient of exact operands.
long double PowerOfTen(int exponent) {
  if (exponent >= 0 && exponent <= base::kMaxExactPowerOfTen)
    return base::kPowersOfTen[static_cast<std::size_t>(exponent)];
  return std::pow(10.0L, static_cast<long double>(exponent));
}

// A power of ten that is finite at extended precision with room to spare.
constexpr int kSplitPower = 4096;

// "&H1F", "&O17", "&Q17", "&B101", "&17": an unsigned integer in base 16, 8 or 2.
long double ReadBased(std::string_view field, std::size_t pos) {
  int base = 8;
  if (pos < field.size()) {
    switch (field[pos]) {
      case 'H':
      case 'h':
        base = 16;
        ++pos;
        break;
      case 'O':
      case 'o':
      case 'Q':
      case 'q':
        base = 8;
        ++pos;
        break;
      case 'B':
      case 'b':
        base = 2;
        ++pos;
        break;
      default:
        break;
    }
  }
  long double value = 0.0L;
  for (; pos < field.size(); ++pos) {
    const int digit = DigitValue(field[pos], base);
    if (digit < 0) break;
    value = value * base + digit;
  }
  return value;
}

// Position of the first character after the blanks, tabs, CRs and LFs that lead a field.
std::size_t SkipLeadingSpace(std::string_view field) {
  std::size_t pos = 0;
  while (pos < field.size() &&
         (field[pos] == ' ' || field[pos] == '\t' || field[pos] == '\r' || field[pos] == '\n')) {
    ++pos;
  }
  return pos;
}

}  // namespace

bool StartsWithNumber(std::string_view field) {
  std::size_t pos = SkipLeadingSpace(field);
  if (pos < field.size() && field[pos] == '&') return true;
  if (pos < field.size() && (field[pos] == '+' || field[pos] == '-')) ++pos;
  if (pos < field.size() && field[pos] == '.') ++pos;
  return pos < field.size() && IsDigit(field[pos]);
}

namespace {

// The digits of a decimal from `pos`, with at most one point: the integer
// they make, the power of ten that scales it, and the position after them.
struct Digits {
  std::uint64_t mantissa = 0;
  int scale = 0;
  std::size_t end = 0;
};

// Every digit counted, as is right while there are at most 18 of them, which
// is nearly always; false for more, with `digits` unusable.
bool ReadFewDigits(std::string_view field, std::size_t pos, Digits& digits) {
  const std::size_t size = field.size();
  const std::size_t start = pos;
  std::uint64_t mantissa = 0;
  for (; pos < size && IsDigit(field[pos]); ++pos) {
    mantissa = mantissa * 10 + static_cast<std::uint64_t>(field[pos] - '0');
  }
  std::size_t count = pos - start;
  std::size_t fraction = 0;
  if (pos < size && field[pos] == '.') {
    const std::size_t fractionStart = ++pos;
    for (; pos < size && IsDigit(field[pos]); ++pos) {
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(field[pos] - '0');
    }
    fraction = pos - fractionStart;
    count += fraction;
  }
  if (count > static_cast<std::size_t>(kSignificantDigits)) return false;
  digits = {mantissa, -static_cast<int>(fraction), pos};
  return true;
}

// Up to 18 significant digits go into an exact integer mantissa; the
// position of the point and any further integer digits become the scale.
// Leading zeros are not significant, though after the point they scale.
Digits ReadManyDigits(std::string_view field, std::size_t pos) {
  std::uint64_t mantissa = 0;
  int digits = 0;
  int scale = 0;
  const std::size_t size = field.size();
  for (; pos < size && IsDigit(field[pos]); ++pos) {
    if (digits < kSignificantDigits) {
      if (mantissa != 0 || field[pos] != '0') {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(field[pos] - '0');
        ++digits;
      }
    } else {
      ++scale;
    }
  }
  if (pos < size && field[pos] == '.') {
    for (++pos; pos < size && IsDigit(field[pos]); ++pos) {
      if (digits < kSignificantDigits) {
        if (mantissa != 0 || field[pos] != '0') {
          mantissa = mantissa * 10 + static_cast<std::uint64_t>(field[pos] - '0');
          ++digits;
        }
        --scale;
      }
    }
  }
  return {mantissa, scale, pos};
}

// The exponent that may follow the digits at `pos`: E, e, D or d, an optional
// sign and digits; 0 without one.
int ReadExponent(std::string_view field, std::size_t pos) {
  if (pos >= field.size() ||
      !(field[pos] == 'E' || field[pos] == 'e' || field[pos] == 'D' || field[pos] == 'd')) {
    return 0;
  }
  std::size_t expPos = pos + 1;
  bool expNegative = false;
  if (expPos < field.size() && (field[expPos] == '+' || field[expPos] == '-')) {
    expNegative = field[expPos] == '-';
    ++expPos;
  }
  int exponent = 0;
  for (; expPos < field.size() && IsDigit(field[expPos]); ++expPos) {
    // Beyond this the value is 0 or infinite anyway; stop growing.
    if (exponent < 100000) exponent = exponent * 10 + (field[expPos] - '0');
  }
  return expNegative ? -exponent : exponent;
}

}  // namespace

long double ReadNumber(std::string_view field) {
  std::size_t pos = SkipLeadingSpace(field);
  if (pos < field.size() && field[pos] == '&') return ReadBased(field, pos + 1);

  bool negative = false;
  if (pos < field.size() && (field[pos] == '+' || field[pos] == '-')) {
    negative = field[pos] == '-';
    ++pos;
  }
  Digits digits;
  if (!ReadFewDigits(field, pos, digits)) digits = ReadManyDigits(field, pos);
  const std::uint64_t mantissa = digits.mantissa;
  int scale = digits.scale + ReadExponent(field, digits.end);
  // At most 18 digits: below 2^63, so the signed conversion is exact and
  // spares the unsigned one's correction.
  long double value = static_cast<long double>(static_cast<std::int64_t>(mantissa));
  if (mantissa != 0 && scale > 0) value *= PowerOfTen(scale);
  if (mantissa != 0 && scale < 0) {
    // Powers beyond about 10^4932 overflow, yet an 18-digit mantissa over one
    // can still be a normal extended value: divide in two steps then.
    if (scale < -kSplitPower) {
      value /= PowerOfTen(kSplitPower);
      scale += kSplitPower;
    }
    value /= PowerOfTen(-scale);
  }
  return negative ? -value : value;
}

std::size_t NumberLength(std::string_view field) {
  if (!StartsWithNumber(field)) return 0;
  std::size_t pos = SkipLeadingSpace(field);
  if (field[pos] == '&') {
    // The base letter, then the digits of that base.
    int base = 8;
    ++pos;
    if (pos < field.size()) {
      const char letter = base::AsciiLower(field[pos]);
      if (letter == 'h' || letter == 'o' || letter == 'q' || letter == 'b') {
        base = letter == 'h' ? 16 : letter == 'b' ? 2 : 8;
        ++pos;
      }
    }
    while (pos < field.size() && DigitValue(field[pos], base) >= 0) ++pos;
    return pos;
  }
  if (field[pos] == '+' || field[pos] == '-') ++pos;
  bool seenPoint = false;
  for (; pos < field.size(); ++pos) {
    if (field[pos] == '.' && !seenPoint) {
      seenPoint = true;
    } else if (!IsDigit(field[pos])) {
      break;
    }
  }
  if (pos < field.size() && std::string_view("EeDd").find(field[pos]) != std::string_view::npos) {
    std::size_t expPos = pos + 1;
    if (expPos < field.size() && (field[expPos] == '+' || field[expPos] == '-')) ++expPos;
    if (expPos < field.size() && IsDigit(field[expPos])) {
      while (expPos < field.size() && IsDigit(field[expPos])) ++expPos;
      pos = expPos;
    }
  }
  return pos;
}

std::int32_t RoundToInt32(long double value) {
  if (std::isnan(value)) return 0;
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  // nearbyint rounds ties to even in the default rounding mode, which we never change.
  const long double rounded = std::nearbyint(value);
  if (rounded >= static_cast<long double>(kMax)) return kMax;
  if (rounded <= static_cast<long double>(kMin)) return kMin;
  return static_cast<std::int32_t>(rounded);
}

std::int32_t ReadInteger(std::string_view field) {
  return RoundToInt32(ReadNumber(field));
}

double ReadDouble(std::string_view field) {
  return static_cast<double>(ReadNumber(field));
}

}  // namespace quillmore::input
