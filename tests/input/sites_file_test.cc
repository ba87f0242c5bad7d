#include "input/sites_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillmore::input {
namespace {

// "LINE: message" of each fault, in order.
std::vector<std::string> FaultTexts(const SitesFile& file) {
  std::vector<std::string> texts;
  for (const Fault& fault : file.faults)
    texts.push_back(std::to_string(fault.line) + ": " + fault.message);
  return texts;
}

TEST(SitesFileTest, SitesInOrderWithTheirWeightsAndSexes) {
  const SitesFile file = ReadSitesFile(
      " Site ,REGION,weight,sex,note\n"
      "colon,ULI Wall,0.57,,mass\n"
      "breast,5,1,F,\n"
      "colon,LLI Wall,0.43,,\n"
      "prostate,Testes,0.5,male,\n"
      "prostate,29,0.5,M,\n");
  ASSERT_TRUE(file.faults.empty()) << file.faults[0].message;
  ASSERT_EQ(file.notes.size(), 1U);
  EXPECT_EQ(file.notes[0].message, "column \"note\" is not known and ignored");
  ASSERT_EQ(file.sites.size(), 3U);
  EXPECT_EQ(file.sites[0].name, "colon");
  EXPECT_FALSE(file.sites[0].sex);
  ASSERT_EQ(file.sites[0].regions.size(), 2U);
  EXPECT_EQ(file.sites[0].regions[1].region, "LLI Wall");
  EXPECT_EQ(file.sites[0].regions[1].line, 4);
  EXPECT_EQ(file.sites[0].regions[1].weight, 0.43);
  EXPECT_EQ(file.sites[1].sex, Sex::kFemale);
  EXPECT_EQ(file.sites[2].sex, Sex::kMale);
  // Without a sex column every site is for everyone.
  const SitesFile plain = ReadSitesFile("site,region,weight\nlung,30,1\n");
  ASSERT_TRUE(plain.faults.empty());
  EXPECT_FALSE(plain.sites[0].sex);
}

TEST(SitesFileTest, BadRowsAreListedByLineAndColumn) {
  EXPECT_EQ(FaultTexts(ReadSitesFile("site,region,weight,sex\n"
                                     "colon,ULI Wall,0.57,\n"
                                     "colon,LLI Wall,0.42,\n"           // adds up to 0.99
                                     "liver,Liver,1.5,\n"               // above 1
                                     "lung,,1,\n"                       // no region
                                     "breast,Breast,1,woman\n"          // no sex
                                     "ovary,Ovaries,0.5,female\n"       // the site's sex
                                     "ovary,Uterus,0.5,male\n"          // differs
                                     "stomach,St Wall,0.4999999999,\n"  // 1 within 1e-9:
                                     "stomach,SI Wall,0.5000000005,\n"  // taken
                                     ",Brain,1,\n")),
            (std::vector<std::string>{
                "3: column \"weight\": the weights of site \"colon\" add up to 0.99, not 1",
                "4: column \"weight\": \"1.5\" is not a weight above 0 and at most 1",
                "5: column \"region\": is empty",
                "6: column \"sex\": \"woman\" is neither female (F) nor male (M)",
                "8: column \"sex\": \"male\" differs from female on line 7 for site \"ovary\"",
                "11: column \"site\": is empty"}));
  EXPECT_EQ(FaultTexts(ReadSitesFile("site,region\nlung,30\n")),
            (std::vector<std::string>{"1: no column \"weight\" in the header, split by comma"}));
  EXPECT_EQ(
      FaultTexts(ReadSitesFile("site,region,wieght\nlung,30,1\n")),
      (std::vector<std::string>{"1: column \"wieght\" is not known; did you mean \"weight\"?"}));
  EXPECT_EQ(FaultTexts(ReadSitesFile("site,region,weight\n")),
            (std::vector<std::string>{"0: the file holds no sites, only its header"}));
  // A frame's rows, each on line R + 2.
  const std::vector<IntakeColumn> columns = {
      {"site", {"colon", "colon"}}, {"region", {"8", "9"}}, {"weight", {"0.5", "0.6"}}};
  EXPECT_EQ(FaultTexts(ReadSitesColumns(columns)),
            (std::vector<std::string>{
                "3: column \"weight\": the weights of site \"colon\" add up to 1.1, not 1"}));
}

}  // namespace
}  // namespace quillmore::input
