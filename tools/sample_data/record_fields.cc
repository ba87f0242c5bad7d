#include "sample_data/record_fields.h"

#include <charconv>
#include <cstring>

namespace quillmore::tools {
namespace {

constexpr auto kScientific = std::chars_format::scientific;
constexpr auto kFixed = std::chars_format::fixed;

// Formats into a scratch buffer as printf's "%.<precision>E" (scientific) or
// "%.<precision>f" would, and returns the length. to_chars is exact like
// printf but several times faster, which matters for the large sets.
std::size_t Print(char (&text)[40], double value, std::chars_format format, int precision) {
  const auto result = std::to_chars(text, text + sizeof text, value, format, precision);
  if (result.ec != std::errc()) return 0;
  const auto length = static_cast<std::size_t>(result.ptr - text);
  for (std::size_t i = 0; i < length; ++i) {
    if (text[i] == 'e') text[i] = 'E';
  }
  return length;
}

void ReplaceExponentLetter(char* text, std::size_t length, char letter) {
  for (std::size_t i = 0; i < length; ++i) {
    if (text[i] == 'E') text[i] = letter;
  }
}

// Places `length` characters of `text` into a blank field of `width`,
// right-aligned, or after `leadingBlanks` blanks when that is not negative.
void Place(const char* text, std::size_t length, std::size_t width, int leadingBlanks,
           char* field) {
  std::memset(field, ' ', width);
  if (length > width) length = width;  // callers keep within the width; never overrun
  std::size_t start = width - length;
  if (leadingBlanks >= 0 && static_cast<std::size_t>(leadingBlanks) + length <= width) {
    start = static_cast<std::size_t>(leadingBlanks);
  }
  std::memcpy(field + start, text, length);
}

}  // namespace

double RoundToThreeDigits(double value) {
  char text[40];
  const std::size_t length = Print(text, value, kScientific, 2);
  double rounded = value;
  std::from_chars(text, text + length, rounded);
  return rounded;
}

void WriteTimeField(double days, unsigned variant, char* field) {
  char text[40];
  std::size_t length = 0;
  switch (variant % 4) {
    case 1:
    case 2:
      length = Print(text, days, kScientific, 3);
      if (variant % 4 == 2) ReplaceExponentLetter(text, length, 'D');
      break;
    case 3:
      // Fixed point only where it keeps all three digits and fits nine places.
      if (days >= 0.01 && days < 1000)
        length = Print(text, days, kFixed, 5);
      else if (days >= 1000 && days < 1e7)
        length = Print(text, days, kFixed, 1);
      break;
    default:
      break;
  }
  if (length == 0 || length > kTimeFieldWidth) length = Print(text, days, kScientific, 2);
  Place(text, length, kTimeFieldWidth, -1, field);
}

void WriteRateField(double rate, unsigned variant, char* field) {
  if (rate < kSmallestRate) rate = 0;
  char text[40];
  std::size_t length = 0;
  int leadingBlanks = -1;
  switch (variant % 4) {
    case 0:
    case 1:
      length = Print(text, rate, kScientific, 3);
      if (variant % 4 == 1) ReplaceExponentLetter(text, length, 'D');
      break;
    case 2:
      length = Print(text, rate, kScientific, 2);
      break;
    default:
      length = Print(text, rate, kScientific, 2);
      leadingBlanks = 1;  // a trailing blank ends the number just as well
      break;
  }
  Place(text, length, kRateFieldWidth, leadingBlanks, field);
}

void WriteIntegerField(long long value, std::size_t width, bool leftAligned, char* field) {
  char text[40];
  const auto result = std::to_chars(text, text + sizeof text, value);
  const auto length = static_cast<std::size_t>(result.ptr - text);
  Place(text, length, width, leftAligned ? 0 : -1, field);
}

void WriteTextField(std::string_view text, std::size_t width, char* field) {
  std::memset(field, ' ', width);
  std::memcpy(field, text.data(), text.size() < width ? text.size() : width);
}

}  // namespace quillmore::tools
