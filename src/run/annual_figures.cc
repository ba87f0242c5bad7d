#include "run/annual_figures.h"

#include <cmath>
#include <limits>
#include <set>

namespace quillmore::run {

namespace {

constexpr double kBreak = std::numeric_limits<double>::quiet_NaN();

bool FitForFileName(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '_' || c == '-';
}

std::string MappedName(const std::string& person) {
  std::string name;
  bool inSequence = false;  // within a UTF-8 sequence already replaced
  for (const char c : person) {
    const auto byte = static_cast<unsigned char>(c);
    if (!(inSequence && (byte & 0xC0) == 0x80)) name += FitForFileName(c) ? c : '_';
    inSequence = byte >= 0x80;
  }
  return name;
}

struct YearValue {
  double value = 0;
  bool pastData = false;  // has a part from past the data
};

// One region's values, year by year from the first, as a series.
plot::PlotSeries YearSeries(const std::vector<YearValue>& values, int firstYear) {
  plot::PlotSeries series;
  const auto drawn = [&](std::size_t i) { return i < values.size() && values[i].value > 0; };
  const auto point = [&](std::size_t i) {
    return plot::PlotPoint{firstYear + static_cast<double>(i) + 0.5, values[i].value};
  };
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!drawn(i)) {
      ++series.leftOut;
      continue;
    }
    const bool before = i > 0 && drawn(i - 1);
    if (!before && !drawn(i + 1)) series.markers.push_back(point(i));
    if (!before) continue;
    std::vector<plot::PlotPoint>& line =
        values[i].pastData || values[i - 1].pastData ? series.dashedLine : series.line;
    if (line.empty() || line.back().x != point(i - 1).x) {
      if (!line.empty()) line.push_back({point(i - 1).x, kBreak});
      line.push_back(point(i - 1));
    }
    line.push_back(point(i));
  }
  return series;
}

}  // namespace

std::vector<std::string> PersonFigureStems(const std::vector<std::string>& persons) {
  std::set<std::string> taken;
  std::vector<std::string> stems;
  for (const std::string& person : persons) {
    const std::string name = MappedName(person);
    std::string stem = name;
    for (int n = 2; !taken.insert(stem).second; ++n) stem = name + "_" + std::to_string(n);
    stems.push_back(stem + "_annual");
  }
  return stems;
}

base::Status CheckAnnualFigureRegions(std::size_t regionCount, const ListWords& words) {
  if (regionCount <= static_cast<std::size_t>(kMaxCurvesPerFigure)) return base::Status::Ok();
  return base::Status::InvalidArgument(
      "a person's figure draws one line per region, at most " +
      std::to_string(kMaxCurvesPerFigure) + "; " + std::to_string(regionCount) +
      " regions are selected (select at most " + std::to_string(kMaxCurvesPerFigure) + " with " +
      words.regions + ")");
}

double YearPosition(input::Days day) {
  const int year = input::YearOf(day);
  const input::Days start = input::YearStart(year);
  return year + static_cast<double>((day - start).count()) /
                    static_cast<double>((input::YearStart(year + 1) - start).count());
}

plot::Plot BuildAnnualPlot(const integration::PersonDoses& person,
                           const output::AnnualDoseColumns& columns) {
  const integration::YearDoses& doses = person.doses;
  plot::Plot plot;
  plot.title = person.person + ", born " + input::DateText(person.birthDate) +
               ": absorbed dose by calendar year";
  plot.xTitle = "Calendar year";
  plot.xYears = true;
  plot.pastDataLabel = "a part from past the data";
  for (const bool high : {false, true}) {
    plot::PlotPanel panel;
    panel.title = high ? "High-LET annual dose (Gy)" : "Low-LET annual dose (Gy)";
    for (int j = 0; j < doses.regionCount(); ++j) {
      std::vector<YearValue> values;
      for (int year = doses.firstYear(); year < doses.firstYear() + doses.yearCount(); ++year) {
        const double tail = high ? doses.highTail(year, j) : doses.lowTail(year, j);
        values.push_back(
            {high ? doses.high(year, j) : doses.low(year, j),
             tail != 0 || doses.extrapolation(year, j) != integration::Extrapolation::kNone});
      }
      plot::PlotSeries series = YearSeries(values, doses.firstYear());
      const int region = columns.selectedRegions[static_cast<std::size_t>(j)];
      series.label = columns.regionNames[static_cast<std::size_t>(region - 1)];
      series.style = j % plot::kStyleCount;
      series.marker = static_cast<plot::Marker>(j % 6);
      panel.series.push_back(std::move(series));
    }
    plot.panels.push_back(std::move(panel));
  }
  plot.marks.push_back({"follow-up end", {YearPosition(person.end)}, true});
  plot::AxisMarks intakes{"intake", {}, false};
  for (const integration::ResolvedIntake* intake : person.intakes)
    intakes.at.push_back(YearPosition(intake->row->start));
  plot.marks.push_back(std::move(intakes));
  return plot;
}

base::Status WriteAnnualFigures(const std::vector<integration::PersonDoses>& persons,
                                const output::AnnualDoseColumns& columns,
                                const FigureOptions& options, const std::filesystem::path& folder,
                                output::WrittenFiles* written) {
  std::vector<std::string> names;
  for (const integration::PersonDoses& person : persons) names.push_back(person.person);
  const std::vector<std::string> stems = PersonFigureStems(names);
  for (std::size_t i = 0; i < persons.size(); ++i) {
    const base::Status status = WriteUtf8FigureFiles(BuildAnnualPlot(persons[i], columns), stems[i],
                                                     options, folder, written, nullptr);
    if (!status.ok()) return status;
  }
  return base::Status::Ok();
}

}  // namespace quillmore::run
