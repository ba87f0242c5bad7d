#include "output/table_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillmore::output {
namespace {

using input::BlockHeader;
using input::DataKind;
using integration::CoefficientTable;
using integration::kHighLet;
using integration::kLowLet;

// Region names by region number: "Region 1" ... "Region 29", then Lung.
std::vector<std::string> RegionNames() {
  std::vector<std::string> names;
  for (int k = 1; k <= 29; ++k) names.push_back("Region " + std::to_string(k));
  names.push_back("Lung");
  return names;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return lines;
}

BlockHeader InhalationHeader(std::string name, char classCode) {
  BlockHeader header;
  header.name = std::move(name);
  header.classCode = classCode;
  return header;
}

TEST(CenterText, CentresWithTheOddBlankRight) {
  EXPECT_EQ(CenterText("Lung", 18), std::string(7, ' ') + "Lung" + std::string(7, ' '));
  EXPECT_EQ(CenterText("Intestine", 18), "    Intestine     ");  // 9 characters
  EXPECT_EQ(CenterText("", 4), "    ");
  EXPECT_EQ(CenterText("abcdef", 4), "abcd");
  EXPECT_EQ(CenterText("abcd", 4), "abcd");
  EXPECT_EQ(CenterText("  ab", 3), "  a");      // leading blanks count in the length
  EXPECT_EQ(CenterText("     ab", 4), "    ");  // never longer than the field
}

TEST(ChemicalFormLabel, ByElementAndFormNumber) {
  EXPECT_EQ(ChemicalFormLabel("H-3    ", 1), "");
  EXPECT_EQ(ChemicalFormLabel("H-3    ", 3), "");
  EXPECT_EQ(ChemicalFormLabel("H-3    ", 4), "(Water Vapor)");
  EXPECT_EQ(ChemicalFormLabel("H-3    ", 5), "(Elemental)");
  EXPECT_EQ(ChemicalFormLabel("H-3    ", 6), "(Organic)");
  EXPECT_EQ(ChemicalFormLabel("H-3    ", 7), "");
  EXPECT_EQ(ChemicalFormLabel("I-131  ", 4), "");
  EXPECT_EQ(ChemicalFormLabel("I-131  ", 5), "(Methyl Iodine)");
  EXPECT_EQ(ChemicalFormLabel("Cs-137 ", 4), "");  // Cs is not C
  EXPECT_EQ(ChemicalFormLabel("C-14   ", 4), "(Carbon Monoxide)");
  EXPECT_EQ(ChemicalFormLabel("C-11   ", 5), "(Carbon Dioxide)");
  EXPECT_EQ(ChemicalFormLabel("S-35   ", 4), "(Dioxide)");
  EXPECT_EQ(ChemicalFormLabel("S-35   ", 5), "(Carbon Disulfide)");
  EXPECT_EQ(ChemicalFormLabel("Hg-203 ", 4), "(Organic Particulate)");
  EXPECT_EQ(ChemicalFormLabel("Hg-203 ", 6), "(Organic Particulate)");
  EXPECT_EQ(ChemicalFormLabel("Hg-203 ", 7), "(Vapor)");
  EXPECT_EQ(ChemicalFormLabel("h-3    ", 4), "");  // compared exactly
  EXPECT_EQ(ChemicalFormLabel("H3     ", 4), "");  // no element without '-'
  EXPECT_EQ(ChemicalFormLabel("He-6   ", 4), "");
}

TEST(TableWriter, InhalationTableOfOneRegion) {
  const std::vector<std::string> names = RegionNames();
  const std::vector<int> regions{30};
  const std::vector<double> times{1.0, 50.0};
  CoefficientTable table;
  table.Reset(1, 2);
  table.at(kLowLet, 0, 0) = 1.5e-10;
  table.at(kLowLet, 0, 1) = 2.5e-9;
  table.at(kHighLet, 0, 1) = -2.5e-300;  // below single precision: zero

  std::string text;
  WriteTableHeaders("10 y-old", names, regions, DataKind::kInhalation, text);
  WriteInhalationRows(table, times, InhalationHeader("Tc-99m ", 'F'), 1, text);

  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Inhalation Absorbed Dose Coefficients (Gy/Bq) For 10 y-old");
  EXPECT_EQ(lines[1], std::string(11, ' ') + "Time " + std::string(7, ' ') + "Lung" +
                          std::string(7, ' ') + " ");
  EXPECT_EQ(lines[2], std::string(12, ' ') + "(d)  " + "  low      high    ");
  EXPECT_EQ(lines[3], "Tc-99m F  1.0E+00 1.50E-10 0.00E+00  ");
  EXPECT_EQ(lines[4], std::string(9, ' ') + " 5.0E+01 2.50E-09 0.00E+00 ");
  EXPECT_EQ(lines[1].size(), 35u);
  EXPECT_EQ(lines[2].size(), 36u);
  EXPECT_EQ(lines[3].size(), 37u);
  EXPECT_EQ(lines[4].size(), 36u);
}

TEST(TableWriter, InhalationTableOfThreeRegionsWithLabel) {
  const std::vector<std::string> names = RegionNames();
  const std::vector<int> regions{1, 30, 29};
  const std::vector<double> times{1.0, 7.0, 365.0};
  CoefficientTable table;
  table.Reset(3, 3);
  for (int j = 0; j < 3; ++j) {
    for (int k = 0; k < 3; ++k) table.at(kHighLet, j, k) = (j + 1) * 1e-9 + k * 1e-10;
  }

  std::string text;
  WriteTableHeaders("Adult   ", names, regions, DataKind::kInhalation, text);
  WriteInhalationRows(table, times, InhalationHeader("H-3    ", 'V'), 4, text);

  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[1], std::string(11, ' ') + "Time " + "     Region 1      " +
                          "       Lung        " + "    Region 29      ");
  EXPECT_EQ(lines[2].size(), 74u);
  EXPECT_EQ(lines[3],
            "H-3    V  1.0E+00 0.00E+00 1.00E-09  0.00E+00 2.00E-09  0.00E+00 3.00E-09  "
            "(Water Vapor)");
  EXPECT_EQ(lines[3].size(), 74u + 1 + 13);
  EXPECT_EQ(lines[4].size(), 74u);
  EXPECT_EQ(lines[5], std::string(9, ' ') +
                          " 3.6E+02 0.00E+00 1.20E-09  0.00E+00 2.20E-09  0.00E+00 3.20E-09 ");
}

