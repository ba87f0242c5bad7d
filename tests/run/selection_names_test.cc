#include "run/selection_names.h"

#include <gtest/gtest.h>

#include <array>

namespace quillmore::run {
namespace {

using base::Status;

const ListWords kWords{"--ages", "--regions", "see --list-regions"};

std::vector<int> Ages(const std::string& text) {
  const base::Result<std::vector<int>> ages = SelectAges(text, kWords);
  EXPECT_TRUE(ages.ok()) << ages.status().message();
  return ages.ok() ? ages.value() : std::vector<int>();
}

std::vector<int> Regions(const std::string& text, const std::vector<std::string>& names) {
  const base::Result<std::vector<int>> regions = SelectRegions(text, names, kWords);
  EXPECT_TRUE(regions.ok()) << regions.status().message();
  return regions.ok() ? regions.value() : std::vector<int>();
}

Status RegionsRefused(const std::string& text, const std::vector<std::string>& names,
                      const ListWords& words = kWords) {
  const base::Result<std::vector<int>> regions = SelectRegions(text, names, words);
  EXPECT_FALSE(regions.ok()) << text;
  return regions.status();
}

std::vector<std::string> Names() {
  std::vector<std::string> names;
  for (int i = 1; i <= 29; ++i) names.push_back("Region " + std::to_string(i));
  names.push_back("Lung");
  return names;
}

TEST(SelectAges, NumbersLabelsAndAllInTheOrderGiven) {
  EXPECT_EQ(Ages("adult,1,10y, 15Y ,5y-old"), (std::vector<int>{6, 1, 4, 5, 3}));
  EXPECT_EQ(Ages("ALL"), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  const base::Result<std::vector<int>> twice = SelectAges("adult,1,infant", kWords);
  EXPECT_EQ(twice.status().code(), Status::Code::kInvalidArgument);
  EXPECT_EQ(twice.status().message(), "age group Infant is listed twice in --ages");
  // The face's own word for the list.
  EXPECT_EQ(SelectAges("1,1", {"ages=", "regions=", "see regions()"}).status().message(),
            "age group Infant is listed twice in ages=");
  for (const char* unknown : {"7", "1,,2", "teen", "all,1"}) {
    const base::Result<std::vector<int>> refused = SelectAges(unknown, kWords);
    EXPECT_EQ(refused.status().code(), Status::Code::kUnknownName) << unknown;
  }
  EXPECT_EQ(SelectAges("teen", kWords).status().message(),
            "unknown age group \"teen\" (1-6, infant, 1y, 5y, 10y, 15y, adult)");
}

TEST(SelectRegions, NumbersNamesLungAndAll) {
  std::vector<std::string> names = Names();
  names[3] = "Liver";
  EXPECT_EQ(Regions("liver,lung,29,1", names), (std::vector<int>{4, 30, 29, 1}));
  const std::vector<int> all = Regions("all", names);
  EXPECT_EQ(all.size(), 30U);
  EXPECT_EQ(all.back(), 30);
  EXPECT_EQ(RegionsRefused("31", names).code(), Status::Code::kUnknownName);
  EXPECT_EQ(RegionsRefused("spleen", names).message(),
            "unknown region \"spleen\" (see --list-regions)");
  // "all" stands only for the whole list, never for one item of it.
  EXPECT_EQ(RegionsRefused("all,lung", names).message(),
            "unknown region \"all\" (see --list-regions)");
  EXPECT_EQ(RegionsRefused("spleen", names, {"ages=", "regions=", "see regions()"}).message(),
            "unknown region \"spleen\" (see regions())");
  // A typo gets the names within two edits, ignoring case: closest first,
  // then in region order, three at most.
  EXPECT_EQ(RegionsRefused("LVIER", names).message(),
            "unknown region \"LVIER\"; did you mean \"Liver\"? (see --list-regions)");
  EXPECT_EQ(RegionsRefused("regoin 12", names).message(),
            "unknown region \"regoin 12\"; did you mean \"Region 12\", \"Region 1\" or "
            "\"Region 2\"? (see --list-regions)");
}

TEST(SelectRegions, ExactNameWinsThenCaseThenRemainderAndNoRegionTwice) {
  std::vector<std::string> names = Names();
  names[14] = "Lung BB";
  names[15] = "Lung bb";
  names[28] = "Rest Body";
  EXPECT_EQ(Regions("Lung bb,Lung BB, lung ,REST BODY", names), (std::vector<int>{16, 15, 30, 29}));
  const Status ambiguous = RegionsRefused("lung bb", names);
  EXPECT_EQ(ambiguous.code(), Status::Code::kInvalidArgument);
  EXPECT_EQ(ambiguous.message(),
            "region \"lung bb\" is ambiguous: 15 \"Lung BB\" or 16 \"Lung bb\" (give the exact "
            "name or number)");
  // Region 29 answers to the other data set's name too.
  EXPECT_EQ(Regions("Remainder", names), std::vector<int>{29});
  names[28] = "Remainder";
  EXPECT_EQ(Regions("rest body", names), std::vector<int>{29});
  names[3] = "Remainder";  // a heading of the data set's own comes first
  EXPECT_EQ(Regions("Remainder", names), std::vector<int>{4});
  const Status twice = RegionsRefused("lung,30", names);
  EXPECT_EQ(twice.code(), Status::Code::kInvalidArgument);
  EXPECT_EQ(twice.message(), "region 30 \"Lung\" is listed twice in --regions");
}

TEST(SelectRegionsOfEither, EachItemInTheFirstNamesThatKnowIt) {
  std::array<std::vector<std::string>, 2> names{Names(), Names()};
  names[0][28] = "Remainder";
  names[1][28] = "Other Tissue";
  names[1][3] = "Kidneys";
  const base::Result<std::vector<int>> regions =
      SelectRegionsOfEither("other tissue,kidneys,1", names, kWords);
  ASSERT_TRUE(regions.ok()) << regions.status().message();
  EXPECT_EQ(regions.value(), (std::vector<int>{29, 4, 1}));
  // Twice, by either name: named by its number alone, since the sets differ.
  EXPECT_EQ(SelectRegionsOfEither("other tissue,remainder", names, kWords).status().message(),
            "region 29 is listed twice in --regions");
  EXPECT_EQ(SelectRegionsOfEither("spleen", names, kWords).status().message(),
            "unknown region \"spleen\" (see --list-regions)");
  EXPECT_EQ(SelectRegionsOfEither("all,1", names, kWords).status().code(),
            Status::Code::kUnknownName);
}

}  // namespace
}  // namespace quillmore::run
