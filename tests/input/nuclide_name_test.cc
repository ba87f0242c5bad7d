#include "input/nuclide_name.h"

#include <gtest/gtest.h>

#include "input/name_suggestions.h"

namespace quillmore::input {
namespace {

std::string Normalised(std::string typed) {
  const std::string result = NormaliseNuclideName(typed);
  EXPECT_EQ(result, typed) << "the name is changed in place too";
  return result;
}

TEST(NormaliseNuclideName, WorkedExamples) {
  EXPECT_EQ(Normalised("tc-99m"), "Tc-99m ");
  EXPECT_EQ(Normalised("AM-241"), "Am-241 ");
  EXPECT_EQ(Normalised("h-3"), "H-3    ");
  EXPECT_EQ(Normalised("TE-131M"), "Te-131m");
  EXPECT_EQ(Normalised("xe-133m"), "Xe-133m");
  EXPECT_EQ(Normalised("I-131"), "I-131  ");
  EXPECT_EQ(Normalised("Tc99m"), "Tc99m  ");
  EXPECT_EQ(Normalised("Rb-81xyz"), "Rb-81Xyz");
}

TEST(NormaliseNuclideName, CaseVariantsMeetInOneKey) {
  EXPECT_EQ(Normalised("TC-99M"), Normalised("tc-99m"));
  EXPECT_EQ(Normalised("Tc-99m"), Normalised("tc-99m"));
}

TEST(NormaliseNuclideName, BlanksAndLength) {
  EXPECT_EQ(Normalised("  tc-99m  "), "Tc-99m ");
  EXPECT_EQ(Normalised("Tc 99m"), "Tc 99m ");     // inner blank kept
  EXPECT_EQ(Normalised("x"), "x      ");          // capitalised, then last letter lowered
  EXPECT_EQ(Normalised("\ttc-99m"), "\tTc-99m");  // tabs are not blanks
  EXPECT_EQ(Normalised("Te-131m"), "Te-131m");    // exactly 7: nothing appended
  EXPECT_EQ(Normalised("ho-166mx").size(), 8U);   // longer names keep their length
}

TEST(NormaliseNuclideName, NonAsciiBytesUnchanged) {
  EXPECT_EQ(Normalised("\xe9u-1"), "\xe9U-1   ");
  EXPECT_EQ(Normalised("a\xc4"), "A\xc4     ");
}

TEST(SuggestNames, TyposFindTheNameClosestFirst) {
  EXPECT_EQ(EditDistance("ca", "abc"), 2U);  // a transposed pair edited again: 3 if restricted
  EXPECT_EQ(EditDistance("Tc99m", "Tc-99m"), 1U);
  EXPECT_EQ(EditDistance("", "H-3"), 3U);
  const std::vector<std::string> index = {"Am-241", "Tc-99", "Tc-99m", "Te-99m", "Xe-133m"};
  EXPECT_EQ(SuggestNames("Tc99m", index), (std::vector<std::string>{"Tc-99m", "Tc-99", "Te-99m"}));
  EXPECT_EQ(SuggestNames("tc-99", index), (std::vector<std::string>{"Tc-99", "Tc-99m", "Te-99m"}));
  EXPECT_EQ(SuggestNames("AM241", index), (std::vector<std::string>{"Am-241"}));
  EXPECT_EQ(SuggestNames("Xe-133m", index, 1), (std::vector<std::string>{"Xe-133m"}));
  EXPECT_TRUE(SuggestNames("U-238", index).empty());
}

}  // namespace
}  // namespace quillmore::input
