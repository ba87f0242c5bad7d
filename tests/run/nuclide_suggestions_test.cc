#include "run/nuclide_suggestions.h"

#include <gtest/gtest.h>

#include "support/data_builder.h"

namespace quillmore::run {
namespace {

// Only the nuclides of the data set are offered; one, two and three read as a sentence.
TEST(SuggestionText, NamesTheCloseNuclidesOfTheDataSetAsASentence) {
  input::DataIndex index;
  ASSERT_TRUE(
      index
          .OpenBytes(testing::IndexFileBytes(
              {{"Am-241", 10, 20}, {"Tc-99", 30, 40}, {"Tc-99m", 50, 60}, {"Te-99m", 0, 70}}))
          .ok());
  using input::DataKind;
  EXPECT_EQ(SuggestionText("Tc99m", index, DataKind::kInhalation),
            "; did you mean Tc-99m, Tc-99 or Te-99m?");
  EXPECT_EQ(SuggestionText("Tc99m", index, DataKind::kIngestion),
            "; did you mean Tc-99m or Tc-99?");
  EXPECT_EQ(SuggestionText("am241", index, DataKind::kIngestion), "; did you mean Am-241?");
  EXPECT_EQ(SuggestionText("U-238", index, DataKind::kInhalation), "");
}

}  // namespace
}  // namespace quillmore::run
