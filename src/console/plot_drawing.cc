// DrawPlot: panels on log-log axes in Braille dots or ASCII marks.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "console/plot_view.h"

namespace quillmore::console {

namespace {

constexpr int kLabelWidth = 6;    // "1E-10" and a blank
constexpr int kLegendWidth = 29;  // the panel's legend, right of the plot
constexpr unsigned char kText = MakeAttribute(kBrightWhite, kBlack);
constexpr unsigned char kAxis = MakeAttribute(kLightGray, kBlack);
constexpr unsigned char kNote = MakeAttribute(kYellow, kBlack);

// Braille dot bits by (dot column, dot row) within a cell.
constexpr unsigned kBrailleBits[2][4] = {{0x01, 0x02, 0x04, 0x40}, {0x08, 0x10, 0x20, 0x80}};

struct Range {
  double low = 0;  // decades (log10)
  double high = 1;
  bool empty = true;

  void Add(double value) {
    const double decade = std::log10(value);
    if (empty) {
      low = high = decade;
      empty = false;
    }
    low = std::min(low, decade);
    high = std::max(high, decade);
  }
  // Whole decades around the values, at least one.
  void Round() {
    low = std::floor(low);
    high = std::ceil(high);
    if (high <= low) high = low + 1;
  }
};

struct CellInk {
  unsigned bits = 0;
  int color = -1;
  bool solid = false;
  bool marker = false;
  unsigned char markerByte = 0;
  char32_t markerGlyph = 0;
};

std::string DecadeLabel(int decade) {
  char text[16];
  std::snprintf(text, sizeof text, "1E%c%02d", decade < 0 ? '-' : '+', std::abs(decade));
  return text;
}

class PanelCanvas {
 public:
  PanelCanvas(int rows, int columns, bool unicode, const Range& x, const Range& y)
      : rows_(rows),
        columns_(columns),
        dotsX_(unicode ? 2 : 1),
        dotsY_(unicode ? 4 : 1),
        x_(x),
        y_(y),
        cells_(static_cast<std::size_t>(rows * columns)) {}

  // Dot coordinates from the top left; false for values a log axis cannot show.
  bool Dot(const PlotPoint& point, double& dx, double& dy) const {
    if (!(point.x > 0) || !(point.y > 0)) return false;
    dx = (std::log10(point.x) - x_.low) / (x_.high - x_.low) * (columns_ * dotsX_ - 1);
    dy = (y_.high - std::log10(point.y)) / (y_.high - y_.low) * (rows_ * dotsY_ - 1);
    return true;
  }

  void Line(const std::vector<PlotPoint>& points, int color, bool solid) {
    int step = 0;
    for (std::size_t i = 1; i < points.size(); ++i) {
      double ax = 0, ay = 0, bx = 0, by = 0;
      if (!Dot(points[i - 1], ax, ay) || !Dot(points[i], bx, by)) continue;
      const int steps = static_cast<int>(std::ceil(std::max(std::abs(bx - ax), std::abs(by - ay))));
      for (int s = 0; s <= steps; ++s, ++step) {
        if (!solid && (step / 2) % 2 == 1) continue;
        const double t = steps == 0 ? 0 : static_cast<double>(s) / steps;
        SetDot(static_cast<int>(std::lround(ax + t * (bx - ax))),
               static_cast<int>(std::lround(ay + t * (by - ay))), color, solid);
      }
    }
  }

  void Marker(const PlotPoint& point, const PlotSeries& series) {
    double dx = 0, dy = 0;
    if (!Dot(point, dx, dy)) return;
    CellInk* ink =
        At(static_cast<int>(std::lround(dx)) / dotsX_, static_cast<int>(std::lround(dy)) / dotsY_);
    if (ink == nullptr) return;
    ink->marker = true;
    ink->markerByte = series.marker;
    ink->markerGlyph = series.markerGlyph;
    ink->color = series.color;
  }

