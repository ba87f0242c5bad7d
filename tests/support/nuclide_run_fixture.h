// A dose-rate file built block by block and the nuclide run over it, for the
// tests of the run and of the plots that read the same blocks.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "input/data_index.h"
#include "input/nuclide_name.h"
#include "run/nuclide_run.h"
#include "support/data_builder.h"
#include "support/temp_dir.h"

namespace quillmore::testing {

// A block of three time points with low and high rates.
inline BlockSpec Block(const std::string& name, std::int32_t ageDays, char let,
                       char classCode = 'F') {
  BlockSpec block;
  block.name = name;
  block.ageDays = ageDays;
  block.letLetter = let;
  block.classCode = classCode;
  block.times = {1, 10, 100};
  for (double scale : {1e-9, 5e-10, 1e-10}) {
    block.rates.push_back(ScaledRates(scale));
    block.highRates.push_back(ScaledRates(scale * 20));
  }
  return block;
}

// The lines of a CR LF text.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

class NuclideRunTest : public ::testing::Test {
 protected:
  NuclideRunTest() : builder_(input::DataKind::kInhalation) {
    for (int k = 1; k <= 29; ++k) run_.regionNames.push_back("R" + std::to_string(k));
    run_.regionNames.push_back("Lung");
    run_.selectedRegions = {1, 30};
    run_.integrationTimes = {1, 50};
  }

  // Writes the file and runs `name` starting at `start`.
  run::NuclideResult Run(const std::string& typed, std::int32_t start) {
    builder_.WriteTo(dir_ / "TQV27INH2.DRT");
    EXPECT_TRUE(file_.Open(dir_ / "TQV27INH2.DRT").ok());
    std::string name = typed;
    input::NormaliseNuclideName(name);
    input::IndexEntry entry{name, 0, start};
    return run::WriteNuclideTables(file_, entry, run_, dir_ / "OUTPUT", workspace_);
  }

  std::vector<std::string> FileLines(const std::string& fileName) {
    return Lines(ReadFile(dir_ / "OUTPUT" / fileName));
  }

  TempDir dir_;
  DoseRateFileBuilder builder_;
  run::RunSelection run_;
  input::DoseRateFile file_;
  run::NuclideWorkspace workspace_;
};

}  // namespace quillmore::testing
