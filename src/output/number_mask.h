// Numbers as text: field masks for the coefficient tables ("##.#^^^^",
// "##.##^^^^##.##^^^^ ") and signed whole numbers for counts and ages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// One numeric field of a mask, as FormatUsing finds it.
struct MaskField {
  std::size_t end = 0;  // one past its last mask character
  int before = 0;       // '#' before the point
  int after = 0;        // '#' after the point
  int carets = 0;
  bool hasPoint = false;
};

// A mask parsed once, for the many values of a table: Append gives exactly
// what FormatUsing gives with the same mask. Keeps a view of `mask`, which
// must outlive it.
class ParsedMask {
 public:
  explicit ParsedMask(std::string_view mask);
  // Appends `values` rendered by the mask; allocates only when `out` grows.
  void Append(std::span<const float> values, std::string& out) const;

 private:
  struct Segment {
    std::string_view literal;  // the text before the field
    MaskField field;
  };
  std::vector<Segment> segments_;  // in mask order; empty for a mask without fields
  std::string_view trailing_;      // after the last field (the whole mask when none)
  std::size_t cycleRoom_ = 0;      // most text of one pass over the segments
};

// ' ' for zero or more, '-' for a negative value, then the decimal digits
// without leading zeros: 0 -> " 0", 3650 -> " 3650", -4 -> "-4".
std::string SignedNumberText(std::int64_t value);

}  // namespace quillmore::output
