// Numbers as text: field masks for the coefficient tables ("##.#^^^^",
// "##.##^^^^##.##^^^^ ") and signed whole numbers for counts and ages.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace quillmore::output {

// Appends `values` rendered by `mask` to `out`. A numeric field is a run of '#',
// at most one '.', then 3 to 6 '^' (exponent form); it takes the next value.
// Every other mask character is literal text, copied before the first field,
// after each rendered field up to the next field, and again when the mask
// restarts for remaining values. Each field renders as: blanks for '#' beyond
// two before the point, the sign position (' ' or '-'), one digit, the point,
// one digit per '#' after it, 'E', the exponent sign and |exponent| zero-filled
// to (carets - 2) digits, growing when it needs more. Digits come from the
// exact value of the float rounded to 18 significant digits and then to the
// field's digits, an exact tie going to the even digit. Zero, negative zero
// and NaN render as zero; infinity as 1.0E+999 (with '-' when negative). A
// '#'/'.' run without 3 carets is literal text; a mask without any field is
// copied once and the values are ignored. Allocates only when `out` grows.
void FormatUsing(std::string_view mask, std::span<const float> values, std::string& out);
// The same, returning the text.
std::string FormatUsing(std::string_view mask, std::initializer_list<float> values);

// ' ' for zero or more, '-' for a negative value, then the decimal digits
// without leading zeros: 0 -> " 0", 3650 -> " 3650", -4 -> "-4".
std::string SignedNumberText(std::int64_t value);

}  // namespace quillmore::output
