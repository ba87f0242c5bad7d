#include "app/batch_options.h"

#include <gtest/gtest.h>

namespace quillmore::app {
namespace {

using base::Status;

Status Parse(std::vector<std::string> arguments, BatchOptions* options) {
  base::Result<BatchOptions> parsed = ParseBatchOptions(arguments);
  if (parsed.ok()) *options = std::move(parsed).value();
  return parsed.status();
}

TEST(ParseBatchOptions, AcceptsRunsListingsAndChecks) {
  BatchOptions options;
  ASSERT_TRUE(
      Parse({"--data-set", "h", "--ages=1,adult", "tc-99m", "--output-dir", "out", "Am-241"},
            &options)
          .ok());
  EXPECT_EQ(options.dataKind, input::DataKind::kInhalation);
  EXPECT_EQ(options.ages, "1,adult");
  EXPECT_EQ(options.outputDir, "out");
  EXPECT_EQ(options.dataDir, "DATA");
  EXPECT_EQ(options.nuclides, (std::vector<std::string>{"tc-99m", "Am-241"}));
  EXPECT_TRUE(options.formats.text && !options.formats.csv && !options.formats.json);

  BatchOptions exports;
  ASSERT_TRUE(
      Parse({"--data-set", "h", "--format", "JSON,csv", "--manifest", "H-3"}, &exports).ok());
  EXPECT_TRUE(!exports.formats.text && exports.formats.csv && exports.formats.json);
  EXPECT_TRUE(exports.manifest);

  BatchOptions figures;
  ASSERT_TRUE(Parse({"--data-set", "h", "--figures", "png,SVG", "--figure-size", "4x3.5",
                     "--dpi=300", "--compare", "nuclides", "--form", "2", "H-3", "C-14"},
                    &figures)
                  .ok());
  EXPECT_EQ(figures.figures,
            (std::vector<plot::FigureFormat>{plot::FigureFormat::kPng, plot::FigureFormat::kSvg}));
  EXPECT_EQ(figures.figureSize.widthInches, 4);
  EXPECT_EQ(figures.figureSize.heightInches, 3.5);
  EXPECT_EQ(figures.figureSize.dpi, 300);
  EXPECT_EQ(figures.compare, run::Comparison::kNuclides);
  EXPECT_EQ(figures.form, 2);
  BatchOptions eight;  // one curve each fills a figure; a ninth is refused below
  EXPECT_TRUE(Parse({"--data-set", "h", "--figures", "svg", "--compare", "nuclides", "a", "b", "c",
                     "d", "e", "f", "g", "h"},
                    &eight)
                  .ok());

  BatchOptions periods;
  ASSERT_TRUE(
      Parse({"--data-set", "h", "--periods=1d,7D,30.5d,1y,1.5e1Y,2E-1d", "H-3"}, &periods).ok());
  EXPECT_EQ(periods.periodDays, (std::vector<double>{1, 7, 30.5, 365, 5475, 0.2}));
  // Out of range either way: only an overflow is too large.
  BatchOptions tiny;
  EXPECT_EQ(Parse({"--data-set", "h", "--periods", "1e-400d", "H-3"}, &tiny).message(),
            "--periods: \"1e-400d\" is not a positive period");
  BatchOptions huge;
  EXPECT_EQ(Parse({"--data-set", "h", "--periods", "1e400y", "H-3"}, &huge).message(),
            "--periods: \"1e400y\" is too large a period");
  // As many periods as a times file holds, and no more.
  std::string hundred = "1d";
  for (int k = 2; k <= 100; ++k) hundred += "," + std::to_string(k) + "d";
  BatchOptions most, tooMany;
  ASSERT_TRUE(Parse({"--data-set", "h", "--periods", hundred, "H-3"}, &most).ok());
  EXPECT_EQ(most.periodDays.size(), 100U);
  EXPECT_EQ(most.periodDays.back(), 100);
  EXPECT_EQ(Parse({"--data-set", "h", "--periods", hundred + ",101d", "H-3"}, &tooMany).message(),
            "--periods: more than 100 periods");

  BatchOptions listing;
  EXPECT_TRUE(Parse({"--data-set=ingestion", "--list-regions"}, &listing).ok());
  EXPECT_EQ(listing.dataKind, input::DataKind::kIngestion);
  BatchOptions check;
  EXPECT_TRUE(Parse({"--check", "--data-dir", "x"}, &check).ok());
  BatchOptions intakes;
  ASSERT_TRUE(Parse({"--intakes", "i.csv", "--until", "2040", "--by-intake", "--high-let-weight",
                     "20", "--regions", "lung", "--format", "csv,json", "--until-age", "150",
                     "--figures", "svg,png", "--dpi", "100"},
                    &intakes)
                  .ok());
  EXPECT_EQ(intakes.untilYear, 2040);
  EXPECT_EQ(intakes.untilAge, 150);
  EXPECT_EQ(intakes.highLetWeight, 20.0);
  EXPECT_TRUE(intakes.byIntake);
  EXPECT_EQ(intakes.figures.size(), 2U);
  EXPECT_FALSE(intakes.byNuclide || intakes.byRoute);
  EXPECT_EQ(intakes.compress, output::Compression::kNone);
  BatchOptions grouped;
  ASSERT_TRUE(Parse({"--intakes", "i.csv", "--by", "Route,nuclide", "--compress", "gzip",
                     "--format", "json"},
                    &grouped)
                  .ok());
  EXPECT_TRUE(grouped.byNuclide && grouped.byRoute && !grouped.byIntake);
  EXPECT_EQ(grouped.compress, output::Compression::kGzip);
  BatchOptions byIntake;
  ASSERT_TRUE(Parse({"--intakes", "i.csv", "--by", "intake"}, &byIntake).ok());
  EXPECT_TRUE(byIntake.byIntake && !byIntake.byNuclide && !byIntake.byRoute);
  BatchOptions risk;
  ASSERT_TRUE(Parse({"--intakes", "i.csv", "--format", "csv,risk", "--sites", "s.csv",
                     "--risk-unit", "cgy", "--radiation-names", "electrons E>15keV,photons"},
                    &risk)
                  .ok());
  EXPECT_TRUE(risk.formats.csv && risk.formats.risk && !risk.formats.json);
  EXPECT_EQ(risk.sitesFile, "s.csv");
  EXPECT_EQ(risk.riskUnit, output::RiskUnit::kCentigray);
  EXPECT_EQ(risk.highLetName, "electrons E>15keV");
  EXPECT_EQ(risk.lowLetName, "photons");
  BatchOptions riskAlone;  // a CSV file of its own, which --compress may compress
  ASSERT_TRUE(
      Parse({"--intakes", "i.csv", "--format", "risk", "--sites", "s.csv", "--compress", "gzip"},
            &riskAlone)
          .ok());
  EXPECT_EQ(riskAlone.riskUnit, output::RiskUnit::kMilligray);
  EXPECT_EQ(riskAlone.highLetName + "," + riskAlone.lowLetName, "alpha,low-LET");
  BatchOptions dashes;
  EXPECT_TRUE(Parse({"--data-set", "g", "--", "-odd"}, &dashes).ok());
  EXPECT_EQ(dashes.nuclides, std::vector<std::string>{"-odd"});
}

TEST(ParseBatchOptions, UsageErrorsAreOneLine) {
  const std::vector<std::vector<std::string>> bad = {
      {"Tc-99m"},                                // no data set
      {"--data-set", "lungs", "Tc-99m"},         // unknown data set
      {"--data-set", "h"},                       // nothing to do
      {"--data-set", "h", "--all", "Tc-99m"},    // both
      {"--data-set", "h", "--bogus", "Tc-99m"},  // unknown option
      {"--data-set", "h", "--all=1"},            // flag with a value
      {"--data-set"},                            // missing value
      {"--data-set", "h", "--jobs", "0", "--all"},
      {"--data-set", "h", "--format", "txt,xml", "--all"},
      {"--data-set", "h", "--format", "", "--all"},
      {"--check", "Tc-99m"},  // an action with nuclides, which it would ignore
      {"--data-set", "h", "--list-regions", "--all"},
      {"--data-set", "g", "--list-nuclides", "Tc-99m"},
      {"--data-set", "h", "--figures", "svg,eps", "H-3"},
      {"--data-set", "h", "--figures", "png,svg,png", "H-3"},
      {"--check", "--periods", "1d"},
      {"--data-set", "h", "--periods", "1d,,2d", "H-3"},
      {"--data-set", "h", "--periods", "0y", "H-3"},
      {"--data-set", "h", "--periods", "2w", "H-3"},
      {"--data-set", "h", "--periods", "1e999d", "H-3"},
      {"--data-set", "h", "--periods", "1dd", "H-3"},
      {"--data-set", "h", "--periods", "1.5.5d", "H-3"},
      {"--data-set", "h", "--figures", "svg", "--figure-size", "6.4", "H-3"},
      {"--data-set", "h", "--figures", "svg", "--figure-size", "0x7", "H-3"},
      {"--data-set", "h", "--figures", "svg", "--dpi", "20", "H-3"},
      {"--data-set", "h", "--compare", "ages", "H-3"},  // nothing to draw it in
      {"--data-set", "h", "--dpi", "300", "H-3"},
      {"--data-set", "h", "--figures", "svg", "--compare", "regions", "H-3"},
      {"--data-set", "h", "--figures", "svg", "--form", "2", "H-3"},  // only for nuclides
      {"--data-set", "h", "--figures", "svg", "--compare", "nuclides", "--all"},
      {"--data-set", "h", "--figures", "svg", "--compare", "nuclides", "a", "b", "c", "d", "e", "f",
       "g", "h", "i"},
      // The intake file says what the table options would.
      {"--intakes", "i.csv", "--data-set", "h"},
      {"--intakes", "i.csv", "--ages", "all"},
      {"--intakes", "i.csv", "--all"},
      {"--intakes", "i.csv", "--figures", "svg", "--compare", "ages"},
      {"--intakes", "i.csv", "--dpi", "300"},  // nothing to draw it in
      {"--intakes", "i.csv", "--times", "t.ini"},
      {"--intakes", "i.csv", "Cs-137"},
      {"--intakes", "i.csv", "--format", "txt"},
      {"--intakes", "i.csv", "--until", "20x"},
      {"--intakes", "i.csv", "--until-age", "0"},
      {"--intakes", "i.csv", "--until-age", "151"},
      {"--data-set", "h", "--until-age", "70", "--all"},
      {"--intakes", "i.csv", "--high-let-weight", "-1"},
      {"--data-set", "h", "--until", "2040", "--all"},
      {"--data-set", "h", "--by", "nuclide", "--all"},
      {"--intakes", "i.csv", "--by", "nuclide,age"},
      {"--intakes", "i.csv", "--by", "route,Route"},
      {"--intakes", "i.csv", "--by", ""},
      {"--intakes", "i.csv", "--compress", "bzip2"},
      // Nothing for --compress to compress: no CSV file is written.
      {"--intakes", "i.csv", "--format", "json", "--compress", "gzip"},
      {"--data-set", "h", "--compress", "gzip", "--all"},
      {"--data-set", "h", "--format", "json", "--compress", "gzip", "--all"},
      // The rows for a risk calculator need their sites, and their options the rows.
      {"--intakes", "i.csv", "--format", "risk"},
      {"--intakes", "i.csv", "--sites", "s.csv"},
      {"--intakes", "i.csv", "--format", "csv", "--risk-unit", "Gy"},
      {"--intakes", "i.csv", "--radiation-names", "a,b"},
      {"--intakes", "i.csv", "--format", "risk", "--sites", "s.csv", "--risk-unit", "rad"},
      {"--intakes", "i.csv", "--format", "risk", "--sites", "s.csv", "--radiation-names", "a"},
      {"--intakes", "i.csv", "--format", "risk", "--sites", "s.csv", "--radiation-names", "a,a"},
      {"--data-set", "h", "--format", "risk", "--all"},
      {"--data-set", "h", "--sites", "s.csv", "--all"}};
  for (const auto& arguments : bad) {
    BatchOptions options;
    const Status status = Parse(arguments, &options);
    EXPECT_EQ(status.code(), Status::Code::kInvalidArgument) << arguments.back();
    EXPECT_EQ(status.message().find('\n'), std::string::npos);
  }
  BatchOptions options;
  EXPECT_NE(
      Parse({"--intakes", "i.csv", "--by", "nuclide,age"}, &options).message().find("\"age\""),
      std::string::npos);
}

}  // namespace
}  // namespace quillmore::app
