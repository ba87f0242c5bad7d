#include "input/nuclide_name.h"

namespace quillmore::input {
namespace {

bool IsUpper(char c) {
  return c >= 'A' && c <= 'Z';
}
bool IsLower(char c) {
  return c >= 'a' && c <= 'z';
}
bool IsLetter(char c) {
  return IsUpper(c) || IsLower(c);
}
char ToUpper(char c) {
  return IsLower(c) ? static_cast<char>(c - 'a' + 'A') : c;
}
char ToLower(char c) {
  return IsUpper(c) ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string TrimBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::string NormaliseNuclideName(std::string& nuclideName) {
  std::string name = TrimBlanks(nuclideName);
  bool afterLetter = false;
  for (char& c : name) {
    const bool letter = IsLetter(c);
    if (letter) c = afterLetter ? ToLower(c) : ToUpper(c);
    afterLetter = letter;
  }
  // A capital left at the end follows a digit: it is a metastable suffix.
  if (!name.empty() && IsUpper(name.back())) name.back() = ToLower(name.back());
  if (name.size() < kNuclideNameWidth) name.resize(kNuclideNameWidth, ' ');
  nuclideName = name;
  return name;
}

}  // namespace quillmore::input
