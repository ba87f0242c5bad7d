// Extended precision within one formula: intermediate arithmetic runs in long
// double (64-bit mantissa on x86), and every named quantity is stored as a double.
#pragma once

namespace quillmore::integration {

using Extended = long double;

// Rounds an extended intermediate to the double that a named quantity holds.
inline double Stored(Extended value) {
  return static_cast<double>(value);
}

}  // namespace quillmore::integration
