#include "plot/figure_drawing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quillmore::plot {

namespace {

constexpr double kLeft = 62;  // room for the decade labels and the panel's edge
constexpr double kRight = 14;
constexpr double kFontSize = 9;
constexpr double kLegendRow = 13;
constexpr double kNoteRow = 10.5;
constexpr double kMarkerRadius = 2.8;
constexpr const char* kFont = "sans-serif";  // fontconfig resolves it

// Line patterns by style, on and off lengths in points; solid for none.
const std::vector<std::vector<double>> kPatterns = {
    {}, {6, 2.5}, {6, 2, 1.5, 2}, {10, 3}, {6, 2, 1.5, 2, 1.5, 2}, {3, 2}, {10, 2, 2, 2}, {4, 4}};
// The extrapolated part of every curve: round dots, unlike every style.
const std::vector<double> kDotted = {0.01, 2.6};
// Under a stretch that cannot be trusted: a broad red band, unlike every style.
constexpr double kBandWidth = 6;
// Marks on the shared axis: a dashed grey line across the panel, or a tick
// this long up from its bottom edge.
const std::vector<double> kMarkLine = {5, 3};
constexpr double kMarkTick = 8;

void BandColor(cairo_t* cairo) {
  cairo_set_source_rgba(cairo, 0.85, 0.1, 0.1, 0.3);
}

int StyleOf(const PlotSeries& series) {
  return std::clamp(series.style, 0, kStyleCount - 1);
}

void SetColor(cairo_t* cairo, int style) {
  const std::array<double, 3> rgb = StyleColor(style);
  cairo_set_source_rgb(cairo, rgb[0], rgb[1], rgb[2]);
}

void Font(cairo_t* cairo, double size, bool bold = false) {
  cairo_select_font_face(cairo, kFont, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cairo, size);
}

double TextWidth(cairo_t* cairo, const std::string& text) {
  cairo_text_extents_t extents;
  cairo_text_extents(cairo, text.c_str(), &extents);
  return extents.x_advance;
}

void Text(cairo_t* cairo, double x, double y, const std::string& text) {
  cairo_move_to(cairo, x, y);
  cairo_show_text(cairo, text.c_str());
}

// "10" with the exponent raised; its width, drawn at (x, y) unless only measured.
double DecadeLabel(cairo_t* cairo, int decade, double x, double y, bool draw) {
  const std::string exponent = (decade < 0 ? "\u2212" : "") + std::to_string(std::abs(decade));
  Font(cairo, kFontSize);
  const double base = TextWidth(cairo, "10");
  if (draw) Text(cairo, x, y, "10");
  Font(cairo, kFontSize * 0.72);
  const double raised = TextWidth(cairo, exponent);
  if (draw) Text(cairo, x + base, y - kFontSize * 0.4, exponent);
  return base + raised;
}

void MarkerPath(cairo_t* cairo, Marker marker, double x, double y) {
  const double r = kMarkerRadius;
  switch (marker) {
    case Marker::kCircle:
      cairo_arc(cairo, x, y, r, 0, 2 * std::numbers::pi);
      break;
    case Marker::kSquare:
      cairo_rectangle(cairo, x - r * 0.85, y - r * 0.85, r * 1.7, r * 1.7);
      break;
    case Marker::kPlus: {
      const double a = r * 1.25, w = r * 0.3;
      const double outline[][2] = {{-w, -a}, {w, -a}, {w, -w}, {a, -w}, {a, w},   {w, w},
                                   {w, a},   {-w, a}, {-w, w}, {-a, w}, {-a, -w}, {-w, -w}};
      cairo_move_to(cairo, x + outline[0][0], y + outline[0][1]);
      for (const auto& corner : outline) cairo_line_to(cairo, x + corner[0], y + corner[1]);
      break;
    }
    default: {  // diamond and triangles: corners symmetric about the point
      const double a = r * 1.2;
      if (marker == Marker::kDiamond) {
        cairo_move_to(cairo, x, y - a);
        cairo_line_to(cairo, x + a, y);
        cairo_line_to(cairo, x, y + a);
        cairo_line_to(cairo, x - a, y);
      } else {
        const double tip = marker == Marker::kTriangleUp ? -a : a;
        cairo_move_to(cairo, x, y + tip);
        cairo_line_to(cairo, x + a, y - tip);
        cairo_line_to(cairo, x - a, y - tip);
      }
    }
  }
  cairo_close_path(cairo);
}

void StrokeStyled(cairo_t* cairo, const std::vector<double>& pattern, double width) {
  cairo_set_line_width(cairo, width);
  cairo_set_line_cap(cairo, pattern == kDotted ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
  cairo_set_dash(cairo, pattern.data(), static_cast<int>(pattern.size()), 0);
  cairo_stroke(cairo);
  cairo_set_dash(cairo, nullptr, 0, 0);
}

class PanelMap {
 public:
  explicit PanelMap(const PanelFrame& frame) : frame_(frame) {}
  bool Map(const PlotPoint& point, double& x, double& y) const {
    if (!(point.x > 0) || !(point.y > 0) || std::isinf(point.x) || std::isinf(point.y))
      return false;
    x = X(point.x);
    y = frame_.y + (frame_.yRange.high - std::log10(point.y)) /
                       (frame_.yRange.high - frame_.yRange.low) * frame_.height;
    return true;
  }
  // Where `value` (> 0) of the shared axis lies.
  double X(double value) const {
    const double at = frame_.xYears ? value : std::log10(value);
    return frame_.x +
           (at - frame_.xRange.low) / (frame_.xRange.high - frame_.xRange.low) * frame_.width;
  }

 private:
  PanelFrame frame_;
};

void CurvePath(cairo_t* cairo, const PanelMap& map, const std::vector<PlotPoint>& points) {
  bool open = false;
  for (const PlotPoint& point : points) {
    double x = 0, y = 0;
    if (!map.Map(point, x, y)) {
      open = false;  // a value <= 0 breaks the line
      continue;
    }
    open ? cairo_line_to(cairo, x, y) : cairo_move_to(cairo, x, y);
    open = true;
  }
}

void DrawSeries(cairo_t* cairo, const PanelFrame& frame, const PlotPanel& panel) {
  const PanelMap map(frame);
  cairo_save(cairo);
  cairo_rectangle(cairo, frame.x, frame.y, frame.width, frame.height);
  cairo_clip(cairo);
  for (const PlotSeries& series : panel.series) {
    SetColor(cairo, StyleOf(series));
    CurvePath(cairo, map, series.line);
    StrokeStyled(cairo, kPatterns[static_cast<std::size_t>(StyleOf(series))], 1.3);
    for (const std::vector<PlotPoint>& stretch : series.unboundedLines) {
      CurvePath(cairo, map, stretch);
      BandColor(cairo);
      StrokeStyled(cairo, {}, kBandWidth);
    }
    SetColor(cairo, StyleOf(series));
    CurvePath(cairo, map, series.dashedLine);
    StrokeStyled(cairo, kDotted, 1.5);
  }
  cairo_restore(cairo);
  // Markers one fill each, whole even at the edge.
  for (const PlotSeries& series : panel.series) {
    SetColor(cairo, StyleOf(series));
    for (const PlotPoint& point : series.markers) {
      double x = 0, y = 0;
      if (!map.Map(point, x, y)) continue;
      MarkerPath(cairo, series.marker, x, y);
      cairo_fill(cairo);
    }
  }
}

void MarkColor(cairo_t* cairo) {
  cairo_set_source_rgb(cairo, 0.3, 0.3, 0.3);
}

void DrawMarks(cairo_t* cairo, const PanelFrame& frame, const std::vector<AxisMarks>& marks) {
  const PanelMap map(frame);
  const double bottom = frame.y + frame.height;
  MarkColor(cairo);
  for (const AxisMarks& mark : marks) {
    for (const double at : mark.at) {
      const double x = map.X(at);
      if (!(at > 0) || x < frame.x - 0.01 || x > frame.x + frame.width + 0.01) continue;
      cairo_move_to(cairo, x, mark.line ? frame.y : bottom - kMarkTick);
      cairo_line_to(cairo, x, bottom);
    }
    StrokeStyled(cairo, mark.line ? kMarkLine : std::vector<double>{}, 1);
  }
}

// Every `step`-th decade is labelled so that labels keep `room` points apart.
int LabelStep(double decades, double length, double room) {
  return std::max(1, static_cast<int>(std::ceil(room / (length / decades))));
}

struct Tick {
  double along;  // points from the axis' low end
  bool decade;
};

// Ticks along an axis of `length` points: every decade, and 2 to 9 times it
// where decades lie at least 40 points apart.
std::vector<Tick> Ticks(const DecadeRange& range, double length) {
  const double perDecade = length / (range.high - range.low);
  std::vector<Tick> ticks;
  for (int decade = static_cast<int>(range.low); decade <= range.high; ++decade) {
    for (int k = 1; k <= (perDecade < 40 ? 1 : 9); ++k) {
      const double at = decade + std::log10(k);
      if (at <= range.high) ticks.push_back({(at - range.low) * perDecade, k == 1});
    }
  }
  return ticks;
}

// The years between labels on an axis of `length` points: 1, 2 or 5 times
// a power of ten, so that labels keep `room` points apart.
int YearStep(const DecadeRange& range, double length, double room) {
  const double perYear = length / (range.high - range.low);
  for (int step = 1;; step *= 10)
    for (const int k : {1, 2, 5})
      if (k * step * perYear >= room || step >= 1000) return k * step;
}

// Ticks along a year axis: every labelled year, and the years between
// (or every fifth) where they lie at least 4 points apart.
std::vector<Tick> YearTicks(const DecadeRange& range, double length) {
  const double perYear = length / (range.high - range.low);
  const int step = YearStep(range, length, 4 * kFontSize);
  const int minor = step % 5 == 0 && step > 5 ? step / 5 : 1;
  std::vector<Tick> ticks;
  for (int year = static_cast<int>(std::ceil(range.low)); year <= range.high; ++year) {
    if (year % step == 0 || (minor * perYear >= 4 && year % minor == 0))
      ticks.push_back({(year - range.low) * perYear, year % step == 0});
  }
  return ticks;
}

// The panel's frame with ticks inward on all four sides: 5 points at
// decades (or labelled years), 2.5 between.
void DrawFrame(cairo_t* cairo, const PanelFrame& frame) {
  cairo_set_source_rgb(cairo, 0, 0, 0);
  cairo_set_line_width(cairo, 0.8);
  cairo_rectangle(cairo, frame.x, frame.y, frame.width, frame.height);
  const double bottom = frame.y + frame.height, right = frame.x + frame.width;
  for (const Tick& tick :
       frame.xYears ? YearTicks(frame.xRange, frame.width) : Ticks(frame.xRange, frame.width)) {
    const double x = frame.x + tick.along, length = tick.decade ? 5 : 2.5;
    cairo_move_to(cairo, x, bottom);
    cairo_line_to(cairo, x, bottom - length);
    cairo_move_to(cairo, x, frame.y);
    cairo_line_to(cairo, x, frame.y + length);
  }
  for (const Tick& tick : Ticks(frame.yRange, frame.height)) {
    const double y = bottom - tick.along, length = tick.decade ? 5 : 2.5;
    cairo_move_to(cairo, frame.x, y);
    cairo_line_to(cairo, frame.x + length, y);
    cairo_move_to(cairo, right, y);
    cairo_line_to(cairo, right - length, y);
  }
  cairo_stroke(cairo);
}

// Powers of ten left of the panel from the top down, so that the highest
// decade always has one, and under it when `xLabels`.
void DrawDecadeLabels(cairo_t* cairo, const PanelFrame& frame, bool xLabels) {
  const DecadeRange& xr = frame.xRange;
  const DecadeRange& yr = frame.yRange;
  const double perY = frame.height / (yr.high - yr.low);
  const int yStep = LabelStep(yr.high - yr.low, frame.height, 2.2 * kFontSize);
  for (int decade = static_cast<int>(yr.high); decade >= yr.low; decade -= yStep) {
    const double y = frame.y + frame.height - (decade - yr.low) * perY;
    const double width = DecadeLabel(cairo, decade, 0, 0, false);
    DecadeLabel(cairo, decade, frame.x - 4 - width, y + kFontSize * 0.35, true);
  }
  if (!xLabels) return;
  if (frame.xYears) {
    const double perYear = frame.width / (xr.high - xr.low);
    const int step = YearStep(xr, frame.width, 4 * kFontSize);
    Font(cairo, kFontSize);
    for (int year = static_cast<int>(std::ceil(xr.low)); year <= xr.high; ++year) {
      if (year % step != 0) continue;
      const std::string label = std::to_string(year);
      Text(cairo, frame.x + (year - xr.low) * perYear - TextWidth(cairo, label) / 2,
           frame.y + frame.height + 4 + kFontSize, label);
    }
    return;
  }
  const double perX = frame.width / (xr.high - xr.low);
  const int xStep = LabelStep(xr.high - xr.low, frame.width, 4 * kFontSize);
  for (int decade = static_cast<int>(xr.low); decade <= xr.high; decade += xStep) {
    const double x = frame.x + (decade - xr.low) * perX;
    const double width = DecadeLabel(cairo, decade, 0, 0, false);
    DecadeLabel(cairo, decade, x - width / 2, frame.y + frame.height + 4 + kFontSize, true);
  }
}

// What a legend entry shows: a series, or (series null) the dotted line or
// the band of what lies past the data.
struct LegendItem {
  const PlotSeries* series = nullptr;
  std::string label;
  bool band = false;
  const AxisMarks* marks = nullptr;  // or a mark on the shared axis
};

// One legend entry: a line sample in the series' style with its marker, and
// its label; returns its width.
double LegendEntry(cairo_t* cairo, double x, double y, const LegendItem& item, bool draw) {
  const PlotSeries* series = item.series;
  const std::string& label = item.label;
  Font(cairo, kFontSize * 0.95);
  const double width = 24 + TextWidth(cairo, label) + 14;
  if (!draw) return width;
  if (item.marks != nullptr) {
    MarkColor(cairo);
    cairo_move_to(cairo, item.marks->line ? x : x + 10, item.marks->line ? y - 3 : y - 7);
    cairo_line_to(cairo, item.marks->line ? x + 20 : x + 10, item.marks->line ? y - 3 : y + 1);
    StrokeStyled(cairo, item.marks->line ? kMarkLine : std::vector<double>{}, 1);
    cairo_set_source_rgb(cairo, 0, 0, 0);
    Text(cairo, x + 24, y, label);
    return width;
  }
  if (item.band) {
    cairo_move_to(cairo, x, y - 3);
    cairo_line_to(cairo, x + 20, y - 3);
    BandColor(cairo);
    StrokeStyled(cairo, {}, kBandWidth);
    cairo_set_source_rgb(cairo, 0, 0, 0);
    Text(cairo, x + 24, y, label);
    return width;
  }
  if (series != nullptr)
    SetColor(cairo, StyleOf(*series));
  else
    cairo_set_source_rgb(cairo, 0.3, 0.3, 0.3);
  cairo_move_to(cairo, x, y - 3);
  cairo_line_to(cairo, x + 20, y - 3);
  StrokeStyled(cairo,
               series != nullptr ? kPatterns[static_cast<std::size_t>(StyleOf(*series))] : kDotted,
               series != nullptr ? 1.3 : 1.5);
  if (series != nullptr) {
    MarkerPath(cairo, series->marker, x + 10, y - 3);
    cairo_fill(cairo);
  }
  cairo_set_source_rgb(cairo, 0, 0, 0);
  Text(cairo, x + 24, y, label);
  return width;
}

// The legend rows under the title, entries flowing left to right; returns
// the y under them.
double DrawLegend(cairo_t* cairo, const Plot& plot, double top, double width) {
  std::vector<LegendItem> entries;
  bool dashed = false;
  bool unbounded = false;
  for (const PlotPanel& panel : plot.panels)
    for (const PlotSeries& series : panel.series) {
      // A series drawn alike in several panels is named once.
      const bool named = std::any_of(entries.begin(), entries.end(), [&](const LegendItem& item) {
        return item.label == series.label && StyleOf(*item.series) == StyleOf(series) &&
               item.series->marker == series.marker;
      });
      if (!series.label.empty() && !named) entries.push_back({&series, series.label});
      dashed = dashed || !series.dashedLine.empty();
      unbounded = unbounded || !series.unboundedLines.empty();
    }
  if (dashed) {
    entries.push_back({nullptr, plot.pastDataLabel.empty()
                                    ? std::string("past the last tabulated time")
                                    : plot.pastDataLabel});
  }
  if (unbounded) entries.push_back({nullptr, "past the range of its data", true});
  for (const AxisMarks& marks : plot.marks)
    if (!marks.at.empty()) entries.push_back({nullptr, marks.label, false, &marks});
  double x = kLeft, y = top + kLegendRow;
  for (const LegendItem& entry : entries) {
    const double entryWidth = LegendEntry(cairo, 0, 0, entry, false);
    if (x > kLeft && x + entryWidth > width - kRight) {
      x = kLeft;
      y += kLegendRow;
    }
    LegendEntry(cairo, x, y, entry, true);
    x += entryWidth;
  }
  return entries.empty() ? top : y + 4;
}

// The title in bold, made smaller when it would not fit the width.
void DrawTitle(cairo_t* cairo, const std::string& title, double width) {
  double size = 11;
  Font(cairo, size, true);
  const double room = width - 2 * kRight;
  const double measured = TextWidth(cairo, title);
  if (measured > room) Font(cairo, size *= room / measured, true);
  cairo_set_source_rgb(cairo, 0, 0, 0);
  Text(cairo, kRight, 18, title);
}

}  // namespace

std::array<double, 3> StyleColor(int style) {
  static constexpr unsigned kOkabeIto[kStyleCount] = {0x0072B2, 0xD55E00, 0x009E73, 0xCC79A7,
                                                      0xE69F00, 0x56B4E9, 0x000000, 0xF0E442};
  const unsigned rgb = kOkabeIto[std::clamp(style, 0, kStyleCount - 1)];
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

std::vector<PanelFrame> DrawFigure(cairo_t* cairo, const Plot& plot, double width, double height) {
  cairo_set_source_rgb(cairo, 1, 1, 1);
  cairo_paint(cairo);
  DrawTitle(cairo, plot.title, width);
  const double legendBottom = DrawLegend(cairo, plot, 24, width);
  const std::vector<std::string> notes = PlotNotes(plot);
  Font(cairo, kFontSize * 0.85);
  cairo_set_source_rgb(cairo, 0, 0, 0);
  const double noteTop = height - 6 - kNoteRow * static_cast<double>(notes.size());
  for (std::size_t i = 0; i < notes.size(); ++i)
    Text(cairo, kRight, noteTop + kNoteRow * static_cast<double>(i + 1) - 2, notes[i]);

  std::vector<PanelFrame> frames;
  if (plot.panels.empty()) return frames;
  const double xTitleY = noteTop - 6;
  const double panelTitle = 16, tickLabels = 17;
  const double count = static_cast<double>(plot.panels.size());
  const double band = (xTitleY - kFontSize - 4 - legendBottom) / count;
  const DecadeRange x = XRange(plot);
  for (std::size_t p = 0; p < plot.panels.size(); ++p) {
    const PlotPanel& panel = plot.panels[p];
    const double top = legendBottom + band * static_cast<double>(p);
    PanelFrame frame{kLeft,
                     top + panelTitle,
                     width - kLeft - kRight,
                     std::max(band - panelTitle - tickLabels, 10.0),
                     x,
                     YRange(panel),
                     plot.xYears};
    Font(cairo, kFontSize, true);
    cairo_set_source_rgb(cairo, 0, 0, 0);
    Text(cairo, kLeft, top + panelTitle - 5, panel.title);
    DrawSeries(cairo, frame, panel);
    DrawMarks(cairo, frame, plot.marks);
    DrawFrame(cairo, frame);
    DrawDecadeLabels(cairo, frame, p + 1 == plot.panels.size());
    frames.push_back(frame);
  }
  Font(cairo, kFontSize);
  cairo_set_source_rgb(cairo, 0, 0, 0);
  Text(cairo, kLeft + (width - kLeft - kRight - TextWidth(cairo, plot.xTitle)) / 2, xTitleY,
       plot.xTitle);
  return frames;
}

}  // namespace quillmore::plot
