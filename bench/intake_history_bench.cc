// An intake-history run as users make it: 1,000 persons with 5 intakes each
// (acute and spread, both routes), all 30 regions, 60 years each, writing
// annual_doses.csv: 3.6 million dose values (low and high LET). The goal is
// at most 0.3 us of CPU time per value written. IntakeHistory/1 gives every
// intake a GSD, adding annual_dose_distributions.csv (each value's exact
// moments and matched lognormal, low and high apart): the goal is at most
// 1.5 times the plain run's time.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/batch_options.h"
#include "app/batch_run.h"
#include "sample_data/sample_data.h"

namespace {

using namespace quillmore;

constexpr int kPersons = 1000;
constexpr int kIntakesPerPerson = 5;
constexpr int kYears = 60;  // 2000 to 2059
constexpr double kValues = 2.0 * kPersons * kYears * 30;

// Nuclide, route and form of the intakes, taken in turn.
constexpr const char* kIntakes[] = {"Cs-137,h,1", "Pu-239,h,2", "Sr-90,g,1",
                                    "I-131,g,1",  "Co-60,h,1",  "Am-241,g,1"};

std::string IntakeFile(bool uncertain) {
  std::ostringstream csv;
  csv << "person,birth_date,nuclide,intake,form,start,end,activity_bq"
      << (uncertain ? ",activity_gsd\n" : "\n");
  int n = 0;
  for (int p = 0; p < kPersons; ++p) {
    const int birthYear = 1950 + p % 45;  // some intakes are split at birthdays
    for (int i = 0; i < kIntakesPerPerson; ++i, ++n) {
      const int year = 2000 + (i * 2 + p) % 10;
      csv << "P" << p << ',' << birthYear << "-03-15,"
          << kIntakes[static_cast<std::size_t>(n) % std::size(kIntakes)] << ',' << year << "-0"
          << 1 + i % 9 << "-1" << i % 10 << ',';
      if (i % 2 == 1) csv << year + 1 + i % 3 << "-06-30";  // spread over 1 to 3 years
      csv << ',' << 1000 * (i + 1);
      if (uncertain) csv << ',' << 1.5 + i * 0.5;
      csv << '\n';
    }
  }
  return csv.str();
}

void IntakeHistory(benchmark::State& state) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("quillmore_intake_bench_" + std::to_string(getpid()));
  if (!tools::GenerateSampleData({}, folder / "DATA").ok()) {
    state.SkipWithError("no sample data");
    return;
  }
  std::ofstream(folder / "intakes.csv") << IntakeFile(state.range(0) != 0);
  const std::vector<std::string> arguments{"--data-dir",   (folder / "DATA").string(),
                                           "--intakes",    (folder / "intakes.csv").string(),
                                           "--until",      "2059",
                                           "--output-dir", (folder / "OUTPUT").string(),
                                           "--quiet"};
  const base::Result<app::BatchOptions> parsed = app::ParseBatchOptions(arguments);
  if (!parsed.ok()) {
    state.SkipWithError("bad options");
    return;
  }
  const app::BatchOptions& options = parsed.value();
  std::ostringstream out, err;
  for (auto _ : state) {
    if (app::RunBatch(options, out, err, false) != app::kBatchOk) {
      state.SkipWithError(err.str().c_str());
      break;
    }
  }
  state.counters["values"] = kValues;
  state.counters["per_value"] = benchmark::Counter(
      kValues, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

BENCHMARK(IntakeHistory)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kSecond)
    ->MeasureProcessCPUTime()
    ->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