TEST(TableWriter, IngestionTableOfOneRegion) {
  const std::vector<std::string> names = RegionNames();
  const std::vector<int> regions{3};
  const std::vector<double> times{0.5, 18250.0};
  CoefficientTable table;
  table.Reset(1, 2);
  table.at(kLowLet, 0, 0) = 4.0e-12;
  table.at(kLowLet, 0, 1) = 9.96e-11;
  BlockHeader header;
  header.name = "Am-241 ";
  header.f1Text = "5.0E-04 ";

  std::string text;
  WriteTableHeaders("Infant  ", names, regions, DataKind::kIngestion, text);
  WriteIngestionRows(table, times, header, text);

  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Ingestion Absorbed Dose Coefficients (Gy/Bq) For Infant  ");
  EXPECT_EQ(lines[1], std::string(17, ' ') + "Time " + "     Region 3      ");
  EXPECT_EQ(lines[2], std::string(9, ' ') + "  f1     (d)  " + "  low      high    ");
  EXPECT_EQ(lines[3], "Am-241 5.0E-04  5.0E-01 4.00E-12 0.00E+00 ");
  EXPECT_EQ(lines[4], std::string(15, ' ') + " 1.8E+04 9.96E-11 0.00E+00 ");
  for (std::size_t i = 2; i < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 42u) << i;
}

TEST(TableWriter, TwoFormsOfOneAgeGiveTwoRowGroups) {
  const std::vector<double> times{1.0, 2.0};
  CoefficientTable table;
  table.Reset(2, 2);
  std::string text;
  WriteInhalationRows(table, times, InhalationHeader("H-3    ", 'F'), 3, text);
  WriteInhalationRows(table, times, InhalationHeader("H-3    ", 'V'), 4, text);
  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].substr(0, 10), "H-3    F  ");
  EXPECT_EQ(lines[0].back(), ' ');  // no label: the row ends with the blank
  EXPECT_EQ(lines[1].substr(0, 10), std::string(9, ' ') + " ");
  EXPECT_EQ(lines[2].substr(0, 10), "H-3    V  ");
  EXPECT_EQ(lines[2].substr(lines[2].size() - 14), " (Water Vapor)");
  EXPECT_EQ(lines[3].size(), lines[1].size());
}

TEST(TableWriter, CountsOutsideTheTablesAreNotRead) {
  const std::vector<std::string> names = RegionNames();
  // A region number without a name prints a blank name in its 19 characters.
  std::string text;
  WriteTableHeaders("Adult   ", names, std::vector<int>{31, 0}, DataKind::kInhalation, text);
  EXPECT_EQ(Lines(text)[1], std::string(11, ' ') + "Time " + std::string(38, ' '));
  // Rows cover only the times both the table and the list hold.
  CoefficientTable table;
  table.Reset(1, 3);
  text.clear();
  WriteIngestionRows(table, std::vector<double>{1.0, 2.0}, BlockHeader{}, text);
  EXPECT_EQ(Lines(text).size(), 2u);
  text.clear();
  WriteInhalationRows(table, std::vector<double>{}, BlockHeader{}, 1, text);
  EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace quillmore::output
