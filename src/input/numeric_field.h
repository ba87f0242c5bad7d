// The one rule by which every number in the data files, the times file and
// list-box results is read from the start of a text field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillmore::input {

// Reads a number from the start of `field`: leading blanks, tabs, CRs and LFs
// skipped, an optional sign, digits with at most one point, an optional
// exponent (E, e, D or d, optional sign, digits). "&H", "&O", "&Q", "&B" or a
// bare "&" introduce a hexadecimal, octal, octal, binary or octal integer.
// Reading stops at the first character that cannot continue the number; a
// field without a number reads as 0. At most 18 significant digits count;
// later ones only scale. Does not allocate.
long double ReadNumber(std::string_view field);

// Whether `field` begins with a number by the rule of ReadNumber (after its
// leading blanks): a digit, possibly after a sign or a point, or a "&" form.
// A field without one reads as 0, which a caller may need to tell from "0".
bool StartsWithNumber(std::string_view field);

// How many leading characters of `field` ReadNumber takes: its leading
// space and the number, an exponent only where it has digits (a bare "d"
// scales by nothing). 0 when the field does not start with a number.
std::size_t NumberLength(std::string_view field);

// The field as a count, age or record number: rounded to the nearest integer,
// ties to even, clamped to the 32-bit range (NaN reads as 0).
std::int32_t ReadInteger(std::string_view field);

// The field as a time or rate, stored as a double.
double ReadDouble(std::string_view field);

// Rounds an extended value to a 32-bit integer as ReadInteger does.
std::int32_t RoundToInt32(long double value);

}  // namespace quillmore::input
