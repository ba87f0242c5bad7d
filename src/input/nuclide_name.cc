#include "input/nuclide_name.h"

#include "base/text.h"

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

}  // namespace

std::string NormaliseNuclideName(std::string& nuclideName) {
  std::string name = base::TrimBlanks(nuclideName);
  bool afterLetter = false;
  for (char& c : name) {
    const bool letter = IsLetter(c);
    if (letter) c = afterLetter ? base::AsciiLower(c) : ToUpper(c);
    afterLetter = letter;
  }
  // A capital left at the end follows a digit: it is a metastable suffix.
  if (!name.empty() && IsUpper(name.back())) name.back() = base::AsciiLower(name.back());
  if (name.size() < kNuclideNameWidth) name.resize(kNuclideNameWidth, ' ');
  nuclideName = name;
  return name;
}

}  // namespace quillmore::input
