#include "app/interactive_curve_plots.h"

#include <algorithm>
#include <array>

#include "base/text.h"
#include "input/age_groups.h"
#include "input/nuclide_name.h"
#include "integration/integrate_rate_block.h"
#include "output/number_mask.h"
#include "output/table_writer.h"

namespace quillmore::app {

namespace {

using integration::kComponentCount;
using integration::RateCurve;

constexpr int kPointsPerDecade = 100;
constexpr int kLowColor = 11;   // bright cyan
constexpr int kHighColor = 13;  // bright magenta
constexpr const char* kComponentNames[kComponentCount] = {"low LET", "high LET"};

std::vector<console::PlotPoint> Points(std::span<const double> x, std::span<const double> y) {
  std::vector<console::PlotPoint> points;
  for (std::size_t i = 0; i < x.size(); ++i) points.push_back({x[i], y[i]});
  return points;
}

std::vector<double> RatesAt(const RateCurve& curve, std::span<const double> times) {
  std::vector<double> rates;
  for (double t : times) rates.push_back(curve.Rate(t));
  return rates;
}

std::string BlockTitle(const run::BlockCurves& block, int position, const run::RunSelection& run) {
  const bool inhalation = run.dataKind == input::DataKind::kInhalation;
  const int region = run.selectedRegions[static_cast<std::size_t>(position)];
  std::string title = base::TrimBlanks(block.header.name) +
                      (inhalation ? "  inhalation, class " + std::string(1, block.header.classCode)
                                  : "  ingestion, f1 " + base::TrimBlanks(block.header.f1Text));
  const std::string_view form =
      inhalation ? output::ChemicalFormLabel(block.header.name, block.formNumber) : "";
  if (!form.empty()) title += " " + std::string(form);
  title += "  " + base::TrimBlanks(std::string(input::AgeGroupLabel(
                      run.selectedAges[static_cast<std::size_t>(block.table)])));
  title += "  " + base::TrimBlanks(run.regionNames[static_cast<std::size_t>(region - 1)]);
  return title;
}

}  // namespace

console::Plot BuildCurvePlot(const run::BlockCurves& block, int position,
                             const run::RunSelection& run) {
  console::Plot plot;
  plot.title = BlockTitle(block, position, run);
  plot.xTitle = "time after intake (d)";
  const auto& curves = block.curves[static_cast<std::size_t>(position)];
  const std::span<const double> times = curves[0].times();
  const bool single = curves[0].singlePoint();
  const std::vector<double>& periods = run.integrationTimes;
  const double lastTime = times.back();
  const double lastPeriod =
      periods.empty() ? lastTime : *std::max_element(periods.begin(), periods.end());
  const auto firstPositive =
      std::find_if(times.begin(), times.end(), [](double t) { return t > 0; });
  std::vector<double> inside, beyond;
  if (!single && firstPositive != times.end()) {
    inside = integration::LogSpacedTimes(*firstPositive, lastTime, kPointsPerDecade);
    if (lastPeriod > lastTime)
      beyond = integration::LogSpacedTimes(lastTime, lastPeriod, kPointsPerDecade);
  }

  console::PlotPanel rate{"Absorbed dose rate (Gy/Bq per day)", {}, {}};
  console::PlotPanel dose{"Absorbed dose from intake (Gy/Bq)", {}, {}};
  std::array<std::vector<double>, kComponentCount> coefficients;
  for (int c = 0; c < kComponentCount; ++c) {
    const RateCurve& curve = curves[static_cast<std::size_t>(c)];
    coefficients[static_cast<std::size_t>(c)] = curve.Doses(periods);
    if (!integration::IntegratesComponent(block.header.letLetter, c)) {
      plot.notes.push_back(std::string("No ") + kComponentNames[c] + " component in this block.");
      continue;
    }
    const int color = c == 0 ? kLowColor : kHighColor;
    rate.series.push_back(
        {kComponentNames[c], color, static_cast<unsigned char>(c == 0 ? 'o' : 'x'),
         c == 0 ? U'\u25CF' : U'\u25C6', Points(times, curve.rates()),
         Points(inside, RatesAt(curve, inside)), Points(beyond, RatesAt(curve, beyond))});
    // The legend of the rate panel names the colours; here the periods count.
    dose.series.push_back(
        {"", color, '+', U'\u271A', Points(periods, coefficients[static_cast<std::size_t>(c)]),
         Points(inside, curve.Doses(inside)), Points(beyond, curve.Doses(beyond))});
  }
  plot.panels.push_back(std::move(rate));
  if (single) {
    plot.notes.push_back(
        "One time point: the table holds this rate at every time, not an integral.");
    return plot;
  }
  // Each period with its values as the table prints them.
  dose.legend.push_back("t (d)    low      high");
  for (std::size_t k = 0; k < periods.size(); ++k) {
    const float values[] = {static_cast<float>(coefficients[0][k]),
                            static_cast<float>(coefficients[1][k])};
    std::string line = output::FormatUsing(output::kTimeMask, {static_cast<float>(periods[k])});
    output::FormatUsing(output::kPairMask, values, line);
    dose.legend.push_back(base::TrimBlanks(line) + (periods[k] > lastTime ? "*" : ""));
  }
  if (lastPeriod > lastTime) dose.legend.push_back("* past the last tabulated time");
  plot.panels.push_back(std::move(dose));
  return plot;
}

CurvePlots::CurvePlots(input::DoseRateFile& file, const input::IndexEntry& entry,
                       std::string nuclideName, const run::RunSelection& run, int table)
    : file_(file), entry_(entry), nuclideName_(std::move(nuclideName)), run_(run), table_(table) {}

std::optional<console::Plot> CurvePlots::PlotFor(int region, int group) {
  if (!curves_) {
    curves_ = run::ReadNuclideCurves(file_, entry_, nuclideName_, run_);
    for (const run::BlockCurves& block : curves_->blocks)
      if (block.table == table_) groups_.push_back(&block);
  }
  if (group < 0 || group >= static_cast<int>(groups_.size())) return std::nullopt;
  const run::BlockCurves& block = *groups_[static_cast<std::size_t>(group)];
  if (region < 0 || region >= static_cast<int>(block.curves.size())) return std::nullopt;
  return BuildCurvePlot(block, region, run_);
}

}  // namespace quillmore::app
