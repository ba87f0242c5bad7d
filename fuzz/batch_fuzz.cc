// Whole quillmore-batch runs, then --check, on a data folder built from the
// input. Input: five parts cut at "--8<--" lines: the command's arguments
// (split at white space), DoseInd.NDX, TQV27INH2.DRT, TQV27ING2.DRT and
// Quillmore.ini; a part the input does not reach is a missing file. The
// folders are fixed to a temporary folder whatever the arguments say.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/batch_options.h"
#include "app/batch_run.h"
#include "fuzz_support.h"
#include "input/data_kind.h"

namespace {

using quillmore::fuzz::Check;
namespace fs = std::filesystem;

// A folder of its own for the whole fuzzing process, removed at its end.
class Workspace {
 public:
  Workspace() {
    std::string pattern = (fs::temp_directory_path() / "quillmore-fuzz-XXXXXX").string();
    Check(mkdtemp(pattern.data()) != nullptr, "a temporary folder");
    root_ = pattern;
  }
  ~Workspace() {
    std::error_code error;
    fs::remove_all(root_, error);
  }
  fs::path Data() const { return root_ / "DATA"; }
  fs::path Output() const { return root_ / "OUTPUT"; }

 private:
  fs::path root_;
};

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::size_t start = 0;
  while ((start = text.find_first_not_of(" \t\r\n", start)) != std::string_view::npos) {
    const std::size_t end = std::min(text.find_first_of(" \t\r\n", start), text.size());
    words.emplace_back(text.substr(start, end - start));
    start = end;
  }
  return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillmore;
  static const Workspace workspace;
  const auto parts = fuzz::Sections(fuzz::AsText(data, size), 5);
  std::error_code error;
  fs::remove_all(workspace.Data(), error);
  fs::remove_all(workspace.Output(), error);
  fs::create_directories(workspace.Data());
  const char* files[] = {
      input::kIndexFileName, input::DataSetOf(input::DataKind::kInhalation).doseRateFileName,
      input::DataSetOf(input::DataKind::kIngestion).doseRateFileName, input::kTimesFileName};
  for (std::size_t i = 0; i < 4; ++i) {
    if (!parts[i + 1]) continue;
    std::ofstream(workspace.Data() / files[i], std::ios::binary) << *parts[i + 1];
  }

  std::ostringstream out;
  std::ostringstream err;
  base::Result<app::BatchOptions> parsed = app::ParseBatchOptions(Words(parts[0].value_or("")));
  if (parsed.ok()) {
    app::BatchOptions& options = parsed.value();
    options.dataDir = workspace.Data().string();
    options.outputDir = workspace.Output().string();
    options.timesFile.reset();
    options.jobs = options.jobs > 1 ? 2 : 1;  // the machine's cores are shared
    const int status = app::RunBatch(options, out, err, false);
    Check(status == app::kBatchOk || status == app::kBatchWarnings || status == app::kBatchError,
          "a known exit status");
  }
  app::BatchOptions check;
  check.check = true;
  check.dataDir = workspace.Data().string();
  const int status = app::RunBatch(check, out, err, false);
  Check(status == app::kBatchOk || status == app::kBatchWarnings, "--check reports, never fails");
  return 0;
}