  void Paint(Screen& screen, int top, int left, bool unicode) const {
    for (int r = 0; r < rows_; ++r) {
      for (int c = 0; c < columns_; ++c) {
        const CellInk& ink = cells_[static_cast<std::size_t>(r * columns_ + c)];
        const unsigned char look = MakeAttribute(std::max(ink.color, 0), kBlack);
        if (ink.marker) {
          screen.PutGlyph(top + r, left + c, unicode ? ink.markerGlyph : 0, ink.markerByte, look);
        } else if (ink.bits != 0) {
          const unsigned char byte = ink.solid ? '.' : ':';
          screen.PutGlyph(top + r, left + c, unicode ? char32_t(0x2800 + ink.bits) : 0, byte, look);
        }
      }
    }
  }

 private:
  CellInk* At(int column, int row) {
    if (column < 0 || column >= columns_ || row < 0 || row >= rows_) return nullptr;
    return &cells_[static_cast<std::size_t>(row * columns_ + column)];
  }

  void SetDot(int dx, int dy, int color, bool solid) {
    CellInk* ink = At(dx / dotsX_, dy / dotsY_);
    if (ink == nullptr || dx < 0 || dy < 0) return;
    // One colour per cell: the first curve to reach it keeps it.
    if (ink->color < 0) ink->color = color;
    ink->solid = ink->solid || solid;
    ink->bits |= dotsX_ == 2 ? kBrailleBits[dx % 2][dy % 4] : 1u;
  }

