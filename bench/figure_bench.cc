// Cost of one figure in each format: a batch run with --figures draws one per
// age group, form and region, and the PNG is rasterised and compressed.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "plot/figure.h"

namespace {

using quillmore::plot::FigureFormat;

// Two panels of two series as the plots of a B block have them: 30 markers
// and 800 line points each.
quillmore::plot::Plot BlockLikePlot() {
  quillmore::plot::Plot plot{"Am-241  inhalation, class M  Adult  Lung",
                             "time after intake (d)",
                             {{"Absorbed dose rate (Gy/Bq per day)", {}, {}},
                              {"Absorbed dose from intake (Gy/Bq)", {}, {}}},
                             {}};
  for (auto& panel : plot.panels) {
    for (int style = 0; style < 2; ++style) {
      quillmore::plot::PlotSeries series{
          style == 0 ? "low LET" : "high LET", style, {}, {}, {}, {}, {}};
      for (int i = 0; i <= 800; ++i) {
        const double t = std::pow(10.0, -3 + i / 100.0);
        const double value = std::pow(10.0, -12 + style) * std::exp(-t / 3000) / (1 + t);
        series.line.push_back({t, value});
        if (i % 27 == 0) series.markers.push_back({t, value});
      }
      panel.series.push_back(series);
    }
  }
  return plot;
}

void BM_Figure(benchmark::State& state) {
  const auto format = static_cast<FigureFormat>(state.range(0));
  const quillmore::plot::Plot plot = BlockLikePlot();
  std::string bytes;
  for (auto _ : state) {
    quillmore::base::Result<std::string> rendered =
        quillmore::plot::RenderFigure(plot, format, {}, {"bench", "bench", "bench"});
    if (!rendered.ok()) state.SkipWithError("not rendered");
    bytes = rendered.ok() ? std::move(rendered).value() : std::string();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetLabel(std::string(quillmore::plot::FigureExtension(format)) + ", " +
                 std::to_string(bytes.size()) + " bytes");
}
BENCHMARK(BM_Figure)
    ->Arg(static_cast<int>(FigureFormat::kSvg))
    ->Arg(static_cast<int>(FigureFormat::kPdf))
    ->Arg(static_cast<int>(FigureFormat::kPng))
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
