// Reading and integrating one large block: 150 time points, both LET
// components (two records per point), all 29 regions plus Lung, 100
// integration times.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "input/dose_rate_file.h"
#include "integration/block_integration.h"
#include "integration/integrate_rate_block.h"

namespace {

using namespace quillmore;

constexpr int kPoints = 150;

std::string Record(std::string content) {
  content.resize(input::kDoseRateRecordLength - 2, ' ');
  return content + "\r\n";
}

std::string RateRecord(double time, double scale) {
  char field[32];
  std::snprintf(field, sizeof field, "%9.3E", time);
  std::string text = field;
  for (int k = 1; k <= input::kRegionColumnCount; ++k) {
    std::snprintf(field, sizeof field, "%10.3E", scale * k * std::exp(-time / (10.0 * k)));
    text += field;
  }
  return Record(text);
}

// A dose-rate file with one "B" block of kPoints points from record 3 on.
std::filesystem::path WriteBlockFile() {
  const auto path = std::filesystem::temp_directory_path() /
                    ("quillmore_bench_" + std::to_string(getpid()) + ".DRT");
  std::ofstream out(path, std::ios::binary);
  out << Record("benchmark dose rates") << Record("");
  char header[40];
  std::snprintf(header, sizeof header, "Cs-137  7300      F        %4d 2 B", kPoints);
  out << Record(header);
  for (int i = 0; i < kPoints; ++i) {
    const double time = 0.01 * std::pow(1.1, i);
    out << RateRecord(time, 1e-9) << RateRecord(time, 2e-10);
  }
  return path;
}

std::vector<int> AllRegions() {
  std::vector<int> regions;
  for (int k = 1; k <= input::kLungRegion; ++k) regions.push_back(k);
  return regions;
}

std::vector<double> IntegrationTimes() {
  std::vector<double> times;
  for (int k = 0; k < 100; ++k) times.push_back(0.1 * std::pow(1.13, k));
  return times;
}

// One block file and the run's tables, shared by both benchmarks.
struct BlockBench {
  explicit BlockBench(benchmark::State& state) : path(WriteBlockFile()) {
    if (!file.Open(path).ok()) state.SkipWithError("cannot open the block file");
  }
  ~BlockBench() { std::filesystem::remove(path); }

  // Reads and integrates the block from its header on.
  base::Status ReadAndIntegrate() {
    file.PositionAt(3);
    const input::BlockHeader header = file.ReadBlockHeader(input::DataKind::kInhalation);
    return integration::ReadAndIntegrateBlock(file, header, regions, times, workspace,
                                              coefficients);
  }

  std::filesystem::path path;
  input::DoseRateFile file;
  const std::vector<int> regions = AllRegions();
  const std::vector<double> times = IntegrationTimes();
  integration::BlockWorkspace workspace;
  integration::CoefficientTable coefficients;
};

void BM_ReadAndIntegrateBlock(benchmark::State& state) {
  BlockBench bench(state);
  for (auto _ : state) {
    const base::Status result = bench.ReadAndIntegrate();
    if (!result.ok()) state.SkipWithError(result.message().c_str());
    benchmark::DoNotOptimize(bench.coefficients.at(1, 29, 99));
  }
}
BENCHMARK(BM_ReadAndIntegrateBlock)->Unit(benchmark::kMicrosecond);

// The integration alone, to tell reading from arithmetic.
void BM_IntegrateBlockOnly(benchmark::State& state) {
  BlockBench bench(state);
  if (const base::Status read = bench.ReadAndIntegrate(); !read.ok())
    state.SkipWithError(read.message().c_str());
  for (auto _ : state) {
    const base::Status result =
        integration::IntegrateRateBlock(bench.workspace.rates, bench.workspace.timeGrid, 'B',
                                        bench.times, bench.workspace.slopes, bench.coefficients);
    if (!result.ok()) state.SkipWithError(result.message().c_str());
    benchmark::DoNotOptimize(bench.coefficients.at(1, 29, 99));
  }
}
BENCHMARK(BM_IntegrateBlockOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
