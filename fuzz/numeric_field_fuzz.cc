// The numeric field rule and nuclide-name normalisation on any bytes. A plain
// decimal made from the same bytes is read by the rule and by strtold, which
// must agree to the rule's 18 significant digits.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "input/nuclide_name.h"
#include "input/numeric_field.h"

namespace {

using quillmore::fuzz::Check;

// Digits beyond the 18th are dropped, a relative change below 1e-17; the
// scaling by a power of ten adds a few rounding steps at extended precision.
constexpr long double kTolerance = 1e-17L + 8 * LDBL_EPSILON;

struct Decimal {
  std::string text;       // as a data file would hold it
  std::string reference;  // the same for strtold: exponent letter E
};

// Byte 0 picks blanks, sign, point and exponent letter; bytes 1-2 the
// exponent; byte 3 where the point goes; up to 60 further bytes the digits.
Decimal PlainDecimal(std::string_view bytes) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned flags = byte(0);
  std::string number(flags & 3U, ' ');
  if ((flags & 4U) != 0) number += (flags & 8U) != 0 ? '-' : '+';
  std::string digits;
  for (const char c : bytes.substr(4, 60)) {
    digits += static_cast<char>('0' + static_cast<unsigned char>(c) % 10);
  }
  if (digits.empty()) digits = "0";
  if ((flags & 16U) != 0) digits.insert(byte(3) % (digits.size() + 1), 1, '.');
  number += digits;
  Decimal decimal{number, number};
  if ((flags & 32U) != 0) {
    const unsigned bits = static_cast<unsigned>(byte(1)) << 8U | byte(2);
    const std::string exponent =
        ((bits & 0x8000U) != 0 ? "-" : "+") + std::to_string((bits & 0x7fffU) % 5100);
    decimal.text += "EeDd"[(flags >> 6U) & 3U] + exponent;
    decimal.reference += 'E' + exponent;
  }
  return decimal;
}

void CheckAgainstStrtold(const Decimal& decimal) {
  const long double expected = std::strtold(decimal.reference.c_str(), nullptr);
  const long double got = quillmore::input::ReadNumber(decimal.text);
  bool ok = false;
  const char* what = nullptr;
  if (expected == 0) {
    ok = got == 0;
    what = "a zero reads as 0";
  } else if (std::isinf(expected)) {
    ok = std::signbit(got) == std::signbit(expected) &&
         (std::isinf(got) || std::fabs(got) >= LDBL_MAX * (1 - kTolerance));
    what = "a number beyond the range reads as infinite";
  } else if (std::fabs(expected) < LDBL_MIN) {
    ok = std::fabs(got) < 2 * LDBL_MIN;
    what = "a number below the normal range stays below it";
  } else {
    ok = std::fabs(got - expected) <= kTolerance * std::fabs(expected);
    what = "a plain decimal reads as strtold reads it, to 18 digits";
  }
  if (!ok) {
    std::fprintf(stderr, "\"%s\" reads as %.21Lg, strtold gives %.21Lg\n", decimal.text.c_str(),
                 got, expected);
  }
  Check(ok, what);
}

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string ChangeCase(std::string text, bool upper) {
  for (char& c : text) {
    if (!upper)
      c = Lower(c);
    else if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

void CheckNormalisation(const std::string& typed) {
  using quillmore::input::NormaliseNuclideName;
  std::string once = typed;
  Check(NormaliseNuclideName(once) == once, "the name returned is the name stored");
  std::string twice = once;
  NormaliseNuclideName(twice);
  Check(twice == once, "normalising twice changes nothing");
  for (const bool upper : {false, true}) {
    std::string other = ChangeCase(typed, upper);
    NormaliseNuclideName(other);
    Check(other == once, "the case of the typed letters does not matter");
  }
  const std::size_t first = std::min(typed.find_first_not_of(' '), typed.size());
  const std::size_t end = typed.find_last_not_of(' ') + 1;  // 0 when all blanks
  const std::string trimmed = typed.substr(first, end > first ? end - first : 0);
  Check(once.size() == std::max<std::size_t>(7, trimmed.size()), "blanks trimmed, padded to 7");
  for (std::size_t i = 0; i < once.size(); ++i) {
    const char want = i < trimmed.size() ? trimmed[i] : ' ';
    Check(IsLetter(want) ? Lower(once[i]) == Lower(want) : once[i] == want,
          "only the case of letters changes");
  }
  Check(trimmed.empty() || Lower(once[trimmed.size() - 1]) == once[trimmed.size() - 1],
        "the last character is never a capital");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = quillmore::fuzz::AsText(data, size);
  Check(!std::isnan(quillmore::input::ReadNumber(bytes)), "no field reads as NaN");
  quillmore::input::ReadInteger(bytes);
  quillmore::input::ReadDouble(bytes);
  if (bytes.size() >= 4) CheckAgainstStrtold(PlainDecimal(bytes));
  CheckNormalisation(std::string(bytes));
  return 0;
}
