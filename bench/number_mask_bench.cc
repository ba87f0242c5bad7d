// Formatting cost of the table masks: a batch run renders millions of numbers.
#include <benchmark/benchmark.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "output/number_mask.h"

namespace {

std::vector<float> Coefficients() {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> mantissa(1.0f, 10.0f);
  std::uniform_int_distribution<int> decade(-20, -5);
  std::vector<float> values(4096);
  for (float& value : values)
    value = mantissa(random) * std::pow(10.0f, static_cast<float>(decade(random)));
  return values;
}

void BM_PairMask(benchmark::State& state) {
  const std::vector<float> values = Coefficients();
  std::string out;
  std::size_t i = 0;
  for (auto _ : state) {
    out.clear();
    const std::array<float, 2> pair{values[i % values.size()], values[(i + 1) % values.size()]};
    quillmore::output::FormatUsing("##.##^^^^##.##^^^^ ", pair, out);
    benchmark::DoNotOptimize(out.data());
    i += 2;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 2);
}
BENCHMARK(BM_PairMask);

}  // namespace

BENCHMARK_MAIN();
