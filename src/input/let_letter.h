// The LET letter of a block header: which components of the dose rate its
// rate records carry, and how many records each time point takes.
#pragma once

#include <cstdint>
#include <string>

namespace quillmore::input {

inline constexpr char kLowLetLetter = 'L';   // low LET only, one record per point
inline constexpr char kHighLetLetter = 'H';  // high LET only, one record per point
inline constexpr char kBothLetLetter = 'B';  // low then high LET record per point

// Whether `letter` is one of the three LET letters.
bool IsLetLetter(char letter);
// Whether a block of `letter` has a low (high) LET component.
bool CarriesLowLet(char letter);
bool CarriesHighLet(char letter);
// Records per time point a block of `letter` takes: 2 for "B", 1 otherwise.
std::int32_t RecordsPerPointOf(char letter);
// `letter` quoted as messages show it, a control byte as "?": "\"L\"".
std::string LetLetterText(char letter);

}  // namespace quillmore::input
