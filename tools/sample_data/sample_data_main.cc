// quillmore-sample-data: writes a synthetic data folder for tests, demos and
// benchmarks.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "input/data_kind.h"
#include "input/path_resolver.h"
#include "sample_data/nuclide_catalog.h"
#include "sample_data/sample_data.h"

namespace {

constexpr const char* kUsage =
    "Usage: quillmore-sample-data --out DIR [--nuclides N] [--seed S] [--force]\n"
    "\n"
    "Writes a synthetic data folder: DoseInd.NDX, TQV27INH2.DRT, TQV27ING2.DRT and\n"
    "Quillmore.ini, in DIR (created if missing). The values are invented: for tests,\n"
    "demonstrations and benchmarks, never for dosimetry.\n"
    "\n"
    "  --out DIR      the folder to write\n"
    "  --nuclides N   N synthetic nuclides (1 to 9997) instead of the default set\n"
    "  --seed S       seed of the synthetic values (default 1); equal seeds give equal\n"
    "                 bytes\n"
    "  --force        replace data files already in DIR (otherwise refused)\n"
    "  --help, --version\n"
    "\n"
    "Exit status:\n"
    "  0  written\n"
    "  1  DIR already holds data files, or a file could not be written\n"
    "  2  usage error\n";

int UsageError(const char* message, const char* detail) {
  std::fprintf(stderr, "quillmore-sample-data: %s%s\n%s", message, detail, kUsage);
  return 2;
}

// The data files that `folder` already holds, by their names as found (any case).
std::string ExistingDataFiles(const std::filesystem::path& folder) {
  std::string names;
  for (const char* name :
       {quillmore::input::kIndexFileName,
        quillmore::input::DataSetOf(quillmore::input::DataKind::kInhalation).doseRateFileName,
        quillmore::input::DataSetOf(quillmore::input::DataKind::kIngestion).doseRateFileName,
        quillmore::input::kTimesFileName}) {
    const std::filesystem::path path = quillmore::input::ResolvePath(folder, name);
    std::error_code error;
    if (std::filesystem::exists(path, error))
      names += (names.empty() ? "" : ", ") + path.filename().string();
  }
  return names;
}

// Parses all of `text` as an unsigned decimal number.
bool ParseUnsigned(const char* text, unsigned long long* value) {
  if (*text < '0' || *text > '9') return false;
  char* end = nullptr;
  errno = 0;
  *value = std::strtoull(text, &end, 10);
  return errno == 0 && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  quillmore::tools::SampleDataOptions options;
  std::string out;
  bool force = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(arg, "--version") == 0) {
      std::puts("quillmore-sample-data " QUILLMORE_VERSION);
      return 0;
    }
    if (std::strcmp(arg, "--force") == 0) {
      force = true;
      continue;
    }
    if (i + 1 >= argc) return UsageError("missing value or unknown option: ", arg);
    const char* value = argv[++i];
    unsigned long long number = 0;
    if (std::strcmp(arg, "--out") == 0) {
      out = value;
    } else if (std::strcmp(arg, "--nuclides") == 0) {
      if (!ParseUnsigned(value, &number) || number < 1 ||
          number > static_cast<unsigned long long>(quillmore::tools::kMaxSyntheticNuclides)) {
        return UsageError("bad nuclide count: ", value);
      }
      options.nuclideCount = static_cast<int>(number);
    } else if (std::strcmp(arg, "--seed") == 0) {
      if (!ParseUnsigned(value, &number)) return UsageError("bad seed: ", value);
      options.seed = number;
    } else {
      return UsageError("unknown option: ", arg);
    }
  }
  if (out.empty()) return UsageError("--out DIR is required", "");
  // A real data set copied into DATA must not be lost to a mistyped command.
  if (const std::string existing = ExistingDataFiles(out); !force && !existing.empty()) {
    std::fprintf(stderr, "quillmore-sample-data: %s already holds %s (--force replaces them)\n",
                 out.c_str(), existing.c_str());
    return 1;
  }

  const quillmore::base::Status status = quillmore::tools::GenerateSampleData(options, out);
  if (!status.ok()) {
    std::fprintf(stderr, "quillmore-sample-data: %s\n", status.message().c_str());
    return 1;
  }
  return 0;
}
