#include "run/curve_plot.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <span>

#include "base/text.h"
#include "input/age_groups.h"
#include "integration/integrate_rate_block.h"
#include "output/form_name.h"
#include "output/number_mask.h"
#include "output/table_writer.h"

namespace quillmore::run {

namespace {

using integration::kComponentCount;
using integration::RateCurve;
using plot::PlotPoint;

constexpr int kPointsPerDecade = 100;
constexpr const char* kComponentNames[kComponentCount] = {"low LET", "high LET"};
constexpr plot::Marker kComponentMarkers[kComponentCount] = {plot::Marker::kCircle,
                                                             plot::Marker::kDiamond};
// Comparisons tell their curves apart by marker as well as colour.
constexpr plot::Marker kComparisonMarkers[] = {plot::Marker::kCircle, plot::Marker::kDiamond,
                                               plot::Marker::kSquare, plot::Marker::kTriangleUp,
                                               plot::Marker::kTriangleDown};

std::vector<PlotPoint> Points(std::span<const double> x, std::span<const double> y) {
  std::vector<PlotPoint> points;
  for (std::size_t i = 0; i < x.size(); ++i) points.push_back({x[i], y[i]});
  return points;
}

std::vector<double> RatesAt(const RateCurve& curve, std::span<const double> times) {
  std::vector<double> rates;
  for (double t : times) rates.push_back(curve.Rate(t));
  return rates;
}

// The times the curves are drawn at: inside the tabulated range and past it
// up to the last integration time (none for a single time point).
struct DrawnTimes {
  std::vector<double> inside, beyond;
  double lastTime = 0;
  double lastPeriod = 0;
};

DrawnTimes TimesFor(const RateCurve& curve, const std::vector<double>& periods) {
  DrawnTimes drawn;
  const std::span<const double> times = curve.times();
  drawn.lastTime = times.back();
  drawn.lastPeriod =
      periods.empty() ? drawn.lastTime : *std::max_element(periods.begin(), periods.end());
  const auto firstPositive =
      std::find_if(times.begin(), times.end(), [](double t) { return t > 0; });
  if (!curve.singlePoint() && firstPositive != times.end()) {
    drawn.inside = integration::LogSpacedTimes(*firstPositive, drawn.lastTime, kPointsPerDecade);
    if (drawn.lastPeriod > drawn.lastTime)
      drawn.beyond =
          integration::LogSpacedTimes(drawn.lastTime, drawn.lastPeriod, kPointsPerDecade);
  }
  return drawn;
}

// The stretches of `line` (drawn at drawn.beyond) where the dose is
// kUnbounded, each joined to the point before it.
std::vector<std::vector<PlotPoint>> UnboundedStretches(
    const std::vector<PlotPoint>& line, const std::vector<integration::Extrapolation>& statuses) {
  std::vector<std::vector<PlotPoint>> stretches;
  bool open = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const bool unbounded = statuses[i] == integration::Extrapolation::kUnbounded;
    if (unbounded && !open) {
      stretches.emplace_back();
      if (i > 0) stretches.back().push_back(line[i - 1]);
    }
    if (unbounded) stretches.back().push_back(line[i]);
    open = unbounded;
  }
  return stretches;
}

// A rate series and a dose series of `curve` in the given style; returns the
// first time drawn whose dose cannot be trusted, or 0.
double AddCurve(const RateCurve& curve, const DrawnTimes& drawn, const std::vector<double>& periods,
                plot::PlotSeries style, plot::Marker doseMarker, plot::PlotPanel& rate,
                plot::PlotPanel& dose) {
  const std::vector<integration::Extrapolation> statuses = curve.Extrapolations(drawn.beyond);
  plot::PlotSeries rates = style;
  rates.markers = Points(curve.times(), curve.rates());
  rates.line = Points(drawn.inside, RatesAt(curve, drawn.inside));
  rates.dashedLine = Points(drawn.beyond, RatesAt(curve, drawn.beyond));
  rates.unboundedLines = UnboundedStretches(rates.dashedLine, statuses);
  rate.series.push_back(std::move(rates));
  // The legend of the rate panel names the styles; here the periods count.
  plot::PlotSeries doses = style;
  doses.label.clear();
  doses.marker = doseMarker;
  doses.markers = Points(periods, curve.Doses(periods));
  doses.line = Points(drawn.inside, curve.Doses(drawn.inside));
  doses.dashedLine = Points(drawn.beyond, curve.Doses(drawn.beyond));
  doses.unboundedLines = UnboundedStretches(doses.dashedLine, statuses);
  dose.series.push_back(std::move(doses));
  const auto first =
      std::find(statuses.begin(), statuses.end(), integration::Extrapolation::kUnbounded);
  return first == statuses.end() ? 0.0
                                 : drawn.beyond[static_cast<std::size_t>(first - statuses.begin())];
}

// "50636": whole days for a note.
std::string WholeDays(double days) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", days);
  return text;
}

