// The built quillmore-batch run on generated sample data, as a user runs it:
// its own process, a working folder of its own, stdout and stderr captured.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/nuclide_run.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "input/integration_times.h"
#include "input/nuclide_name.h"
#include "input/region_names.h"
#include "sample_data/sample_data.h"
#include "support/temp_dir.h"

namespace quillmore::app {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

void ExecBatch(const fs::path& folder, const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{QUILLMORE_BINARY_DIR "/src/quillmore-batch"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<char*> pointers;
  for (std::string& argument : argv) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  if (chdir(folder.c_str()) == 0) execv(pointers[0], pointers.data());
  _exit(127);
}

int WaitFor(pid_t child) {
  int raw = 0;
  if (waitpid(child, &raw, 0) != child || !WIFEXITED(raw)) return -1;
  return WEXITSTATUS(raw);
}

// Runs quillmore-batch in `folder` with stdout and stderr sent to files (not
// terminals), and returns its exit status and both texts.
Outcome RunBatchProgram(const fs::path& folder, const std::vector<std::string>& arguments) {
  const fs::path outPath = folder / ".stdout";
  const fs::path errPath = folder / ".stderr";
  const pid_t child = fork();
  if (child == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(127);
    ExecBatch(folder, arguments);
  }
  Outcome outcome;
  outcome.status = WaitFor(child);
  outcome.out = ReadFile(outPath);
  outcome.err = ReadFile(errPath);
  fs::remove(outPath);
  fs::remove(errPath);
  return outcome;
}

// The same with stderr on a pseudo-terminal; returns what it showed there.
Outcome RunBatchOnTerminal(const fs::path& folder, const std::vector<std::string>& arguments) {
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    const int out = open((folder / ".stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || dup2(out, 1) < 0) _exit(127);
    ExecBatch(folder, arguments);
  }
  Outcome outcome;
  char buffer[4096];
  for (ssize_t n; (n = read(terminal, buffer, sizeof buffer)) > 0;) {
    outcome.err.append(buffer, static_cast<std::size_t>(n));
  }
  close(terminal);
  outcome.status = WaitFor(child);
  outcome.out = ReadFile(folder / ".stdout");
  fs::remove(folder / ".stdout");
  return outcome;
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

std::size_t CountLines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// Writes `nuclide`'s tables by calling the nuclide run directly, with the
// choices the batch program is given on its command line.
void WriteInProcess(const fs::path& data, input::DataKind kind, const std::string& typed,
                    const std::vector<int>& ages, const std::vector<int>& regions,
                    const fs::path& outputFolder) {
  input::DataIndex index;
  input::DoseRateFile file;
  ASSERT_TRUE(index.Open(data / input::kIndexFileName).ok());
  ASSERT_TRUE(file.Open(data / input::DoseRateFileName(kind)).ok());
  std::string name = typed;
  input::NormaliseNuclideName(name);
  ASSERT_NE(index.FindNuclide(name), 0);
  RunSelection run;
  run.dataKind = kind;
  run.selectedAges = ages;
  run.selectedRegions = regions;
  run.regionNames = input::BuildRegionNames(file.RegionHeadings());
  run.integrationTimes = input::ReadIntegrationTimes(data / input::kTimesFileName).integrationTimes;
  NuclideWorkspace workspace;
  const NuclideResult result =
      WriteNuclideTables(file, index.Entry(), name, run, outputFolder, workspace);
  ASSERT_TRUE(result.status.ok()) << result.status.message();
  ASSERT_TRUE(result.warnings.empty());
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
  const Outcome none = Run({"--data-set", "h", "--output-dir", "NONE", "xx-1", "yy-2"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err,
            "quillmore-batch: no data are available for Xx-1\n"
            "quillmore-batch: no data are available for Yy-2\n");
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

TEST_F(BatchProgramTest, ManifestOnRequestAndNeverStale) {
  const Outcome first = Run({"--data-set", "h", "--manifest", "--ages", "1", "tc-99m", "xx-1"});
  EXPECT_EQ(first.status, 1);
  const std::string manifest = ReadFile(work_ / "OUTPUT" / "quillmore-run.json");
  EXPECT_NE(manifest.find("\"name\": \"Tc-99m_100_H.TXT\""), std::string::npos) << manifest;
  EXPECT_NE(manifest.find("\"message\": \"no data are available for Xx-1\""), std::string::npos);

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
  const Outcome clean = Run({"--check"});
  EXPECT_EQ(clean.status, 0) << clean.out;
  EXPECT_EQ(clean.out, "The data set in DATA is clean.\n");
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
    EXPECT_EQ(serialFiles.size(), 36u * 6u);
    EXPECT_TRUE(serialFiles == FolderContent(work_ / parallel));
  }
}

TEST_F(BatchProgramTest, ProgressBarOnlyOnATerminalAndNeverWhenQuiet) {
  const std::vector<std::string> run{"--data-set", "h",      "--data-dir", Many().string(),
                                     "--all",      "--ages", "1"};
  const Outcome piped = Run(run);
  EXPECT_EQ(piped.status, 0);
  EXPECT_EQ(piped.err, "");
  EXPECT_EQ(piped.out.rfind("Wrote 36 files for 36 nuclides", 0), 0u) << piped.out;

  const Outcome shown = RunBatchOnTerminal(work_.path(), run);
  EXPECT_EQ(shown.status, 0);
  EXPECT_NE(shown.err.find("36/36"), std::string::npos) << shown.err;
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

}  // namespace
}  // namespace quillmore::app
