// Text helpers every layer shares. The program's text is single-byte; only
// ASCII letters and the blank (32) have a meaning here, other bytes pass as
// they are.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmore::base {

// The text without blanks (only, never tabs or NULs) at either end:
// "Tc-99m " becomes "Tc-99m".
std::string TrimBlanks(std::string_view text);

// 'A'..'Z' as 'a'..'z'; every other byte unchanged.
constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string AsciiLower(std::string_view text);

// The items of a comma-separated list as given, empty ones included: "a,,b"
// gives "a", "", "b"; "" gives one empty item.
std::vector<std::string> SplitCommas(std::string_view text);

// `text` as a whole decimal number in [low, high] (digits and an optional
// minus sign only), or nullopt.
std::optional<int> WholeNumber(std::string_view text, int low, int high);

// A number of days (or any double) as the shortest text that reads back to
// it: "36500", "30.5", "1e-05", "1e+100"; "inf" and "nan" as they are.
std::string ShortestText(double value);

}  // namespace quillmore::base