plot::PlotPanel RatePanel() {
  return {"Absorbed dose rate (Gy/Bq per day)", {}, {}};
}
plot::PlotPanel DosePanel() {
  return {"Absorbed dose from intake (Gy/Bq)", {}, {}};
}

}  // namespace

CurveNames NamesOf(const BlockCurves& block, int position, const RunSelection& run) {
  const bool inhalation = run.dataKind == input::DataKind::kInhalation;
  const int region = run.selectedRegions[static_cast<std::size_t>(position)];
  CurveNames names;
  names.nuclide = base::TrimBlanks(block.header.name);
  names.intake = inhalation ? "inhalation" : "ingestion";
  names.form = output::FormWords(block.header, run.dataKind, block.formNumber);
  names.age = base::TrimBlanks(
      std::string(input::AgeGroupLabel(run.selectedAges[static_cast<std::size_t>(block.table)])));
  names.region = base::TrimBlanks(run.regionNames[static_cast<std::size_t>(region - 1)]);
  return names;
}

namespace {

// Names the tail the command gave in the legend of a plot drawn past the data.
void NameTail(const RunSelection& run, bool pastData, plot::Plot& plot) {
  if (run.tail && pastData) {
    plot.pastDataLabel =
        std::string("past the last tabulated time: ") + integration::TailName(*run.tail) + " tail";
  }
}

}  // namespace

