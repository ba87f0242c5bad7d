// End to end: the generated sample data set through the nuclide run, whole
// output files compared with reviewed golden text in tests/app/golden (CR LF
// as written). tests/app/golden/verify_row_group.py rebuilds every line of
// these files independently of this code (exact rational arithmetic); ctest
// runs it as golden_verify_test.
//
// To regenerate after a deliberate format or numeric change, in an empty folder:
//   quillmore-sample-data --out DATA
//   quillmore-batch --data-set h --regions 1,15,30 H-3
//   quillmore-batch --data-set g --regions 1,15,30 Pu-239
// then review the difference of OUTPUT/*.TXT against tests/app/golden before copying.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "input/data_index.h"
#include "input/nuclide_name.h"
#include "run/data_files.h"
#include "run/nuclide_run.h"
#include "sample_data/sample_data.h"
#include "support/temp_dir.h"

namespace quillmore::app {
namespace {

using input::DataKind;

const std::filesystem::path kGoldenFolder =
    std::filesystem::path(QUILLMORE_SOURCE_DIR) / "tests" / "app" / "golden";

// Where two texts first differ, as "line L: expected ... got ...", or empty.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  std::size_t start = 0;
  for (int line = 1;; ++line) {
    const std::size_t endExpected = expected.find("\r\n", start);
    const std::size_t endActual = actual.find("\r\n", start);
    const std::string a = expected.substr(start, endExpected - start);
    const std::string b = actual.substr(start, endActual - start);
    if (a != b) {
      return "line " + std::to_string(line) + ":\n expected [" + a + "]\n got      [" + b + "]";
    }
    if (endExpected == std::string::npos) return "";
    start = endExpected + 2;
  }
}

// Golden files of `stem` ("H-3_" for H-3), sorted by name.
std::vector<std::string> GoldenNames(const std::string& stem) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(kGoldenFolder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(stem, 0) == 0 && entry.path().extension() == ".TXT") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

class GoldenTablesTest : public ::testing::Test {
 protected:
  // One sample data set for the suite: generating it takes most of the time.
  static void SetUpTestSuite() {
    data_ = std::make_unique<testing::TempDir>();
    generated_ = tools::GenerateSampleData({}, data_->path()).ok();
  }
  static void TearDownTestSuite() { data_.reset(); }

  void SetUp() override {
    ASSERT_TRUE(generated_);
    const input::IntegrationTimes times = run::ReadTimes(data_->path());
    ASSERT_TRUE(times.ok()) << times.status().message();
    run_.integrationTimes = times.value();
    run_.selectedAges = {1, 2, 3, 4, 5, 6};
    run_.selectedRegions = {1, 15, 30};
    base::Result<input::DataIndex> index = run::OpenIndex(data_->path());
    ASSERT_TRUE(index.ok());
    index_ = std::move(index).value();
  }

  // Runs `typed` on the data set of `kind` and returns the names of the files written.
  std::vector<std::string> Run(DataKind kind, std::string typed) {
    base::Result<input::DoseRateFile> opened = run::OpenDoseRates(data_->path(), kind);
    EXPECT_TRUE(opened.ok());
    if (!opened.ok()) return {};
    input::DoseRateFile& file = opened.value();
    run_.dataKind = kind;
    run_.regionNames = run::ReadRegionNames(file);
    input::NormaliseNuclideName(typed);
    EXPECT_NE(index_.FindNuclide(typed), 0) << typed;
    run::NuclideWorkspace workspace;
    const run::NuclideResult result =
        run::WriteNuclideTables(file, index_.entry(), run_, dir_ / "OUTPUT", workspace);
    EXPECT_TRUE(result.status.ok()) << result.status.message();
    EXPECT_TRUE(result.messages.empty());
    std::vector<std::string> names;
    for (const auto& path : result.files) names.push_back(path.filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  void ExpectGolden(const std::vector<std::string>& written, const std::string& stem) {
    ASSERT_EQ(written, GoldenNames(stem));
    for (const std::string& name : written) {
      const std::string expected = testing::ReadFile(kGoldenFolder / name);
      const std::string actual = testing::ReadFile(dir_ / "OUTPUT" / name);
      EXPECT_EQ(actual.size(), expected.size()) << name;
      EXPECT_TRUE(actual == expected) << name << " " << FirstDifference(expected, actual);
    }
  }

  static std::unique_ptr<testing::TempDir> data_;
  static bool generated_;
  testing::TempDir dir_;  // OUTPUT of one test
  input::DataIndex index_;
  run::RunSelection run_;
};

std::unique_ptr<testing::TempDir> GoldenTablesTest::data_;
bool GoldenTablesTest::generated_ = false;

// Six inhalation forms per age: row groups in file order, classes F M S V V V,
// the chemical-form labels of forms 4 to 6, Lung from columns 15 to 18.
TEST_F(GoldenTablesTest, InhalationOfTritiumInAllAges) {
  ExpectGolden(Run(DataKind::kInhalation, "h-3"), "H-3_");
}

// An alpha emitter with three f1 forms: "B" blocks with two records per point
// give non-zero high-LET columns.
TEST_F(GoldenTablesTest, IngestionOfPlutoniumInAllAges) {
  ExpectGolden(Run(DataKind::kIngestion, "pu-239"), "Pu-239_");
}

}  // namespace
}  // namespace quillmore::app
