// quillmore-sample-data: writes a synthetic data folder for tests, demos and
// benchmarks.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sample_data/nuclide_catalog.h"
#include "sample_data/sample_data.h"

namespace {

constexpr const char* kUsage =
    "usage: quillmore-sample-data --out DIR [--nuclides N] [--seed S]\n"
    "  Writes DoseInd.NDX, TQV27INH2.DRT, TQV27ING2.DRT and Quillmore.ini into DIR.\n"
    "  --nuclides N  N synthetic nuclides (1 to 9997) instead of the default set\n"
    "  --seed S      seed of the synthetic values (default 1); equal seeds give equal bytes\n";

int UsageError(const char* message, const char* detail) {
  std::fprintf(stderr, "quillmore-sample-data: %s%s\n%s", message, detail, kUsage);
  return 2;
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
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
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

  const quillmore::base::Status status = quillmore::tools::GenerateSampleData(options, out);
  if (!status.ok()) {
    std::fprintf(stderr, "quillmore-sample-data: %s\n", status.message().c_str());
    return 1;
  }
  return 0;
}
