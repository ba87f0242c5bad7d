#include "input/numeric_field.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

namespace quillmore::input {
namespace {

TEST(ReadNumber, DecimalForms) {
  EXPECT_EQ(ReadDouble("  1.0E-04"), 1.0e-4);
  EXPECT_EQ(ReadDouble(" 2.345D-12"), 2.345e-12);
  EXPECT_EQ(ReadDouble("2.345d-12"), 2.345e-12);
  EXPECT_EQ(ReadDouble("7.5e+2"), 750.0);
  EXPECT_EQ(ReadDouble("          "), 0.0);
  EXPECT_EQ(ReadDouble(""), 0.0);
  EXPECT_EQ(ReadDouble("\t\r\n -3.25xyz"), -3.25);
  EXPECT_EQ(ReadDouble("+.5"), 0.5);
  EXPECT_EQ(ReadDouble("1.2.3"), 1.2);   // a second point ends the number
  EXPECT_EQ(ReadDouble("12 34"), 12.0);  // so does an inner blank
  EXPECT_EQ(ReadDouble("3E"), 3.0);      // an exponent letter without digits adds nothing
  EXPECT_EQ(ReadDouble("abc"), 0.0);
  EXPECT_EQ(ReadDouble(std::string_view("\0"
                                        "5",
                                        2)),
            0.0);  // NUL is not skipped
  // Whether a 0 was read or there was no number at all.
  for (const char* number : {"0", " -0.5x", "+.5", "&H1F", "\t7 days", "1E3"}) {
    EXPECT_TRUE(StartsWithNumber(number)) << number;
  }
  for (const char* none : {"", "   ", "abc", ".", "-", "- 5", "E5", "+.e1"}) {
    EXPECT_FALSE(StartsWithNumber(none)) << none;
  }
}

TEST(ReadNumber, BasedIntegers) {
  EXPECT_EQ(ReadNumber("&H1F"), 31.0L);
  EXPECT_EQ(ReadNumber("&hff"), 255.0L);
  EXPECT_EQ(ReadNumber("&O17"), 15.0L);
  EXPECT_EQ(ReadNumber("&q17"), 15.0L);
  EXPECT_EQ(ReadNumber("&17"), 15.0L);
  EXPECT_EQ(ReadNumber("&B101"), 5.0L);
  EXPECT_EQ(ReadNumber("  &H10 "), 16.0L);
  EXPECT_EQ(ReadNumber("&18"), 1.0L);  // 8 is no octal digit
  EXPECT_EQ(ReadNumber("&HG"), 0.0L);
}

TEST(ReadNumber, AtMostEighteenSignificantDigits) {
  // The 19th and later digits only scale the value.
  EXPECT_EQ(ReadNumber("1234567890123456789"), 1234567890123456780.0L);
  EXPECT_EQ(ReadNumber("123456789012345678999"), 123456789012345678000.0L);
  EXPECT_EQ(ReadNumber("0.1234567890123456789"), 0.123456789012345678L);
  // Either side of 18 digits across the point: all counted, then the 19th dropped.
  EXPECT_EQ(ReadNumber("123456789.123456789E-3"), 123456.789123456789L);
  EXPECT_EQ(ReadNumber("1234567890.123456789"), 1234567890.12345678L);
  // Leading zeros are not significant.
  EXPECT_EQ(ReadNumber("000000000000000000012"), 12.0L);
  EXPECT_EQ(ReadNumber("0.0000000000000000000012"), 1.2e-21L);
}

TEST(ReadNumber, ExponentsNearTheExtendedRangeDoNotZeroNormalValues) {
  // 10^4941 overflows, yet the value is a normal extended number.
  EXPECT_LT(std::fabs(ReadNumber("2288888888888888883E-4942") / 2.288888888888888883e-4924L - 1),
            1e-17L);
  EXPECT_LT(std::fabs(ReadNumber("-5e-4930") / -5e-4930L - 1), 1e-17L);
  EXPECT_EQ(ReadNumber("1E-99999"), 0.0L);
  EXPECT_TRUE(std::isinf(ReadNumber("1E99999")));
}

TEST(ReadInteger, RoundsTiesToEvenAndClamps) {
  EXPECT_EQ(ReadInteger("  12"), 12);
  EXPECT_EQ(ReadInteger("12.6"), 13);
  EXPECT_EQ(ReadInteger("12.5"), 12);
  EXPECT_EQ(ReadInteger("13.5"), 14);
  EXPECT_EQ(ReadInteger("-2.5"), -2);
  EXPECT_EQ(ReadInteger("-2.51"), -3);
  EXPECT_EQ(ReadInteger("    "), 0);
  EXPECT_EQ(ReadInteger("1E30"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(ReadInteger("-1E30"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(ReadInteger("2147483647.5"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(ReadInteger("1E99999"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(RoundToInt32(std::nanl("")), 0);
}

TEST(NumberLength, TakesWhatReadNumberReadsAndNoMore) {
  const std::pair<const char*, std::size_t> cases[] = {
      {"18,250", 2},     {"50y", 2},   {"1 year", 1}, {"3O", 1},     {"36 500", 2},
      {"  7.5e-3 d", 8}, {"1d", 1},    {"1d+", 1},    {"2E+02x", 5}, {"-.5.5", 3},
      {"&H1Fg", 4},      {"&17 8", 3}, {"&b102", 4},  {"days", 0},   {"", 0}};
  for (const auto& [field, length] : cases) {
    EXPECT_EQ(NumberLength(field), length) << field;
    EXPECT_EQ(ReadNumber(std::string_view(field).substr(0, NumberLength(field))), ReadNumber(field))
        << field;
  }
}

}  // namespace
}  // namespace quillmore::input
