// Fixed-width fields of the sample data files, written in place into a record
// buffer. Each writer fills exactly its width and never writes past it.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillmore::tools {

inline constexpr std::size_t kTimeFieldWidth = 9;
inline constexpr std::size_t kRateFieldWidth = 10;
// Rates below this are written as zero (they would need three exponent digits
// and mean nothing next to the rest of the curve).
inline constexpr double kSmallestRate = 1e-24;

// Writes a time in days into `field` (kTimeFieldWidth characters) in one of
// four notations chosen by `variant` (0-3): " 1.23E-03", "1.230E-03",
// "1.230D-03" or fixed point ("  0.01230", "  36500.0") where that is exact.
// Exact for values with at most three significant digits in [1e-9, 1e7).
void WriteTimeField(double days, unsigned variant, char* field);

// Writes a rate into `field` (kRateFieldWidth characters), always with a
// leading blank, in one of four notations chosen by `variant` (0-3):
// " 1.234E-12", " 1.234D-12", "  1.23E-12" or " 1.23E-12 ". Rates below
// kSmallestRate are written as zero.
void WriteRateField(double rate, unsigned variant, char* field);

// Writes `value` into `width` characters, right-aligned (or left-aligned when
// `leftAligned`). The value must fit.
void WriteIntegerField(long long value, std::size_t width, bool leftAligned, char* field);

// Copies `text` into `width` characters, blank-padded or cut.
void WriteTextField(std::string_view text, std::size_t width, char* field);

// `value` rounded to three significant digits (as "%.2E" prints it).
double RoundToThreeDigits(double value);

}  // namespace quillmore::tools
