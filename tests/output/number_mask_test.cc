#include "output/number_mask.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace quillmore::output {
namespace {

std::string One(std::string_view mask, float value) {
  return FormatUsing(mask, {value});
}

TEST(FormatUsing, WorkedExamplesOfTheTimeMask) {
  EXPECT_EQ(One("##.#^^^^", 12.5f), " 1.2E+01");  // exact tie, 2 is even
  EXPECT_EQ(One("##.#^^^^", 13.5f), " 1.4E+01");  // exact tie, 3 is odd
  EXPECT_EQ(One("##.#^^^^", 365.0f), " 3.6E+02");
  EXPECT_EQ(One("##.#^^^^", 3650.0f), " 3.6E+03");
  EXPECT_EQ(One("##.#^^^^", 5475.0f), " 5.5E+03");
  EXPECT_EQ(One("##.#^^^^", 1825.0f), " 1.8E+03");
  EXPECT_EQ(One("##.#^^^^", 7300.0f), " 7.3E+03");
  EXPECT_EQ(One("##.#^^^^", 1.15f), " 1.1E+00");  // stored just below 1.15
  EXPECT_EQ(One("##.#^^^^", 9.96f), " 1.0E+01");  // carry out of the first digit
  EXPECT_EQ(One("##.#^^^^", 1.0f), " 1.0E+00");
  EXPECT_EQ(One("##.#^^^^", 50.0f), " 5.0E+01");
}

TEST(FormatUsing, WorkedExamplesOfTheCoefficientField) {
  EXPECT_EQ(One("##.##^^^^", -2.5f), "-2.50E+00");
  EXPECT_EQ(One("##.##^^^^", 2.345f), " 2.35E+00");  // stored above the tie
  EXPECT_EQ(One("##.##^^^^", 0.125f), " 1.25E-01");  // exact, no rounding
  EXPECT_EQ(One("##.##^^^^", 0.0125f), " 1.25E-02");
  EXPECT_EQ(One("##.##^^^^", 1.125f), " 1.12E+00");  // exact tie to even
  EXPECT_EQ(One("##.##^^^^", 1.375f), " 1.38E+00");  // exact tie, odd rounds up
  EXPECT_EQ(One("##.##^^^^", 9.995f), " 9.99E+00");  // stored below the tie
  EXPECT_EQ(One("##.##^^^^", 9.9951f), " 1.00E+01");
  EXPECT_EQ(One("##.##^^^^", 3.4e38f), " 3.40E+38");
}

TEST(FormatUsing, ZerosNanAndInfinities) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(One("##.#^^^^", 0.0f), " 0.0E+00");
  EXPECT_EQ(One("##.##^^^^", 0.0f), " 0.00E+00");
  EXPECT_EQ(One("##.#^^^^", -0.0f), " 0.0E+00");
  EXPECT_EQ(One("##.##^^^^", -0.0f), " 0.00E+00");
  EXPECT_EQ(One("##.##^^^^", nan), " 0.00E+00");
  EXPECT_EQ(One("##.##^^^^", -nan), " 0.00E+00");
  EXPECT_EQ(One("##.#^^^^", inf), " 1.0E+999");
  EXPECT_EQ(One("##.##^^^^", inf), " 1.00E+999");
  EXPECT_EQ(One("##.#^^^^", -inf), "-1.0E+999");
  EXPECT_EQ(One("##.##^^^^", -inf), "-1.00E+999");
}

TEST(FormatUsing, TinyValuesKeepOnlyWhatSinglePrecisionHolds) {
  EXPECT_EQ(One("##.##^^^^", static_cast<float>(1.0e-300)), " 0.00E+00");
  const float smallestSubnormal = std::numeric_limits<float>::denorm_min();  // 1.401298e-45
  EXPECT_EQ(One("##.##^^^^", smallestSubnormal), " 1.40E-45");
  EXPECT_EQ(One("##.#^^^^", -smallestSubnormal), "-1.4E-45");
  EXPECT_EQ(One("##.##^^^^", 3 * smallestSubnormal), " 4.20E-45");  // 4.2038954e-45
  EXPECT_EQ(One("##.##^^^^", static_cast<float>(1.0e-45)), " 1.40E-45");
  EXPECT_EQ(One("##.##^^^^", static_cast<float>(0.6e-45)), " 0.00E+00");
  EXPECT_EQ(One("##.##^^^^", std::numeric_limits<float>::min()), " 1.18E-38");
}

