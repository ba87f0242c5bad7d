// The built quillmore-batch run on generated sample data, as a user runs it:
// its own process, a working folder of its own, stdout and stderr captured.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "base/text.h"
#include "input/age_groups.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "input/nuclide_name.h"
#include "integration/block_integration.h"
#include "run/data_files.h"
#include "run/nuclide_run.h"
#include "sample_data/sample_data.h"
#include "support/data_builder.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace quillmore::app {
namespace {

namespace fs = std::filesystem;
using testing::Outcome;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

constexpr char kBatchProgram[] = QUILLMORE_BINARY_DIR "/src/quillmore-batch";

// quillmore-batch in `folder`, stdout and stderr to files.
Outcome RunBatchProgram(const fs::path& folder, const std::vector<std::string>& arguments) {
  return testing::RunProgram(kBatchProgram, folder, arguments);
}

// The same with stderr on a pseudo-terminal.
Outcome RunBatchOnTerminal(const fs::path& folder, const std::vector<std::string>& arguments) {
  return testing::RunProgramOnTerminal(kBatchProgram, folder, arguments);
}

// File name -> bytes of every file in `folder`.
std::map<std::string, std::string> FolderContent(const fs::path& folder) {
  std::map<std::string, std::string> content;
  if (!fs::is_directory(folder)) return content;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    content[entry.path().filename().string()] = ReadFile(entry.path());
  }
  return content;
}

std::vector<std::string> Names(const std::map<std::string, std::string>& content) {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : content) names.push_back(name);
  return names;
}

// The lines of a CSV text after its header, each split at its commas (the
// files tested here quote no field).
std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  std::getline(lines, line);
  std::vector<std::vector<std::string>> rows;
  while (std::getline(lines, line)) {
    std::vector<std::string>& row = rows.emplace_back();
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, ',');) row.push_back(field);
  }
  return rows;
}

std::size_t CountLines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// Writes `nuclide`'s tables by calling the nuclide run directly, with the
// choices the batch program is given on its command line.
void WriteInProcess(const fs::path& data, input::DataKind kind, const std::string& typed,
                    const std::vector<int>& ages, const std::vector<int>& regions,
                    const fs::path& outputFolder) {
  base::Result<input::DataIndex> openedIndex = run::OpenIndex(data);
  base::Result<input::DoseRateFile> openedFile = run::OpenDoseRates(data, kind);
  ASSERT_TRUE(openedIndex.ok());
  ASSERT_TRUE(openedFile.ok());
  input::DataIndex& index = openedIndex.value();
  input::DoseRateFile& file = openedFile.value();
  std::string name = typed;
  input::NormaliseNuclideName(name);
  ASSERT_NE(index.FindNuclide(name), 0);
  run::RunSelection run;
  run.dataKind = kind;
  run.selectedAges = ages;
  run.selectedRegions = regions;
  run.regionNames = run::ReadRegionNames(file);
  run.integrationTimes = run::ReadTimes(data).value();
  run::NuclideWorkspace workspace;
  const run::NuclideResult result =
      run::WriteNuclideTables(file, index.entry(), run, outputFolder, workspace);
  ASSERT_TRUE(result.status.ok()) << result.status.message();
  ASSERT_TRUE(result.messages.empty());
}

class BatchProgramTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    sampleRoot_ = new TempDir;
    ASSERT_TRUE(tools::GenerateSampleData({}, sampleRoot_->path() / "DATA").ok());
    tools::SampleDataOptions many;
    many.nuclideCount = 36;
    many.seed = 7;
    ASSERT_TRUE(tools::GenerateSampleData(many, sampleRoot_->path() / "MANY").ok());
  }
  static void TearDownTestSuite() {
    delete sampleRoot_;
    sampleRoot_ = nullptr;
  }

  // A working folder holding a copy of the sample data set as DATA.
  BatchProgramTest() {
    fs::copy(sampleRoot_->path() / "DATA", work_ / "DATA", fs::copy_options::recursive);
  }
  Outcome Run(const std::vector<std::string>& arguments) {
    return RunBatchProgram(work_.path(), arguments);
  }
  static fs::path Many() { return sampleRoot_->path() / "MANY"; }
  // How many nuclides --list-nuclides gives for the MANY set and `kind`.
  std::size_t ListedNuclides(const std::string& kind) {
    return CountLines(
        Run({"--data-set", kind, "--data-dir", Many().string(), "--list-nuclides"}).out);
  }

  static TempDir* sampleRoot_;
  TempDir work_;
};

TempDir* BatchProgramTest::sampleRoot_ = nullptr;