plot::Plot BuildCurvePlot(const BlockCurves& block, int position, const RunSelection& run) {
  const CurveNames names = NamesOf(block, position, run);
  plot::Plot plot;
  plot.title = names.nuclide + "  " + names.intake + ", " + names.form + "  " + names.age + "  " +
               names.region;
  plot.xTitle = "time after intake (d)";
  const auto& curves = block.curves[static_cast<std::size_t>(position)];
  const std::vector<double>& periods = run.integrationTimes;
  const DrawnTimes drawn = TimesFor(curves[0], periods);

  plot::PlotPanel rate = RatePanel();
  plot::PlotPanel dose = DosePanel();
  std::array<std::vector<double>, kComponentCount> coefficients;
  std::array<std::vector<integration::Extrapolation>, kComponentCount> statuses;
  double firstUnbounded = 0;
  for (int c = 0; c < kComponentCount; ++c) {
    const RateCurve& curve = curves[static_cast<std::size_t>(c)];
    coefficients[static_cast<std::size_t>(c)] = curve.Doses(periods);
    statuses[static_cast<std::size_t>(c)] = curve.Extrapolations(periods);
    if (!integration::IntegratesComponent(block.header.letLetter, c)) {
      plot.notes.push_back(std::string("No ") + kComponentNames[c] + " component in this block.");
      continue;
    }
    const double first = AddCurve(curve, drawn, periods,
                                  {kComponentNames[c], c, kComponentMarkers[c], {}, {}, {}, {}},
                                  plot::Marker::kPlus, rate, dose);
    if (first > 0 && (firstUnbounded == 0 || first < firstUnbounded)) firstUnbounded = first;
  }
  NameTail(run, !drawn.beyond.empty(), plot);
  if (firstUnbounded > 0) {
    plot.notes.push_back(
        "Past " + WholeDays(drawn.lastTime) +
        " d the extended curve leaves the range of its data: its doses from about " +
        WholeDays(firstUnbounded) + " d on cannot be trusted.");
  }
  plot.panels.push_back(std::move(rate));
  if (curves[0].singlePoint()) {
    plot.notes.push_back(
        "One time point: the table holds this rate at every time, not an integral.");
    return plot;
  }
  // Each period with its values as the table prints them.
  dose.legend.push_back("t (d)    low      high");
  bool starred = false;  // a period past the data and within its range
  for (std::size_t k = 0; k < periods.size(); ++k) {
    const float values[] = {static_cast<float>(coefficients[0][k]),
                            static_cast<float>(coefficients[1][k])};
    std::string line = output::FormatUsing(output::kTimeMask, {static_cast<float>(periods[k])});
    output::FormatUsing(output::kPairMask, values, line);
    const bool unbounded = integration::Worse(statuses[0][k], statuses[1][k]) ==
                           integration::Extrapolation::kUnbounded;
    const bool past = !unbounded && periods[k] > drawn.lastTime;
    starred = starred || past;
    dose.legend.push_back(base::TrimBlanks(line) + (unbounded ? "!" : past ? "*" : ""));
  }
  if (starred) dose.legend.push_back("* past the last tabulated time");
  if (firstUnbounded > 0) dose.legend.push_back("! cannot be trusted");
  plot.panels.push_back(std::move(dose));
  return plot;
}

int ComparedSeriesCount(const std::vector<ComparedCurve>& curves) {
  int count = 0;
  for (const ComparedCurve& compared : curves)
    for (int c = 0; c < kComponentCount; ++c)
      count += integration::IntegratesComponent(compared.block->header.letLetter, c) ? 1 : 0;
  return count;
}

plot::Plot BuildComparisonPlot(const std::vector<ComparedCurve>& curves, const RunSelection& run,
                               std::string title) {
  plot::Plot plot;
  plot.title = std::move(title);
  plot.xTitle = "time after intake (d)";
  plot::PlotPanel rate = RatePanel();
  plot::PlotPanel dose = DosePanel();
  const std::vector<double>& periods = run.integrationTimes;
  int style = 0;
  bool single = false;
  bool unbounded = false;
  bool pastData = false;
  for (const ComparedCurve& compared : curves) {
    const auto& pair = compared.block->curves[static_cast<std::size_t>(compared.position)];
    const DrawnTimes drawn = TimesFor(pair[0], periods);
    pastData = pastData || !drawn.beyond.empty();
    single = single || pair[0].singlePoint();
    for (int c = 0; c < kComponentCount; ++c) {
      if (!integration::IntegratesComponent(compared.block->header.letLetter, c)) continue;
      const plot::Marker marker =
          kComparisonMarkers[static_cast<std::size_t>(style) % std::size(kComparisonMarkers)];
      unbounded = AddCurve(pair[static_cast<std::size_t>(c)], drawn, periods,
                           {compared.label + ", " + kComponentNames[c],
                            style % plot::kStyleCount,
                            marker,
                            {},
                            {},
                            {},
                            {}},
                           marker, rate, dose) > 0 ||
                  unbounded;
      ++style;
    }
  }
  NameTail(run, pastData, plot);
  if (single)
    plot.notes.push_back(
        "One time point in a block: its rate holds at every time, not an integral.");
  if (unbounded)
    plot.notes.push_back(
        "Some extended curves leave the range of their data: their doses drawn apart cannot be "
        "trusted.");
  plot.panels.push_back(std::move(rate));
  plot.panels.push_back(std::move(dose));
  return plot;
}

}  // namespace quillmore::run