TEST(FormatUsing, PairMaskAndLiteralText) {
  EXPECT_EQ(FormatUsing("##.##^^^^##.##^^^^ ", {1.5e-10f, 0.0f}), " 1.50E-10 0.00E+00 ");
  EXPECT_EQ(FormatUsing("##.##^^^^##.##^^^^ ", {1.5e-10f, 0.0f}).size(), 19u);
  // The mask restarts while values remain; literal text follows each field.
  EXPECT_EQ(FormatUsing("##.#^^^^", {1.0f, 2.0f}), " 1.0E+00 2.0E+00");
  EXPECT_EQ(FormatUsing("##.##^^^^##.##^^^^ ", {1.0f, 2.0f, 3.0f}), " 1.00E+00 2.00E+00  3.00E+00");
  EXPECT_EQ(FormatUsing("[##.#^^^^]", {1.0f, 2.0f}), "[ 1.0E+00][ 2.0E+00]");
  EXPECT_EQ(FormatUsing("t=##.#^^^^ d", {}), "t=");
  EXPECT_EQ(FormatUsing("no field", {1.0f}), "no field");
  // Carets beyond six are literal; fewer than three make no field.
  EXPECT_EQ(FormatUsing("##.#^^^^^^^", {1.0f}), " 1.0E+0000^");
  EXPECT_EQ(FormatUsing("##.#^^ ##.#^^^", {25.0f}), "##.#^^  2.5E+1");
  EXPECT_EQ(FormatUsing("##.#^^^", {2.5e12f}), " 2.5E+12");  // the exponent grows
  EXPECT_EQ(FormatUsing("###.#^^^^", {2.5f}), "  2.5E+00");
}

TEST(FormatUsing, AppendsToTheCallersText) {
  std::string out = "x";
  const std::vector<float> values{1.0f, -1.0f};
  FormatUsing("##.#^^^^|", values, out);
  EXPECT_EQ(out, "x 1.0E+00|-1.0E+00|");
}

TEST(ParsedMask, AppendsWhatFormatUsingGivesForTheSameMask) {
  std::mt19937_64 random(7);
  std::uniform_int_distribution<std::uint32_t> anyBits;
  const std::vector<std::string_view> masks{
      "##.##^^^^##.##^^^^ ", "##.#^^^^",       "[##.#^^^^]",
      "t=##.#^^^^ d",        "no field",       "",
      "##.#^^^^^^^",         "##.#^^ ##.#^^^", "###.#^^^^|#.###^^^^^^x"};
  for (const std::string_view mask : masks) {
    const ParsedMask parsed(mask);
    for (std::size_t count = 0; count <= 5; ++count) {
      std::vector<float> values;
      for (std::size_t i = 0; i < count; ++i)
        values.push_back(std::bit_cast<float>(anyBits(random)));
      std::string expected = "x";
      std::string actual = "x";
      FormatUsing(mask, values, expected);
      parsed.Append(values, actual);
      ASSERT_EQ(actual, expected) << '"' << mask << "\" with " << count << " values";
    }
  }
}