TEST_F(BatchProgramTest, InhalationTablesMatchTheNuclideRunByNameAndBytes) {
  const Outcome outcome =
      Run({"--data-set", "inhalation", "--ages", "1,adult", "--regions", "1,lung", "tc-99m"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(outcome.out.rfind("Wrote 2 files for 1 nuclide to OUTPUT in ", 0), 0u) << outcome.out;

  WriteInProcess(work_ / "DATA", input::DataKind::kInhalation, "tc-99m", {1, 6}, {1, 30},
                 work_ / "EXPECTED");
  const auto written = FolderContent(work_ / "OUTPUT");
  EXPECT_EQ(Names(written), (std::vector<std::string>{"Tc-99m_100_H.TXT", "Tc-99m_7300_H.TXT"}));
  EXPECT_EQ(written, FolderContent(work_ / "EXPECTED"));
  EXPECT_GT(written.at("Tc-99m_100_H.TXT").size(), 200u);
}

TEST_F(BatchProgramTest, IngestionTablesMatchTheNuclideRunByNameAndBytes) {
  const Outcome outcome = Run({"--data-set", "g", "AM-241"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");

  WriteInProcess(work_ / "DATA", input::DataKind::kIngestion, "am-241", {1, 2, 3, 4, 5, 6},
                 {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                  16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30},
                 work_ / "EXPECTED");
  const auto written = FolderContent(work_ / "OUTPUT");
  EXPECT_EQ(Names(written), (std::vector<std::string>{"Am-241_100_G.TXT", "Am-241_1825_G.TXT",
                                                      "Am-241_3650_G.TXT", "Am-241_365_G.TXT",
                                                      "Am-241_5475_G.TXT", "Am-241_7300_G.TXT"}));
  EXPECT_EQ(written, FolderContent(work_ / "EXPECTED"));
}

TEST_F(BatchProgramTest, MissingNuclideIsReportedAndTheOthersAreWritten) {
  const Outcome outcome = Run({"--data-set", "h", "--ages", "6", "tc-99m", "xx-1", "am-241"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "quillmore-batch: no data are available for Xx-1\n");
  EXPECT_EQ(Names(FolderContent(work_ / "OUTPUT")),
            (std::vector<std::string>{"Am-241_7300_H.TXT", "Tc-99m_7300_H.TXT"}));

  // Only missing nuclides: nothing written, still a warning rather than an error.
  // A name close to some in the index suggests them, closest first.
  const Outcome none = Run({"--data-set", "h", "--output-dir", "NONE", "xx-1", "Tc99m", "am241m"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err,
            "quillmore-batch: no data are available for Xx-1\n"
            "quillmore-batch: no data are available for Tc99m; did you mean Tc-99m?\n"
            "quillmore-batch: no data are available for Am241m; did you mean Am-241 or Am-242m?\n");
  EXPECT_FALSE(fs::exists(work_ / "NONE"));
}

TEST_F(BatchProgramTest, UsageAndDataSetErrorsExitTwoWithOneLineAndNoOutput) {
  const std::vector<std::vector<std::string>> cases = {
      {"tc-99m"},                                      // no data set
      {"--data-set", "lungs", "tc-99m"},               // unknown data set
      {"--data-set", "h", "--bogus", "tc-99m"},        // unknown option
      {"--data-set", "h", "--ages", "7", "tc-99m"},    // no such age group
      {"--data-set", "h", "--ages", "1,1", "tc-99m"},  // an age twice
      {"--data-set", "h", "--regions", "spleen,31", "tc-99m"},
      {"--data-set", "h", "--jobs", "0", "tc-99m"},
      {"--data-set", "h", "--times", "nowhere.ini", "tc-99m"},
      {"--data-set", "h", "--data-dir", "nowhere", "tc-99m"},
      {"--data-set", "h", "--times", "DATA", "tc-99m"},
      {"--check", "tc-99m"},  // an action option with nuclides
      // A value option given twice: the second would silently win.
      {"--data-set", "h", "--regions", "lung", "--regions", "liver", "tc-99m"},
      {"--data-set", "h", "--data-set", "g", "tc-99m"},
      {"--data-set", "h", "--format", "csv,csv", "tc-99m"},
      {"--data-set", "h", "--periods", "1d", "--periods", "2d", "tc-99m"},
      {"--data-set", "h", "--periods", "365d,1y", "tc-99m"},
      {"--data-set", "h", "--periods", "7", "tc-99m"},
      {"--data-set", "h", "--periods", "1 d", "tc-99m"},
      {"--data-set", "h", "--periods", "-1d", "tc-99m"},
      {"--data-set", "h", "--times", "DATA/Quillmore.ini", "--periods", "1d", "tc-99m"},
  };
  for (const std::vector<std::string>& arguments : cases) {
    const Outcome outcome = Run(arguments);
    SCOPED_TRACE(arguments.size() > 1 ? arguments[arguments.size() - 2] : arguments[0]);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(CountLines(outcome.err), 1u) << outcome.err;
    EXPECT_EQ(outcome.err.rfind("quillmore-batch: ", 0), 0u) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    EXPECT_FALSE(fs::exists(work_ / "OUTPUT"));
  }
  // A missing data folder reads the same in a run as in --check.
  EXPECT_EQ(Run({"--data-set", "h", "--data-dir", "nowhere", "tc-99m"}).err,
            "quillmore-batch: no data folder nowhere\n");
  EXPECT_EQ(Run({"--data-set", "h", "--times", "DATA", "tc-99m"}).err,
            "quillmore-batch: --times names a folder, not a file: DATA\n");
  EXPECT_EQ(Run({"--data-set", "h", "--periods", "1d,365d,1y", "tc-99m"}).err,
            "quillmore-batch: --periods: \"1y\" repeats 365 d (see --help)\n");
  EXPECT_EQ(Run({"--data-set", "h", "-q", "--quiet", "--output-dir", "Q", "--ages", "1", "tc-99m"})
                .status,
            0);

  // Line ends converted to LF: no record could be found, so nothing is written.
  const fs::path rates = work_ / "DATA" / "TQV27INH2.DRT";
  std::string bytes = testing::ReadFile(rates);
  for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at))
    bytes.erase(at, 1);
  WriteFile(rates, bytes);
  const Outcome converted = Run({"--data-set", "h", "tc-99m"});
  EXPECT_EQ(converted.status, 2);
  EXPECT_EQ(converted.err,
            "quillmore-batch: DATA/TQV27INH2.DRT: lines end in LF, not CR LF: the line ends were "
            "probably converted (convert them back, for example with unix2dos); no record can be "
            "found by its offset\n");
  // A history run says the same of the same file.
  WriteFile(work_ / "one.csv",
            "person,birth_date,nuclide,intake,form,start,end,activity_bq\n"
            "A,1990-01-01,Cs-137,h,F,2000-01-01,,1\n");
  const Outcome history = Run({"--intakes", "one.csv"});
  EXPECT_EQ(history.status, 2);
  EXPECT_EQ(history.err, converted.err);
  EXPECT_FALSE(fs::exists(work_ / "OUTPUT"));

  // A missing dose-rate file is named.
  fs::remove(work_ / "DATA" / "TQV27ING2.DRT");
  const Outcome noFile = Run({"--data-set", "g", "tc-99m"});
  EXPECT_EQ(noFile.status, 2);
  EXPECT_NE(noFile.err.find("TQV27ING2.DRT"), std::string::npos) << noFile.err;
  EXPECT_FALSE(fs::exists(work_ / "OUTPUT"));

  // An output folder that cannot be made.
  WriteFile(work_ / "blocked", "a file, not a folder");
  const Outcome blocked = Run({"--data-set", "h", "--output-dir", "blocked/out", "tc-99m"});
  EXPECT_EQ(blocked.status, 2);
  EXPECT_EQ(CountLines(blocked.err), 1u) << blocked.err;
}

// The value of attribute `name` in the first tag from `from` on of `svg`.
std::string SvgAttribute(const std::string& svg, std::size_t from, const std::string& name) {
  const std::size_t at = svg.find(" " + name + "=\"", from);
  if (at == std::string::npos || at > svg.find('>', from)) return "(none)";
  const std::size_t start = at + name.size() + 3;
  return svg.substr(start, svg.find('"', start) - start);
}

TEST_F(BatchProgramTest, PersonFiguresAreNamedByPersonRecordedAndDrawAtMostEightRegions) {
  WriteFile(work_ / "f.csv",
            "person,birth_date,nuclide,intake,form,start,end,activity_bq\n"
            "W 1,1990-01-01,Cs-137,h,F,2000-06-01,,1000\n"
            "W_1,1980-05-05,Pu-239,h,M,2010-01-01,2010-12-31,100\n"
            "W 1,1990-01-01,Cs-137,g,1,2005-03-01,,500\n");
  // All regions (the default) are more lines than a figure holds: nothing is written.
  const Outcome all = Run({"--intakes", "f.csv", "--figures", "svg"});
  EXPECT_EQ(all.status, 2);
  EXPECT_EQ(CountLines(all.err), 1u) << all.err;
  EXPECT_NE(all.err.find("--regions"), std::string::npos) << all.err;
  EXPECT_FALSE(fs::exists(work_ / "OUTPUT"));

  const Outcome drawn =
      Run({"--intakes", "f.csv", "--figures", "svg,png", "--regions", "lung,liver"});
  ASSERT_EQ(drawn.status, 0) << drawn.err;
  const nlohmann::json manifest =
      nlohmann::json::parse(ReadFile(work_ / "OUTPUT" / "quillmore-run.json"));
  std::vector<std::string> listed;
  for (const auto& file : manifest["files"]) listed.push_back(file["name"]);
  EXPECT_EQ(listed,
            (std::vector<std::string>{"W_1_2_annual.png", "W_1_2_annual.svg", "W_1_annual.png",
                                      "W_1_annual.svg", "annual_doses.csv"}));
  // What W 1's figure spans and leaves out, from the rows of annual_doses.csv:
  // its years and values <= 0 per panel.
  int firstYear = 9999, lastYear = 0, lowLeftOut = 0, highLeftOut = 0;
  for (const std::vector<std::string>& row :
       CsvRows(ReadFile(work_ / "OUTPUT" / "annual_doses.csv"))) {
    if (row[0] != "W 1") continue;
    const int year = std::stoi(row[2]);
    firstYear = std::min(firstYear, year);
    lastYear = std::max(lastYear, year);
    lowLeftOut += std::stod(row[6]) <= 0 ? 1 : 0;
    highLeftOut += std::stod(row[7]) <= 0 ? 1 : 0;
  }
  ASSERT_EQ(lastYear, 2055);  // 50 years after the last intake
  const std::string svg = ReadFile(work_ / "OUTPUT" / "W_1_annual.svg");
  std::vector<std::size_t> panels;
  for (std::size_t at = svg.find("<panel "); at != std::string::npos;
       at = svg.find("<panel ", at + 1))
    panels.push_back(at);
  ASSERT_EQ(panels.size(), 2u);
  const int leftOut[] = {lowLeftOut, highLeftOut};
  for (std::size_t p = 0; p < 2; ++p) {
    SCOPED_TRACE(p);
    EXPECT_EQ(SvgAttribute(svg, panels[p], "x-min-year"), std::to_string(firstYear));
    // To the end of the year holding the end of follow-up, 1 January after the last year.
    EXPECT_EQ(SvgAttribute(svg, panels[p], "x-max-year"), std::to_string(lastYear + 2));
    EXPECT_EQ(SvgAttribute(svg, panels[p], "values-left-out"), std::to_string(leftOut[p]));
    const std::size_t end = svg.find("</panel>", panels[p]);
    std::size_t series = 0;
    for (std::size_t at = svg.find("<series ", panels[p]); at < end;
         at = svg.find("<series ", at + 1))
      ++series;
    EXPECT_EQ(series, 2u);
  }
  EXPECT_EQ(SvgAttribute(svg, panels[0], "title"), "Low-LET annual dose (Gy)");
  const std::size_t end = svg.find("<mark label=\"follow-up end\"");
  ASSERT_NE(end, std::string::npos);
  EXPECT_EQ(SvgAttribute(svg, end, "at"), std::to_string(lastYear + 1) + ".0000");
  const std::size_t intakes = svg.find("<mark label=\"intake\"");
  ASSERT_NE(intakes, std::string::npos);
  // 1 June 2000: 152 days of 366 gone; 1 March 2005: 59 of 365.
  EXPECT_EQ(SvgAttribute(svg, intakes, "at"), "2000.4153 2005.1616");
}

TEST_F(BatchProgramTest, NuclideNamedTwiceIsWrittenOnce) {
  const Outcome outcome = Run({"--data-set", "h", "tc-99m", "TC-99M", "Tc-99m"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out.rfind("Wrote 6 files for 1 nuclide to", 0), 0u) << outcome.out;
  EXPECT_EQ(FolderContent(work_ / "OUTPUT").size(), 6u);
}

TEST_F(BatchProgramTest, OutputFolderIsCreatedWhenMissing) {
  const Outcome outcome =
      Run({"--data-set", "g", "--ages", "infant", "--output-dir", "runs/first", "am-241"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out.rfind("Wrote 1 file for 1 nuclide to runs/first in ", 0), 0u)
      << outcome.out;
  EXPECT_EQ(Names(FolderContent(work_ / "runs" / "first")),
            std::vector<std::string>{"Am-241_100_G.TXT"});
  EXPECT_FALSE(fs::exists(work_ / "OUTPUT"));

  // CSV alone also makes the folder; the manifest comes with it and counts as no file of the run.
  const Outcome csv = Run({"--data-set", "g", "--format", "csv", "--output-dir", "runs/csv",
                           "--regions", "lung", "am-241"});
  EXPECT_EQ(csv.status, 0) << csv.err;
  EXPECT_EQ(csv.out.rfind("Wrote 1 file for 1 nuclide ", 0), 0u) << csv.out;
  EXPECT_EQ(Names(FolderContent(work_ / "runs" / "csv")),
            (std::vector<std::string>{"Am-241_G.csv", "quillmore-run.json"}));
}

// {"file": NAME, "size": ..., "sha256": ...} of `path`, the digest as sha256sum gives it.
nlohmann::json FileRecord(const fs::path& path) {
  const Outcome sum =
      testing::RunProgram("/usr/bin/sha256sum", path.parent_path(), {path.filename().string()});
  return {{"file", path.filename().string()},
          {"size", fs::file_size(path)},
          {"sha256", sum.out.substr(0, 64)}};
}

TEST_F(BatchProgramTest, ManifestOnRequestAndNeverStale) {
  const Outcome first =
      Run({"--data-set", "h", "--format", "txt,json", "--ages", "1", "tc-99m", "xx-1", "be-7"});
  EXPECT_EQ(first.status, 1);
  const auto manifest = nlohmann::json::parse(ReadFile(work_ / "OUTPUT" / "quillmore-run.json"));
  EXPECT_NE(manifest.dump().find("\"name\":\"Tc-99m_100_H.TXT\""), std::string::npos);
  // Each message in its own array: the unknown name warns, Be-7's one-point blocks are noted.
  ASSERT_EQ(manifest["warnings"].size(), 1u);
  EXPECT_EQ(manifest["warnings"][0]["nuclide"], "Xx-1");
  EXPECT_EQ(manifest["warnings"][0]["message"], "no data are available for Xx-1");
  ASSERT_EQ(manifest["notes"].size(), 1u);
  EXPECT_EQ(manifest["notes"][0]["nuclide"], "Be-7");
  // The provenance names the files the numbers come from, by their bytes.
  const auto json = nlohmann::json::parse(ReadFile(work_ / "OUTPUT" / "Tc-99m_H.json"));
  for (const auto& provenance : {manifest["provenance"], json["provenance"]}) {
    EXPECT_EQ(provenance["data_set"], FileRecord(work_ / "DATA" / "TQV27INH2.DRT"));
    EXPECT_EQ(provenance["index"], FileRecord(work_ / "DATA" / input::kIndexFileName));
    nlohmann::json times = FileRecord(work_ / "DATA" / input::kTimesFileName);
    times.erase("size");
    times.erase("file");
    times["path"] = "DATA/Quillmore.ini";
    EXPECT_EQ(provenance["times"], times);
  }

  // A run that fails leaves no manifest of an earlier run behind.
  fs::create_directory(work_ / "OUTPUT" / "Tc-99m_100_H.TXT.blocked");
  fs::remove(work_ / "OUTPUT" / "Tc-99m_100_H.TXT");
  fs::rename(work_ / "OUTPUT" / "Tc-99m_100_H.TXT.blocked", work_ / "OUTPUT" / "Tc-99m_100_H.TXT");
  EXPECT_EQ(Run({"--data-set", "h", "--manifest", "--ages", "1", "tc-99m"}).status, 2);
  EXPECT_FALSE(fs::exists(work_ / "OUTPUT" / "quillmore-run.json"));
}

TEST_F(BatchProgramTest, ListsRegionsAndNuclidesOfTheDataSet) {
  const Outcome regions = Run({"--data-set", "h", "--list-regions"});
  EXPECT_EQ(regions.status, 0);
  EXPECT_EQ(CountLines(regions.out), 30u);
  EXPECT_EQ(regions.out.rfind(" 1  ", 0), 0u) << regions.out;
  EXPECT_NE(regions.out.find("\n30  Lung\n"), std::string::npos) << regions.out;

  const Outcome nuclides = Run({"--data-set", "g", "--list-nuclides"});
  EXPECT_EQ(nuclides.status, 0);
  EXPECT_NE(nuclides.out.find("\nTc-99m\n"), std::string::npos) << nuclides.out;
  EXPECT_NE(nuclides.out.find("Am-241\n"), std::string::npos) << nuclides.out;
  // Every listed name is one the program then finds.
  std::vector<std::string> arguments{"--data-set", "g", "--ages", "1", "--regions", "30"};
  std::size_t listed = 0;
  for (std::size_t start = 0, end; (end = nuclides.out.find('\n', start)) != std::string::npos;
       start = end + 1, ++listed) {
    arguments.push_back(nuclides.out.substr(start, end - start));
  }
  EXPECT_GT(listed, 10u);
  const Outcome all = Run(arguments);
  EXPECT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(FolderContent(work_ / "OUTPUT").size(), listed);
}

TEST_F(BatchProgramTest, CheckPassesSampleDataAndReportsABrokenCopyByRecord) {
  // Notes alone: clean, exit 0; --quiet hides them.
  const Outcome clean = Run({"--check"});
  EXPECT_EQ(clean.status, 0) << clean.out;
  EXPECT_EQ(clean.out.substr(clean.out.find("\nDoseInd.NDX")),
            "\nDoseInd.NDX:23: note: Kr-85 has no data in TQV27ING2.DRT\n"
            "DoseInd.NDX:26: note: Ni-63 has no data in TQV27INH2.DRT\n"
            "The data set in DATA is clean (4 notes).\n");
  EXPECT_EQ(Run({"--check", "--quiet"}).out, "");
  EXPECT_EQ(Run({"--check", "--data-dir", Many().string()}).status, 0);
  const Outcome noFolder = Run({"--check", "--data-dir", "nowhere"});
  EXPECT_EQ(noFolder.status, 2);
  EXPECT_EQ(noFolder.err, "quillmore-batch: no data folder nowhere\n");

  // Index record 4 (25 bytes each): its first start record moved past the end of
  // the file; record 6 renamed so that the names fall out of order.
  fs::copy(work_ / "DATA", work_ / "BROKEN", fs::copy_options::recursive);
  std::string index = ReadFile(work_ / "BROKEN" / input::kIndexFileName);
  index.replace(3 * 25 + 7, 8, "   99999");
  index.replace(5 * 25, 7, "Zz-999 ");
  WriteFile(work_ / "BROKEN" / input::kIndexFileName, index);
  const Outcome broken = Run({"--check", "--data-dir", "BROKEN"});
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.out.find("DoseInd.NDX:4: start record 99999"), std::string::npos) << broken.out;
  EXPECT_NE(broken.out.find("DoseInd.NDX:7: "), std::string::npos) << broken.out;
  EXPECT_EQ(broken.out.find("clean"), std::string::npos);
}

TEST_F(BatchProgramTest, ParallelRunWritesTheSameBytesAsASerialRun) {
  for (const char* kind : {"h", "g"}) {
    SCOPED_TRACE(kind);
    const std::string serial = std::string("SERIAL_") + kind;
    const std::string parallel = std::string("PARALLEL_") + kind;
    const std::vector<std::string> common{"--data-set",    kind,    "--data-dir",
                                          Many().string(), "--all", "--quiet"};
    std::vector<std::string> one = common;
    one.insert(one.end(), {"--jobs", "1", "--output-dir", serial});
    std::vector<std::string> two = common;
    two.insert(two.end(), {"--jobs", "2", "--output-dir", parallel});
    EXPECT_EQ(Run(one).status, 0);
    EXPECT_EQ(Run(two).status, 0);
    const auto serialFiles = FolderContent(work_ / serial);
    EXPECT_EQ(serialFiles.size(), ListedNuclides(kind) * 6u);
    EXPECT_TRUE(serialFiles == FolderContent(work_ / parallel));
  }
}

TEST_F(BatchProgramTest, ProgressBarOnlyOnATerminalAndNeverWhenQuiet) {
  const std::vector<std::string> run{"--data-set", "h",      "--data-dir", Many().string(),
                                     "--all",      "--ages", "1"};
  const Outcome piped = Run(run);
  EXPECT_EQ(piped.status, 0);
  EXPECT_EQ(piped.err, "");
  const std::string count = std::to_string(ListedNuclides("h"));
  EXPECT_EQ(piped.out.rfind("Wrote " + count + " files for " + count + " nuclides", 0), 0u)
      << piped.out;

  const Outcome shown = RunBatchOnTerminal(work_.path(), run);
  EXPECT_EQ(shown.status, 0);
  EXPECT_NE(shown.err.find(count + "/" + count), std::string::npos) << shown.err;
  EXPECT_NE(shown.err.find("nuclides/s"), std::string::npos);

  std::vector<std::string> quietRun = run;
  quietRun.push_back("--quiet");
  const Outcome quiet = RunBatchOnTerminal(work_.path(), quietRun);
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.err, "");
  EXPECT_EQ(quiet.out, "");
}

TEST_F(BatchProgramTest, QuietKeepsOnlyProblems) {
  const Outcome written = Run({"--quiet", "--data-set", "h", "tc-99m"});
  EXPECT_EQ(written.status, 0);
  EXPECT_EQ(written.out + written.err, "");
  EXPECT_EQ(Run({"--quiet", "--check"}).out, "");

  const Outcome missing = Run({"--quiet", "--data-set", "h", "tc-99m", "xx-1"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "quillmore-batch: no data are available for Xx-1\n");
  EXPECT_EQ(Run({"--quiet", "--data-set", "h", "--ages", "9", "tc-99m"}).status, 2);
}

// The curve file against the table's own code: the rates at the tabulated
// times are the file's rates, the doses and their far-extrapolation status at
// the periods (some far past the data) the coefficients before rounding and
// theirs, block by block of the nuclide run's walk.
TEST_F(BatchProgramTest, CurvesMeetTheTabulatedRatesAndTheTableCoefficients) {
  WriteFile(work_ / "far.ini", "START\r\n1\r\n365\r\n18250\r\n100000\r\n1000000\r\nEND\r\n");
  const Outcome outcome = Run({"--data-set", "h", "--ages", "10y,adult", "--regions", "2,lung",
                               "--times", "far.ini", "--curves", "Pu-239", "Tc-99m"});
  ASSERT_EQ(outcome.status, 1) << outcome.err;
  std::map<std::string, int> statuses;
  for (const std::string nuclide : {"Pu-239 ", "Tc-99m "}) {
    // (age days, form, region, kind, time) -> rate low, rate high, dose low, dose high.
    std::map<std::tuple<int, int, int, std::string, double>, std::array<double, 4>> rows;
    std::map<std::tuple<int, int, int, double>, std::string> periodStatus;
    std::map<std::tuple<int, int, int>, std::vector<double>> grids;  // per curve, in file order
    const std::string csv =
        ReadFile(work_ / "OUTPUT" / (base::TrimBlanks(nuclide) + "_H_curves.csv"));
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line,
              "nuclide,intake,age_group,age_days,form,form_code,form_label,region,region_name,"
              "kind,time_days,low_let_rate_gy_per_bq_per_day,high_let_rate_gy_per_bq_per_day,"
              "low_let_gy_per_bq,high_let_gy_per_bq,extrapolation");
    for (const std::vector<std::string>& f : CsvRows(csv)) {
      ASSERT_EQ(f.size(), 16u) << f[0];
      EXPECT_EQ(f[0] + "," + f[1], base::TrimBlanks(nuclide) + ",inhalation");
      const std::tuple<int, int, int> key{std::stoi(f[3]), std::stoi(f[4]), std::stoi(f[7])};
      if (f[9] == "grid") grids[key].push_back(std::stod(f[10]));
      rows[std::tuple_cat(key, std::make_tuple(f[9], std::stod(f[10])))] = {
          std::stod(f[11]), std::stod(f[12]), std::stod(f[13]), std::stod(f[14])};
      if (f[9] == "period")
        periodStatus[std::tuple_cat(key, std::make_tuple(std::stod(f[10])))] = f[15];
    }

    base::Result<input::DataIndex> openedIndex = run::OpenIndex(work_ / "DATA");
    base::Result<input::DoseRateFile> openedFile =
        run::OpenDoseRates(work_ / "DATA", input::DataKind::kInhalation);
    ASSERT_TRUE(openedIndex.ok());
    ASSERT_TRUE(openedFile.ok());
    input::DataIndex& index = openedIndex.value();
    input::DoseRateFile& file = openedFile.value();
    ASSERT_NE(index.FindNuclide(nuclide), 0);
    run::RunSelection run;
    run.selectedAges = {4, 6};
    run.selectedRegions = {2, 30};
    run.integrationTimes = {1, 365, 18250, 100000, 1000000};
    integration::BlockWorkspace workspace;
    integration::CoefficientTable coefficients;
    std::array<int, 2> forms{};
    std::size_t checked = 0;
    file.PositionAt(index.entry().startFor(input::DataKind::kInhalation));
    for (input::BlockHeader header = file.ReadBlockHeader(input::DataKind::kInhalation);
         header.name == nuclide && !file.atEnd();
         header = file.ReadBlockHeader(input::DataKind::kInhalation)) {
      const auto age = std::find(run.selectedAges.begin(), run.selectedAges.end(),
                                 input::AgeGroupFor(header.ageDays));
      const int table =
          age == run.selectedAges.end() ? -1 : static_cast<int>(age - run.selectedAges.begin());
      if (table < 0) {
        file.SkipRecords(header.RecordsToSkip());
        continue;
      }
      ASSERT_TRUE(integration::ReadAndIntegrateBlock(file, header, run.selectedRegions,
                                                     run.integrationTimes, workspace, coefficients)
                      .ok());
      const int days = input::AgeGroupDays(run.selectedAges[static_cast<std::size_t>(table)]);
      const int form = ++forms[static_cast<std::size_t>(table)];
      const int points = workspace.timeGrid.count();
      ASSERT_GT(points, 1);
      for (int j = 0; j < 2; ++j) {
        const int region = run.selectedRegions[static_cast<std::size_t>(j)];
        for (int i = 0; i < points; ++i) {
          const auto& row = rows.at({days, form, region, "tabulated", workspace.timeGrid.at(i)});
          EXPECT_EQ(row[0], workspace.rates.at(integration::kLowLet, j, i));
          EXPECT_EQ(row[1], workspace.rates.at(integration::kHighLet, j, i));
        }
        for (std::size_t k = 0; k < run.integrationTimes.size(); ++k) {
          const auto& row = rows.at({days, form, region, "period", run.integrationTimes[k]});
          EXPECT_EQ(row[2], coefficients.at(integration::kLowLet, j, static_cast<int>(k)));
          EXPECT_EQ(row[3], coefficients.at(integration::kHighLet, j, static_cast<int>(k)));
          const std::string status = integration::ExtrapolationName(integration::Worse(
              coefficients.extrapolation(integration::kLowLet, j, static_cast<int>(k)),
              coefficients.extrapolation(integration::kHighLet, j, static_cast<int>(k))));
          EXPECT_EQ(periodStatus.at({days, form, region, run.integrationTimes[k]}), status);
          ++statuses[status];
          ++checked;
        }
      }
    }
    EXPECT_GT(checked, 20u) << nuclide;
    // Each curve's grid: 50 points a decade up to the last period, which ends it.
    const double step = std::pow(10.0, 1.0 / 50);
    EXPECT_EQ(grids.size(), checked / run.integrationTimes.size()) << "a grid for every curve";
    for (const auto& [curve, times] : grids) {
      ASSERT_GT(times.size(), 50u * 4);
      EXPECT_EQ(times.back(), run.integrationTimes.back());
      for (std::size_t i = 0; i + 2 < times.size(); ++i)
        ASSERT_NEAR(times[i + 1] / times[i], step, 1e-12 * step) << nuclide << " at " << times[i];
      EXPECT_LE(times.back() / times[times.size() - 2], step * (1 + 1e-12));
    }
  }
  EXPECT_GT(statuses["none"], 0);
  EXPECT_GT(statuses["bounded"], 0);
  EXPECT_GT(statuses["unbounded"], 0);
}

// Periods far past the data: each block whose continued curves leave the
// range of their data is a warning (exit 1), in a run and in the check, where
// it comes before the notes; the sample periods give none.
TEST_F(BatchProgramTest, FarPeriodsWarnOfCoefficientsThatCannotBeTrusted) {
  WriteFile(work_ / "far.ini", "START\r\n1\r\n365\r\n18250\r\n100000\r\n1000000\r\nEND\r\n");
  const Outcome far = Run({"--data-set", "g", "--ages", "adult", "--regions", "1,15,30", "--times",
                           "far.ini", "Pu-239"});
  EXPECT_EQ(far.status, 1);
  EXPECT_NE(far.err.find("quillmore-batch: warning: Pu-239 Adult f1 1.0E-04: past 50000 d the "
                         "extended curve leaves the range of its data (3 regions); coefficients "
                         "for 100000, 1000000 d cannot be trusted\n"),
            std::string::npos)
      << far.err;

  const Outcome check = Run({"--check", "--times", "far.ini"});
  EXPECT_EQ(check.status, 1);
  const std::size_t warning = check.out.find(
      "TQV27INH2.DRT:14268: Pu-239 Adult class M: past 45000 d the extended curve "
      "leaves the range of its data (30 regions); coefficients for 100000, "
      "1000000 d cannot be trusted\n");
  EXPECT_NE(warning, std::string::npos) << check.out;
  EXPECT_LT(check.out.rfind("cannot be trusted"), check.out.find(": note: "));
  // The check judges every age group, the Infant's too, as a run of all ages does.
  const Outcome ages =
      Run({"--data-set", "g", "--ages", "all", "--times", "far.ini", "-q", "Pu-239"});
  EXPECT_EQ(ages.status, 1);
  EXPECT_NE(ages.err.find("warning: Pu-239 Infant f1 1.0E-04: past"), std::string::npos);
  const std::string prefix = "quillmore-batch: warning: ";
  std::size_t warnings = 0;
  for (std::size_t start = 0, end; (end = ages.err.find('\n', start)) != std::string::npos;
       start = end + 1, ++warnings) {
    ASSERT_EQ(ages.err.compare(start, prefix.size(), prefix), 0) << ages.err;
    const std::string text =
        ages.err.substr(start + prefix.size(), end + 1 - start - prefix.size());
    EXPECT_NE(check.out.find(": " + text), std::string::npos) << text;
  }
  EXPECT_EQ(warnings, 6u) << ages.err;

  const Outcome sample = Run({"--check"});
  EXPECT_EQ(sample.status, 0);
  EXPECT_EQ(sample.out.find("cannot be trusted"), std::string::npos);

  // A period too long to write out plainly prints as periods do elsewhere.
  const Outcome huge = Run({"--data-set", "g", "--ages", "adult", "--regions", "1", "--periods",
                            "1d,1e100d", "--output-dir", "H", "Pu-239"});
  EXPECT_NE(huge.err.find("coefficients for 1e+100 d cannot be trusted\n"), std::string::npos)
      << huge.err;
}

// The dose to t past the last tabulated point (tN, fN), the point before it
// (tP, fP) and the dose dN to tN, under the exponential tail, written out
// apart from the program's closed form.
long double ExponentialTailDose(long double tP, long double fP, long double tN, long double fN,
                                long double dN, long double t) {
  if (!(fN > 0)) return dN;
  if (!(fP > fN)) return dN + fN * (t - tN);
  const long double lambda = std::log(fP / fN) / (tN - tP);
  return dN + fN / lambda * (1 - std::exp(-lambda * (t - tN)));
}

TEST_F(BatchProgramTest, TailGivenToATableRunIsFollowedInEveryOutputAndRecorded) {
  WriteFile(work_ / "far.ini", "START\r\n1\r\n365\r\n18250\r\n100000\r\n1000000\r\nEND\r\n");
  const std::vector<std::string> common{"--data-set", "h",      "--ages",  "adult",
                                        "--regions",  "2,lung", "--times", "far.ini"};
  std::vector<std::string> args = common;
  args.insert(args.end(), {"--tail", "exponential", "--format", "txt,csv,json", "--curves",
                           "--figures", "svg", "Pu-239"});
  const Outcome outcome = Run(args);
  // Under cubic the class M block warns of these periods; the tail adds nothing unbounded.
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err.find("cannot be trusted"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("their curves are extended by the exponential tail"),
            std::string::npos)
      << outcome.err;
  const fs::path out = work_ / "OUTPUT";

  // The curves: each curve's last two tabulated points and its dose there.
  struct Last {
    double tP = 0, tN = 0, fP[2]{}, fN[2]{}, dN[2]{};
  };
  std::map<std::pair<int, int>, Last> lasts;  // (form, region)
  std::map<std::tuple<int, int, double>, std::vector<std::string>> periodRows;
  for (const std::vector<std::string>& f : CsvRows(ReadFile(out / "Pu-239_H_curves.csv"))) {
    ASSERT_EQ(f.size(), 16u) << f[0];
    const std::pair<int, int> key{std::stoi(f[4]), std::stoi(f[7])};
    if (f[9] == "tabulated") {
      Last& last = lasts[key];
      last.tP = last.tN;
      last.tN = std::stod(f[10]);
      for (std::size_t c = 0; c < 2; ++c) {
        last.fP[c] = last.fN[c];
        last.fN[c] = std::stod(f[11 + c]);
        last.dN[c] = std::stod(f[13 + c]);
      }
    } else if (f[9] == "period") {
      periodRows[{key.first, key.second, std::stod(f[10])}] = f;
    }
  }
  ASSERT_FALSE(lasts.empty());
  // The coefficients: CSV, JSON and text tables.
  std::map<std::tuple<int, int, double>, std::vector<std::string>> csvRows;
  for (const std::vector<std::string>& f : CsvRows(ReadFile(out / "Pu-239_H.csv"))) {
    ASSERT_EQ(f.size(), 13u) << f[0];
    csvRows[{std::stoi(f[4]), std::stoi(f[8]), std::stod(f[7])}] = f;
  }
  const std::string table = ReadFile(out / "Pu-239_7300_H.TXT");
  int decaying = 0, checked = 0;
  for (const auto& [key, last] : lasts) {
    for (const double t : {100000.0, 1000000.0}) {
      if (!(t > last.tN)) continue;
      const auto& row = csvRows.at({key.first, key.second, t});
      const auto& curveRow = periodRows.at({key.first, key.second, t});
      EXPECT_EQ(row[12], "bounded");
      EXPECT_EQ(curveRow[15], "bounded");
      for (std::size_t c = 0; c < 2; ++c) {
        const long double expected =
            ExponentialTailDose(last.tP, last.fP[c], last.tN, last.fN[c], last.dN[c], t);
        EXPECT_NEAR(std::stod(row[10 + c]), static_cast<double>(expected),
                    static_cast<double>(1e-13L * std::fabs(expected)))
            << key.first << " " << key.second << " " << t;
        // The curve's dose is the coefficient.
        EXPECT_EQ(std::stod(curveRow[13 + c]), std::stod(row[10 + c]));
        const long double rate =
            last.fP[c] > last.fN[c] && last.fN[c] > 0
                ? last.fN[c] * std::pow(static_cast<long double>(last.fN[c]) / last.fP[c],
                                        (t - last.tN) / (last.tN - last.tP))
                : std::max(0.0, last.fN[c]);
        EXPECT_NEAR(std::stod(curveRow[11 + c]), static_cast<double>(rate),
                    static_cast<double>(1e-13L * rate) + 1e-300);
        decaying += last.fP[c] > last.fN[c] && last.fN[c] > 0 ? 1 : 0;
        ++checked;
      }
      if (key.second == 30 && t == 1000000.0) {
        char text[16];
        std::snprintf(text, sizeof text, "%.2E", std::stod(row[11]));
        EXPECT_NE(table.find(text), std::string::npos) << text;
      }
    }
  }
  EXPECT_GT(checked, 0);
  EXPECT_GT(decaying, 0);
  const auto json = nlohmann::json::parse(ReadFile(out / "Pu-239_H.json"));
  EXPECT_EQ(json["provenance"]["tail"], "exponential");
  const auto manifest = nlohmann::json::parse(ReadFile(out / "quillmore-run.json"));
  EXPECT_EQ(manifest["provenance"]["tail"], "exponential");
  // Every figure reaches past its data here and names the tail.
  int figures = 0;
  for (const auto& entry : fs::directory_iterator(out)) {
    if (entry.path().extension() != ".svg") continue;
    ++figures;
    EXPECT_NE(
        ReadFile(entry.path()).find("past-data=\"past the last tabulated time: exponential tail\""),
        std::string::npos)
        << entry.path();
  }
  EXPECT_GT(figures, 0);

  // Without --tail nothing records one; --check under the tail has nothing to report.
  args = common;
  args.insert(args.end(), {"--format", "json", "--output-dir", "PLAIN", "Pu-239"});
  EXPECT_EQ(Run(args).status, 1);
  EXPECT_FALSE(
      nlohmann::json::parse(ReadFile(work_ / "PLAIN" / "Pu-239_H.json"))["provenance"].contains(
          "tail"));
  const Outcome check = Run({"--check", "--times", "far.ini", "--tail", "exponential"});
  EXPECT_EQ(check.status, 0) << check.out;
  EXPECT_EQ(check.out.find("cannot be trusted"), std::string::npos) << check.out;
  EXPECT_EQ(Run({"--check", "--times", "far.ini", "--tail", "zero"}).out.find("cannot be trusted"),
            std::string::npos);
}

TEST_F(BatchProgramTest, TimesFileFaultsExitTwoNamingFileAndLineAndWriteNothing) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"START\r\n1\r\nabc\r\nEND\r\n",
       "DATA/Quillmore.ini, line 3: \"abc\" is not a number of days"},
      {"START\r\n-5\r\nEND\r\n", "DATA/Quillmore.ini, line 2: \"-5\" is a negative time"},
      {"; none\r\nSTART\r\nEND\r\n",
       "DATA/Quillmore.ini holds no integration times between START and END"}};
  for (const auto& [content, message] : cases) {
    WriteFile(work_ / "DATA" / input::kTimesFileName, content);
    const Outcome outcome = Run({"--data-set", "h", "tc-99m"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, "quillmore-batch: " + message + "\n");
    EXPECT_FALSE(fs::exists(work_ / "OUTPUT"));
  }
  // LF line ends, as a Linux editor writes them, give the tables of CR LF.
  WriteFile(work_ / "DATA" / input::kTimesFileName, "START\r\n1\r\n365\r\nEND\r\n");
  EXPECT_EQ(Run({"--data-set", "h", "--ages", "1", "--output-dir", "CRLF", "tc-99m"}).status, 0);
  WriteFile(work_ / "DATA" / input::kTimesFileName, "START\n1\n365\nEND\n");
  EXPECT_EQ(Run({"--data-set", "h", "--ages", "1", "--output-dir", "LF", "tc-99m"}).status, 0);
  EXPECT_EQ(FolderContent(work_ / "LF"), FolderContent(work_ / "CRLF"));
  EXPECT_EQ(FolderContent(work_ / "LF").size(), 1u);
}

TEST_F(BatchProgramTest, TimesLinesWithMoreThanANumberWarnAndReadAsBefore) {
  WriteFile(work_ / "DATA" / input::kTimesFileName,
            "START\r\n18,250\r\n50y\r\n1 year\r\n3O\r\n36 500\r\n \r\n7 \r\nEND\r\n");
  const Outcome warned = Run({"--data-set", "h", "--ages", "1", "--output-dir", "W", "tc-99m"});
  EXPECT_EQ(warned.status, 1);
  const std::string file = "DATA/Quillmore.ini";
  EXPECT_EQ(
      warned.err,
      "quillmore-batch: warning: " + file +
          ":2: \"18,250\" is read as 18 d; \",250\" is ignored\n" +
          "quillmore-batch: warning: " + file + ":3: \"50y\" is read as 50 d; \"y\" is ignored\n" +
          "quillmore-batch: warning: " + file +
          ":4: \"1 year\" is read as 1 d; \"year\" is ignored\n" +
          "quillmore-batch: warning: " + file + ":5: \"3O\" is read as 3 d; \"O\" is ignored\n" +
          "quillmore-batch: warning: " + file +
          ":6: \"36 500\" is read as 36 d; \"500\" is ignored\n" +
          "quillmore-batch: warning: " + file + ":7: a blank line is read as 0 d\n");
  const Outcome check = Run({"--check"});
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(check.out.find("Quillmore.ini:5: \"3O\" is read as 3 d; \"O\" is ignored\n"),
            std::string::npos);
  // The same periods written plainly give the same tables, and no warning.
  WriteFile(work_ / "DATA" / input::kTimesFileName,
            "START\r\n18\r\n50\r\n1\r\n3\r\n36\r\n0\r\n7\r\nEND\r\n");
  const Outcome plain = Run({"--data-set", "h", "--ages", "1", "--output-dir", "P", "tc-99m"});
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(plain.err, "");
  EXPECT_EQ(FolderContent(work_ / "W"), FolderContent(work_ / "P"));

  // Comments after the numbers, as the file's own example writes them, are silent.
  WriteFile(work_ / "DATA" / input::kTimesFileName,
            "Times\r\nSTART\r\n1 day\r\n7\r\n30.5 days\r\n3.65D+04  100 years\r\nEND\r\n");
  const Outcome commented = Run({"--data-set", "h", "--ages", "1", "--output-dir", "C", "tc-99m"});
  WriteFile(work_ / "DATA" / input::kTimesFileName, "START\r\n1\r\n7\r\n30.5\r\n36500\r\nEND\r\n");
  EXPECT_EQ(Run({"--data-set", "h", "--ages", "1", "--output-dir", "N", "tc-99m"}).status, 0);
  EXPECT_EQ(commented.status, 0);
  EXPECT_EQ(commented.err, "");
  EXPECT_EQ(FolderContent(work_ / "C"), FolderContent(work_ / "N"));
  WriteFile(work_ / "DATA" / input::kTimesFileName,
            "Times\r\nSTART\r\n1 day\r\n7\r\n30.5 days\r\n3.65D+04  100 years\r\nEND\r\n");
  EXPECT_EQ(Run({"--check"}).out.find("Quillmore.ini"), std::string::npos);
}

TEST_F(BatchProgramTest, PeriodsOnTheCommandLineGiveTheTablesOfATimesFileInTheirOrder) {
  WriteFile(work_ / "DATA" / input::kTimesFileName,
            "START\r\n70\r\n1\r\n30.5\r\n365\r\n18250\r\n100\r\nEND\r\n");
  const Outcome file = Run({"--data-set", "h", "--output-dir", "F", "pu-239"});
  const Outcome periods = Run({"--data-set", "h", "--periods", "70d,1d,30.5d,1y,50y,1e2d",
                               "--output-dir", "P", "--format", "txt,json", "pu-239"});
  EXPECT_EQ(file.status, 0);
  EXPECT_EQ(periods.status, 0) << periods.err;
  const auto tables = FolderContent(work_ / "P");
  for (const auto& [name, content] : FolderContent(work_ / "F"))
    EXPECT_EQ(tables.at(name), content);
  const auto json = nlohmann::json::parse(testing::ReadFile(work_ / "P" / "Pu-239_H.json"));
  const auto manifest =
      nlohmann::json::parse(testing::ReadFile(work_ / "P" / "quillmore-run.json"));
  const nlohmann::json times = {{"source", "--periods"}, {"text", "70d,1d,30.5d,1y,50y,1e2d"}};
  EXPECT_EQ(json["provenance"]["times"], times);
  EXPECT_EQ(manifest["provenance"]["times"], times);
  EXPECT_EQ(json["periods_days"], nlohmann::json({70, 1, 30.5, 365, 18250, 100}));
}

TEST_F(BatchProgramTest, SuspectBlocksWarnExitOneAndTheOtherNuclidesAreWritten) {
  // Aa-1: an unknown LET letter (rows written, not integrated); Bb-2: letter
  // and records per point disagree (the walk stops); Cc-3 is sound; the file
  // ends inside the last block of Dd-4, at record 33 of 34.
  testing::DoseRateFileBuilder builder(input::DataKind::kInhalation);
  testing::BlockSpec block;
  block.times = {1, 10, 100};
  block.rates.assign(3, testing::ScaledRates(1e-10));
  std::vector<std::int32_t> starts;
  for (const char* name : {"Aa-1", "Bb-2", "Cc-3", "Dd-4"}) {
    block.name = name;
    starts.push_back(builder.NextRecordNumber());
    for (std::int32_t age : {100, 7300}) {
      block.ageDays = age;
      block.letLetter = std::string(name) == "Aa-1" && age == 100 ? 'X' : 'L';
      block.recordsPerPoint = std::string(name) == "Bb-2" && age == 100 ? 2 : -1;
      builder.AddBlock(block);
    }
  }
  const fs::path rates = work_ / "DATA" / "TQV27INH2.DRT";
  builder.WriteTo(rates);
  fs::resize_file(rates, fs::file_size(rates) - input::kDoseRateRecordLength);
  WriteFile(work_ / "DATA" / input::kIndexFileName,
            testing::IndexFileBytes({{"Aa-1", 0, starts[0]},
                                     {"Bb-2", 0, starts[1]},
                                     {"Cc-3", 0, starts[2]},
                                     {"Dd-4", 0, starts[3]}}));
  WriteFile(work_ / "DATA" / input::kTimesFileName, "START\r\n1\r\n50\r\nEND\r\n");
  const Outcome outcome =
      Run({"--data-set", "h", "--ages", "infant,adult", "aa-1", "bb-2", "cc-3", "dd-4"});
  EXPECT_EQ(outcome.status, 1);
  const std::string cut =
      "Dd-4, age 7300 d, record 31: the file ends inside this block: it holds records to 33, the "
      "block runs to record 34";
  EXPECT_EQ(outcome.err,
            "quillmore-batch: warning: Aa-1, age 100 d, record 3: unknown LET letter \"X\"; its "
            "rows are written but not integrated\n"
            "quillmore-batch: warning: Bb-2, age 100 d, record 11: LET letter \"L\" disagrees with "
            "2 records per point; the tables of Bb-2 stop here, incomplete\n"
            "quillmore-batch: warning: Bb-2: headers only for Infant, Adult\n"
            "quillmore-batch: warning: " +
                cut +
                "; the tables of Dd-4 stop here, incomplete\n"
                "quillmore-batch: warning: Dd-4: headers only for Adult\n");
  EXPECT_NE(Run({"--check"})
                .out.find("TQV27INH2.DRT:31: \"Dd-4   \": the file ends inside this "
                          "block: it holds records to 33, the block runs to record 34"),
            std::string::npos);
  const auto written = FolderContent(work_ / "OUTPUT");
  EXPECT_EQ(written.size(), 8u);
  EXPECT_GT(written.at("Cc-3_7300_H.TXT").size(), written.at("Bb-2_7300_H.TXT").size());
  EXPECT_EQ(written.at("Aa-1_100_H.TXT").size(), written.at("Aa-1_7300_H.TXT").size());
}

TEST_F(BatchProgramTest, NuclidesAndAgesWithoutDataWarnWhenNamedAndAllPassesThemOver) {
  const Outcome named = Run({"--data-set", "h", "--ages", "1,6", "ni-63", "tc-99m"});
  EXPECT_EQ(named.status, 1);
  EXPECT_EQ(named.err,
            "quillmore-batch: warning: Ni-63: no data in TQV27INH2.DRT; headers only for Infant, "
            "Adult\n");
  EXPECT_EQ(FolderContent(work_ / "OUTPUT").size(), 4u) << "headers-only tables, as before";

  const Outcome all = Run({"--data-set", "g", "--all", "--ages", "1", "--output-dir", "ALL"});
  EXPECT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(all.err,
            "quillmore-batch: note: Be-7: 1 block holds one time point; its rows give the "
            "tabulated rate (Gy/Bq per day), not an integral\n")
      << "no warning";
  EXPECT_NE(all.out.find(" s; passed over 1 nuclide without data in TQV27ING2.DRT.\n"),
            std::string::npos)
      << all.out;
  EXPECT_EQ(FolderContent(work_ / "ALL").size(),
            CountLines(Run({"--data-set", "g", "--list-nuclides"}).out));
}

TEST_F(BatchProgramTest, PeriodsPastTheDataAreNotedAndQuietHidesTheNotes) {
  WriteFile(work_ / "DATA" / input::kTimesFileName, "START\r\n1\r\n40000\r\n60000\r\nEND\r\n");
  const std::vector<std::string> run{"--data-set", "h", "--ages", "1", "be-7", "tc-99m"};
  const Outcome noted = Run(run);
  EXPECT_EQ(noted.status, 0);
  EXPECT_EQ(noted.err,
            "quillmore-batch: note: Be-7: 2 blocks hold one time point; their rows give the "
            "tabulated rate (Gy/Bq per day), not an integral\n"
            "quillmore-batch: note: Tc-99m: periods 40000, 60000 d lie past the last tabulated "
            "time of some blocks (earliest 36500 d); their curves are extended\n");
  std::vector<std::string> quiet = run;
  quiet.push_back("--quiet");
  const Outcome hidden = Run(quiet);
  EXPECT_EQ(hidden.status, 0);
  EXPECT_EQ(hidden.out + hidden.err, "");
}

TEST_F(BatchProgramTest, RegionNamesDifferingInCaseAndIndexRangesOutsideTheFile) {
  EXPECT_EQ(
      Run({"--data-set", "h", "--ages", "1", "--regions", "Lung bb,remainder", "tc-99m"}).status,
      0);
  const std::string table = ReadFile(work_ / "OUTPUT" / "Tc-99m_100_H.TXT");
  EXPECT_NE(table.find("Lung bb"), std::string::npos);
  EXPECT_EQ(table.find("Lung BB"), std::string::npos);
  EXPECT_NE(table.find("Rest Body"), std::string::npos);
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"lung bb",
       "region \"lung bb\" is ambiguous: 15 \"Lung BB\" or 16 \"Lung bb\" (give the "
       "exact name or number)"},
      {"lung,30", "region 30 \"Lung\" is listed twice in --regions"}};
  for (const auto& [regions, message] : refused) {
    const Outcome outcome = Run({"--data-set", "h", "--regions", regions, "tc-99m"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, "quillmore-batch: " + message + "\n");
  }

  // A last entry of 9E99 reads as 2^31 - 1: refused at once, naming the field.
  std::string index = ReadFile(work_ / "DATA" / input::kIndexFileName);
  index.replace(25 + 4, 4, "9E99");
  WriteFile(work_ / "DATA" / input::kIndexFileName, index);
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--data-set", "h", "xx-1"},
        std::vector<std::string>{"--data-set", "g", "--list-nuclides"},
        std::vector<std::string>{"--data-set", "g", "--all"}}) {
    const Outcome outcome = Run(arguments);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err,
              "quillmore-batch: DATA/DoseInd.NDX, record 2: the last entry (positions 5-8) reads "
              "2147483647; it must lie in records 3 to 42\n");
  }
}

