#include "input/let_letter.h"

namespace quillmore::input {

bool IsLetLetter(char letter) {
  return letter == kLowLetLetter || letter == kHighLetLetter || letter == kBothLetLetter;
}

bool CarriesLowLet(char letter) {
  return letter == kLowLetLetter || letter == kBothLetLetter;
}

bool CarriesHighLet(char letter) {
  return letter == kHighLetLetter || letter == kBothLetLetter;
}

std::int32_t RecordsPerPointOf(char letter) {
  return letter == kBothLetLetter ? 2 : 1;
}

std::string LetLetterText(char letter) {
  const bool printable = static_cast<unsigned char>(letter) >= 32 && letter != 127;
  return "\"" + std::string(1, printable ? letter : '?') + "\"";
}

}  // namespace quillmore::input