  int rows_, columns_, dotsX_, dotsY_;
  Range x_, y_;
  std::vector<CellInk> cells_;
};

template <typename Visit>
void ForEachPoint(const PlotPanel& panel, Visit visit) {
  for (const PlotSeries& series : panel.series) {
    for (const auto* points : {&series.markers, &series.line, &series.dashedLine})
      for (const PlotPoint& point : *points) visit(point, points == &series.markers);
  }
}

// Every `step`-th decade gets a label, so that labels need `room` cells each.
int LabelStep(double decades, int cells, int room) {
  const int fit = std::max(1, cells / room);
  return std::max(1, static_cast<int>(std::ceil((decades + 1) / fit)));
}

}  // namespace

void DrawPlot(const Plot& plot, Screen& screen, bool unicode) {
  const int width = screen.columns();
  const int lastRow = screen.rows() - 1;
  screen.PutText(1, 2, plot.title, kText);

  Range xRange;
  std::vector<std::string> notes = plot.notes;
  for (const PlotPanel& panel : plot.panels) {
    int leftOut = 0;
    bool curveCut = false;
    ForEachPoint(panel, [&](const PlotPoint& point, bool marker) {
      if (point.x > 0) xRange.Add(point.x);
      if (point.x > 0 && point.y > 0) return;
      if (marker)
        ++leftOut;
      else
        curveCut = true;
    });
    if (leftOut > 0 || curveCut) {
      notes.push_back(panel.title.substr(0, panel.title.find(" (")) + ": " +
                      (leftOut == 1  ? std::string("1 value <= 0")
                       : leftOut > 1 ? std::to_string(leftOut) + " values <= 0"
                                     : std::string("parts <= 0")) +
                      " left out (log axes cannot show them)");
    }
  }
  xRange.Round();
  const int noteTop = lastRow - static_cast<int>(notes.size()) + 1;
  for (std::size_t i = 0; i < notes.size(); ++i)
    screen.PutText(noteTop + static_cast<int>(i), 2, notes[i], kNote);

  const int xLabelRow = noteTop - 1;
  const int panelCount = static_cast<int>(plot.panels.size());
  if (panelCount == 0) return;
  const int perPanel = (xLabelRow - 2) / panelCount;
  const int plotLeft = kLabelWidth + 2;
  const int plotColumns = width - plotLeft - kLegendWidth;
  const int legendLeft = width - kLegendWidth + 2;
  const double decadesX = xRange.high - xRange.low;
  const int areaRows = perPanel - 2;
  if (areaRows < 2 || plotColumns < 10) return;

  for (int p = 0; p < panelCount; ++p) {
    const PlotPanel& panel = plot.panels[static_cast<std::size_t>(p)];
    const int titleRow = 2 + p * perPanel;
    const int top = titleRow + 1;
    const int ruleRow = top + areaRows;
    screen.PutText(titleRow, 2, panel.title, kText);

    Range yRange;
    ForEachPoint(panel, [&](const PlotPoint& point, bool) {
      if (point.x > 0 && point.y > 0) yRange.Add(point.y);
    });
    yRange.Round();
    PanelCanvas canvas(areaRows, plotColumns, unicode, xRange, yRange);
    for (const PlotSeries& series : panel.series) canvas.Line(series.line, series.color, true);
    for (const PlotSeries& series : panel.series)
      canvas.Line(series.dashedLine, series.color, false);
    for (const PlotSeries& series : panel.series)
      for (const PlotPoint& point : series.markers) canvas.Marker(point, series);
    canvas.Paint(screen, top, plotLeft, unicode);

    // The y axis: a rule with a tick and a label at each shown decade.
    for (int r = top; r < ruleRow; ++r)
      screen.PutGlyph(r, plotLeft - 1, unicode ? U'\u2502' : 0, '|', kAxis);
    const double decadesY = yRange.high - yRange.low;
    const int yStep = LabelStep(decadesY, areaRows, 2);
    // Labelled from the top down, so that the highest decade always is.
    for (int decade = static_cast<int>(yRange.high); decade >= yRange.low; decade -= yStep) {
      const double fromTop = (yRange.high - decade) / decadesY;
      const int row = top + static_cast<int>(std::lround(fromTop * (areaRows - 1)));
      screen.PutGlyph(row, plotLeft - 1, unicode ? U'\u2524' : 0, '+', kAxis);
      screen.PutText(row, 1, DecadeLabel(decade), kText);
    }
    // The x axis of each panel: a rule with ticks; labels under the last.
    screen.PutGlyph(ruleRow, plotLeft - 1, unicode ? U'\u2514' : 0, '+', kAxis);
    for (int c = 0; c < plotColumns; ++c)
      screen.PutGlyph(ruleRow, plotLeft + c, unicode ? U'\u2500' : 0, '-', kAxis);
    const int xStep = LabelStep(decadesX, plotColumns, 7);
    for (int decade = static_cast<int>(xRange.low); decade <= xRange.high; ++decade) {
      const double along = (decade - xRange.low) / decadesX;
      const int column = plotLeft + static_cast<int>(std::lround(along * (plotColumns - 1)));
      screen.PutGlyph(ruleRow, column, unicode ? U'\u2534' : 0, '+', kAxis);
      if (p == panelCount - 1 && (decade - static_cast<int>(xRange.low)) % xStep == 0) {
        screen.PutText(xLabelRow, std::max(1, column - 2), DecadeLabel(decade), kText);
      }
    }

    // The legend: each series' marker and name, then the panel's own lines.
    int row = top;
    bool dashed = false;
    for (const PlotSeries& series : panel.series) {
      dashed = dashed || !series.dashedLine.empty();
      if (series.label.empty() || row >= ruleRow) continue;
      screen.PutGlyph(row, legendLeft, unicode ? series.markerGlyph : 0, series.marker,
                      MakeAttribute(series.color, kBlack));
      screen.PutText(row++, legendLeft + 2, series.label, MakeAttribute(series.color, kBlack));
    }
    if (dashed && row < ruleRow) screen.PutText(row++, legendLeft, "dotted: extrapolated", kText);
    for (const std::string& line : panel.legend) {
      if (row >= ruleRow) break;
      screen.PutText(row++, legendLeft, line.substr(0, kLegendWidth - 2), kText);
    }
  }
  screen.PutText(xLabelRow, legendLeft + 1, plot.xTitle, kText);
}

}  // namespace quillmore::console