TEST_F(BatchProgramTest, CheckReportsEveryProblemOfABuiltDataSetAndNotesApart) {
  const fs::path data = work_ / "EVERY";
  testing::DoseRateFileBuilder inhalation(input::DataKind::kInhalation);
  std::vector<testing::IndexRow> rows;
  // Each nuclide has six blocks; `edit` spoils the first.
  auto add = [&](const std::string& name, const std::vector<double>& times, auto edit) {
    rows.push_back({name, 0, inhalation.NextRecordNumber()});
    for (std::int32_t age : {100, 365, 1825, 3650, 5475, 7300}) {
      testing::BlockSpec block;
      block.name = name;
      block.ageDays = age;
      block.times = times;
      block.rates.assign(times.size(), testing::ScaledRates(1e-10));
      if (age == 100) edit(block);
      inhalation.AddBlock(block);
    }
  };
  add("Aa-1", {1, 10, 100}, [](testing::BlockSpec& b) { b.letLetter = 'X'; });
  add("Bb-2", {1, 10, 100}, [](testing::BlockSpec& b) { b.recordsPerPoint = 2; });
  add("Cc-3", {1, 10, 100}, [](testing::BlockSpec& b) { b.ageDays = 7299; });
  add("Dd-4", {1, 10, 100}, [](testing::BlockSpec& b) { b.times = {1, 10, 10}; });
  add("Ee-5", {1, 10, 100}, [](testing::BlockSpec& b) {
    b.times.clear();
    b.rates.clear();
  });
  add("Gg-7", {1}, [](testing::BlockSpec&) {});
  add("Hh-8", {1, 10, 100}, [](testing::BlockSpec&) {});
  rows.insert(rows.begin() + 5, {"Ff-6", 0, 0});
  inhalation.WriteTo(data / "TQV27INH2.DRT");
  // The ingestion file came through a system that turned CR LF into LF.
  std::string ingestion = testing::DoseRateFileBuilder(input::DataKind::kIngestion).Bytes();
  for (std::size_t at; (at = ingestion.find("\r\n")) != std::string::npos;) ingestion.erase(at, 1);
  WriteFile(data / "TQV27ING2.DRT", ingestion);
  WriteFile(data / input::kIndexFileName, testing::IndexFileBytes(rows));
  WriteFile(data / input::kTimesFileName, "START\n1\n30\ndays\nEND\n");
  WriteFile(work_ / "good.ini", "START\n1\n30\n365\nEND\n");

  const Outcome every = Run({"--check", "--data-dir", "EVERY"});
  EXPECT_EQ(every.status, 1);
  EXPECT_EQ(every.err, "");
  for (const char* line :
       {"Quillmore.ini:4: \"days\" is not a number of days\n",
        "TQV27INH2.DRT:3: unknown LET letter \"X\"\n",
        "TQV27INH2.DRT:27: LET letter \"L\" disagrees with 2 records per point\n",
        "TQV27INH2.DRT:51: age 7299 d belongs to no age group\n",
        "TQV27INH2.DRT:78: time points not strictly increasing\n",
        "TQV27INH2.DRT:99: no time points\n",
        "TQV27INH2.DRT:51: \"Cc-3   \" has no block for Infant: those tables would hold headers "
        "only\n",
        "TQV27ING2.DRT:1: lines end in LF, not CR LF",
        "DoseInd.NDX:8: \"Ff-6   \" has no data in either dose-rate file\n",
        "TQV27INH2.DRT:120: note: Gg-7: 6 blocks hold one time point"}) {
    EXPECT_NE(every.out.find(line), std::string::npos) << line << "\n" << every.out;
  }
  EXPECT_EQ(every.out.find("clean"), std::string::npos);
  // With times it can read, the check notes the periods past the data too.
  const Outcome periods = Run({"--check", "--data-dir", "EVERY", "--times", "good.ini"});
  EXPECT_EQ(periods.status, 1);
  EXPECT_NE(periods.out.find("TQV27INH2.DRT:132: note: Hh-8: periods 365 d lie past the last "
                             "tabulated time of some blocks (earliest 100 d)"),
            std::string::npos)
      << periods.out;
}

}  // namespace
}  // namespace quillmore::app