TEST(SignedNumberText, SignPositionAndDigits) {
  EXPECT_EQ(SignedNumberText(0), " 0");
  EXPECT_EQ(SignedNumberText(6), " 6");
  EXPECT_EQ(SignedNumberText(3650), " 3650");
  EXPECT_EQ(SignedNumberText(-4), "-4");
  EXPECT_EQ(SignedNumberText(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(SignedNumberText(std::numeric_limits<std::int64_t>::max()), " 9223372036854775807");
}

// --- Independent reference: the exact decimal expansion of a float by big
// integer arithmetic (base 1e9 limbs), rounded as the tables require.

constexpr std::uint64_t kLimbBase = 1000000000;

void MultiplyBy(std::vector<std::uint64_t>& limbs, std::uint64_t factor) {
  std::uint64_t carry = 0;
  for (auto& limb : limbs) {
    const std::uint64_t product = limb * factor + carry;
    limb = product % kLimbBase;
    carry = product / kLimbBase;
  }
  while (carry != 0) {
    limbs.push_back(carry % kLimbBase);
    carry /= kLimbBase;
  }
}

std::string DecimalText(const std::vector<std::uint64_t>& limbs) {
  std::string text = std::to_string(limbs.back());
  for (std::size_t i = limbs.size() - 1; i-- > 0;) {
    const std::string part = std::to_string(limbs[i]);
    text += std::string(9 - part.size(), '0') + part;
  }
  return text;
}

// Rounds the digit string to `keep` digits (half to even); returns true when
// the carry ran out of the first digit (the digits then read 1000...).
bool RoundHalfEven(std::string& digits, std::size_t keep) {
  if (digits.size() <= keep) {
    digits.resize(keep, '0');
    return false;
  }
  const char first = digits[keep];
  const bool rest = digits.find_first_not_of('0', keep + 1) != std::string::npos;
  const bool up = first > '5' || (first == '5' && (rest || (digits[keep - 1] - '0') % 2 == 1));
  digits.resize(keep);
  if (!up) return false;
  std::size_t i = keep;
  while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
  if (i == 0) {
    digits[0] = '1';
    return true;
  }
  ++digits[i - 1];
  return false;
}

std::string ReferenceField(float value, int after) {
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
  const bool negative = (bits >> 31) != 0;
  const int biased = static_cast<int>((bits >> 23) & 0xFF);
  std::uint64_t mantissa = bits & 0x7FFFFF;
  int power2 = biased == 0 ? -149 : biased - 150;
  if (biased != 0) mantissa |= 0x800000;
  std::string digits(static_cast<std::size_t>(after + 1), '0');
  int exponent = 0;
  if (mantissa != 0) {
    // value = mantissa * 2^power2 = (mantissa * 5^-power2) / 10^-power2.
    std::vector<std::uint64_t> limbs{mantissa};
    for (int i = 0; i < (power2 < 0 ? -power2 : power2); ++i) MultiplyBy(limbs, power2 < 0 ? 5 : 2);
    digits = DecimalText(limbs);
    exponent = static_cast<int>(digits.size()) - 1 + (power2 < 0 ? power2 : 0);
    if (RoundHalfEven(digits, 18)) ++exponent;
    if (RoundHalfEven(digits, static_cast<std::size_t>(after + 1))) ++exponent;
  }
  std::string text(1, negative && mantissa != 0 ? '-' : ' ');
  text += digits.substr(0, 1) + "." + digits.substr(1);
  const std::string e = std::to_string(exponent < 0 ? -exponent : exponent);
  text += std::string("E") + (exponent < 0 ? "-" : "+") + (e.size() < 2 ? "0" : "") + e;
  return text;
}

TEST(FormatUsing, ReferenceAgreesOnKnownValues) {
  // Guards the reference itself against the worked examples.
  EXPECT_EQ(ReferenceField(12.5f, 1), " 1.2E+01");
  EXPECT_EQ(ReferenceField(2.345f, 2), " 2.35E+00");
  EXPECT_EQ(ReferenceField(-2.5f, 2), "-2.50E+00");
  EXPECT_EQ(ReferenceField(9.96f, 1), " 1.0E+01");
  EXPECT_EQ(ReferenceField(0.0f, 2), " 0.00E+00");
}

TEST(FormatUsing, MatchesExactDecimalExpansionOnRandomFloats) {
  std::mt19937_64 random(20261207);
  std::uniform_int_distribution<std::uint32_t> anyBits;
  std::uniform_int_distribution<int> tieDigits(100, 999);
  std::uniform_int_distribution<int> decade(-45, 38);
  int checked = 0;
  auto check = [&](float value) {
    if (!std::isfinite(value)) return;
    ASSERT_EQ(One("##.#^^^^", value), ReferenceField(value, 1)) << std::hexfloat << value;
    ASSERT_EQ(One("##.##^^^^", value), ReferenceField(value, 2)) << std::hexfloat << value;
    ++checked;
  };
  // Every bit pattern is equally likely: all exponents, subnormals, signs.
  for (int i = 0; i < 100000; ++i) check(std::bit_cast<float>(anyBits(random)));
  // Around decimal ties of both masks: the nearest float and its neighbours.
  for (int i = 0; i < 20000; ++i) {
    const int keep = i % 2 == 0 ? 100 : 10;
    const double tie = (tieDigits(random) / (1000 / keep) * 10 + 5) *
                       std::pow(10.0, decade(random) - (keep == 100 ? 3 : 2));
    const float nearest = static_cast<float>(tie);
    check(nearest);
    check(std::nextafter(nearest, 0.0f));
    check(std::nextafter(nearest, std::numeric_limits<float>::infinity()));
  }
  // Exact ties that single precision holds: (odd * 5) / 2^k and n5 * 10^p.
  for (int i = 0; i < 2000; ++i) {
    check(std::ldexp(static_cast<float>(tieDigits(random) * 2 + 1) * 5.0f, -(i % 40)));
    check(static_cast<float>((tieDigits(random) * 10 + 5)) *
          std::pow(10.0f, static_cast<float>(i % 6)));
  }
  EXPECT_GT(checked, 160000);
}

}  // namespace
}  // namespace quillmore::output
