// DrawPlot: panels on log-log axes in Braille dots or ASCII marks, in three
// steps: the layout of the screen, each panel's curves and axes, its legend.
#include "console/plot_drawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "plot/plot_scales.h"

namespace quillmore::console {

namespace {

using plot::DecadeRange;
using plot::Plot;
using plot::PlotPanel;
using plot::PlotPoint;
using plot::PlotSeries;

constexpr int kLabelWidth = 6;    // "1E-10" and a blank
constexpr int kLegendWidth = 29;  // the panel's legend, right of the plot
constexpr unsigned char kText = MakeAttribute(kBrightWhite, kBlack);
constexpr unsigned char kAxis = MakeAttribute(kLightGray, kBlack);
constexpr unsigned char kNote = MakeAttribute(kYellow, kBlack);

// A series' style as console colours, and its marker as a byte and a glyph.
constexpr std::array<int, plot::kStyleCount> kStyleColors = {11, 13, 10, 14, 12, 9, 15, 7};
struct MarkerLook {
  unsigned char byte;
  char32_t glyph;
};
constexpr std::array<MarkerLook, 6> kMarkerLooks = {{{'o', U'\u25CF'},
                                                     {'x', U'\u25C6'},
                                                     {'+', U'\u271A'},
                                                     {'#', U'\u25A0'},
                                                     {'^', U'\u25B2'},
                                                     {'v', U'\u25BC'}}};

// Cells of a stretch that cannot be trusted: a mark of their own in either mode.
constexpr MarkerLook kUnboundedLook = {'!', U'!'};

int ColorOf(const PlotSeries& series) {
  return kStyleColors[static_cast<std::size_t>(std::clamp(series.style, 0, plot::kStyleCount - 1))];
}
MarkerLook LookOf(const PlotSeries& series) {
  return kMarkerLooks[static_cast<std::size_t>(series.marker)];
}

// Braille dot bits by (dot column, dot row) within a cell.
constexpr unsigned kBrailleBits[2][4] = {{0x01, 0x02, 0x04, 0x40}, {0x08, 0x10, 0x20, 0x80}};

struct CellInk {
  unsigned bits = 0;
  int color = -1;
  bool solid = false;
  bool marker = false;
  MarkerLook look{0, 0};
};

std::string DecadeLabel(int decade) {
  char text[16];
  std::snprintf(text, sizeof text, "1E%c%02d", decade < 0 ? '-' : '+', std::abs(decade));
  return text;
}

class PanelCanvas {
 public:
  PanelCanvas(int rows, int columns, bool unicode, const DecadeRange& x, const DecadeRange& y)
      : rows_(rows),
        columns_(columns),
        dotsX_(unicode ? 2 : 1),
        dotsY_(unicode ? 4 : 1),
        x_(x),
        y_(y),
        cells_(static_cast<std::size_t>(rows * columns)) {}

  // Dot coordinates from the top left; false for values a log axis cannot show.
  bool Dot(const PlotPoint& point, double& dx, double& dy) const {
    if (!(point.x > 0) || !(point.y > 0) || std::isinf(point.x) || std::isinf(point.y))
      return false;
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

  // Every cell the joined points pass takes the mark of values that cannot be
  // trusted, in `color`; markers drawn later keep theirs.
  void MarkLine(const std::vector<PlotPoint>& points, int color) {
    for (std::size_t i = 1; i < points.size(); ++i) {
      double ax = 0, ay = 0, bx = 0, by = 0;
      if (!Dot(points[i - 1], ax, ay) || !Dot(points[i], bx, by)) continue;
      const int steps = static_cast<int>(std::ceil(std::max(std::abs(bx - ax), std::abs(by - ay))));
      for (int s = 0; s <= steps; ++s) {
        const double t = steps == 0 ? 0 : static_cast<double>(s) / steps;
        const auto dx = static_cast<int>(std::lround(ax + t * (bx - ax)));
        const auto dy = static_cast<int>(std::lround(ay + t * (by - ay)));
        CellInk* ink = dx < 0 || dy < 0 ? nullptr : At(dx / dotsX_, dy / dotsY_);
        if (ink == nullptr) continue;
        ink->marker = true;
        ink->look = kUnboundedLook;
        ink->color = color;
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
    ink->look = LookOf(series);
    ink->color = ColorOf(series);
  }

  void Paint(Screen& screen, int top, int left, bool unicode) const {
    for (int r = 0; r < rows_; ++r) {
      for (int c = 0; c < columns_; ++c) {
        const CellInk& ink = cells_[static_cast<std::size_t>(r * columns_ + c)];
        const unsigned char look = MakeAttribute(std::max(ink.color, 0), kBlack);
        if (ink.marker) {
          screen.PutGlyph(top + r, left + c, unicode ? ink.look.glyph : 0, ink.look.byte, look);
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
  DecadeRange x_, y_;
  std::vector<CellInk> cells_;
};

// Every `step`-th decade gets a label, so that labels need `room` cells each.
int LabelStep(double decades, int cells, int room) {
  const int fit = std::max(1, cells / room);
  return std::max(1, static_cast<int>(std::ceil((decades + 1) / fit)));
}

// Where things go on the screen: the notes at the bottom, the x labels over
// them, the panels in equal bands above, each with a title row, its plot
// area and an x rule, the legend right of the area.
struct PlotLayout {
  DecadeRange x;
  std::vector<std::string> notes;
  int noteTop = 0;
  int xLabelRow = 0;
  int perPanel = 0;  // rows of one band
  int areaRows = 0;
  int plotLeft = kLabelWidth + 2;
  int plotColumns = 0;
  int legendLeft = 0;

  int TitleRow(int panel) const { return 2 + panel * perPanel; }
  // Room enough for the panels' areas.
  bool fits() const { return areaRows >= 2 && plotColumns >= 10; }
};

PlotLayout LayOut(const Plot& plot, const Screen& screen) {
  PlotLayout layout;
  const int width = screen.columns();
  layout.x = plot::XRange(plot);
  layout.notes = plot::PlotNotes(plot);
  layout.noteTop = screen.rows() - static_cast<int>(layout.notes.size());
  layout.xLabelRow = layout.noteTop - 1;
  const int panelCount = std::max(1, static_cast<int>(plot.panels.size()));
  layout.perPanel = (layout.xLabelRow - 2) / panelCount;
  layout.areaRows = layout.perPanel - 2;
  layout.plotColumns = width - layout.plotLeft - kLegendWidth;
  layout.legendLeft = width - kLegendWidth + 2;
  return layout;
}

// The panel's y rule with a tick and a label at each shown decade, and its
// x rule with ticks (labels under the last panel only).
void DrawAxes(Screen& screen, const PlotLayout& layout, int top, const DecadeRange& y,
              bool lastPanel, bool unicode) {
  const int ruleRow = top + layout.areaRows;
  const int plotLeft = layout.plotLeft;
  for (int r = top; r < ruleRow; ++r)
    screen.PutGlyph(r, plotLeft - 1, unicode ? U'\u2502' : 0, '|', kAxis);
  const double decadesY = y.high - y.low;
  const int yStep = LabelStep(decadesY, layout.areaRows, 2);
  // Labelled from the top down, so that the highest decade always is.
  for (int decade = static_cast<int>(y.high); decade >= y.low; decade -= yStep) {
    const double fromTop = (y.high - decade) / decadesY;
    const int row = top + static_cast<int>(std::lround(fromTop * (layout.areaRows - 1)));
    screen.PutGlyph(row, plotLeft - 1, unicode ? U'\u2524' : 0, '+', kAxis);
    screen.PutText(row, 1, DecadeLabel(decade), kText);
  }
  screen.PutGlyph(ruleRow, plotLeft - 1, unicode ? U'\u2514' : 0, '+', kAxis);
  for (int c = 0; c < layout.plotColumns; ++c)
    screen.PutGlyph(ruleRow, plotLeft + c, unicode ? U'\u2500' : 0, '-', kAxis);
  const DecadeRange& x = layout.x;
  const double decadesX = x.high - x.low;
  const int xStep = LabelStep(decadesX, layout.plotColumns, 7);
  for (int decade = static_cast<int>(x.low); decade <= x.high; ++decade) {
    const double along = (decade - x.low) / decadesX;
    const int column = plotLeft + static_cast<int>(std::lround(along * (layout.plotColumns - 1)));
    screen.PutGlyph(ruleRow, column, unicode ? U'\u2534' : 0, '+', kAxis);
    if (lastPanel && (decade - static_cast<int>(x.low)) % xStep == 0)
      screen.PutText(layout.xLabelRow, std::max(1, column - 2), DecadeLabel(decade), kText);
  }
}

// Each series' marker and name, then the panel's own lines, down from `top`
// and above the x rule.
void DrawLegend(Screen& screen, const PlotLayout& layout, const PlotPanel& panel, int top,
                bool unicode) {
  const int ruleRow = top + layout.areaRows;
  int row = top;
  bool dashed = false;
  bool unbounded = false;
  for (const PlotSeries& series : panel.series) {
    dashed = dashed || !series.dashedLine.empty();
    unbounded = unbounded || !series.unboundedLines.empty();
    if (series.label.empty() || row >= ruleRow) continue;
    const unsigned char look = MakeAttribute(ColorOf(series), kBlack);
    screen.PutGlyph(row, layout.legendLeft, unicode ? LookOf(series).glyph : 0, LookOf(series).byte,
                    look);
    screen.PutText(row++, layout.legendLeft + 2, series.label, look);
  }
  if (dashed && row < ruleRow)
    screen.PutText(row++, layout.legendLeft, "dotted: extrapolated", kText);
  if (unbounded && row < ruleRow)
    screen.PutText(row++, layout.legendLeft, "!: past the data's range", kNote);
  for (const std::string& line : panel.legend) {
    if (row >= ruleRow) break;
    screen.PutText(row++, layout.legendLeft, line.substr(0, kLegendWidth - 2), kText);
  }
}

}  // namespace

void DrawPlot(const Plot& plot, Screen& screen, bool unicode) {
  screen.PutText(1, 2, plot.title, kText);
  const PlotLayout layout = LayOut(plot, screen);
  for (std::size_t i = 0; i < layout.notes.size(); ++i)
    screen.PutText(layout.noteTop + static_cast<int>(i), 2, layout.notes[i], kNote);
  const int panelCount = static_cast<int>(plot.panels.size());
  if (panelCount == 0 || !layout.fits()) return;

  for (int p = 0; p < panelCount; ++p) {
    const PlotPanel& panel = plot.panels[static_cast<std::size_t>(p)];
    const int top = layout.TitleRow(p) + 1;
    screen.PutText(layout.TitleRow(p), 2, panel.title, kText);
    const DecadeRange y = plot::YRange(panel);
    PanelCanvas canvas(layout.areaRows, layout.plotColumns, unicode, layout.x, y);
    for (const PlotSeries& series : panel.series) canvas.Line(series.line, ColorOf(series), true);
    for (const PlotSeries& series : panel.series)
      canvas.Line(series.dashedLine, ColorOf(series), false);
    for (const PlotSeries& series : panel.series)
      for (const std::vector<PlotPoint>& stretch : series.unboundedLines)
        canvas.MarkLine(stretch, ColorOf(series));
    for (const PlotSeries& series : panel.series)
      for (const PlotPoint& point : series.markers) canvas.Marker(point, series);
    canvas.Paint(screen, top, layout.plotLeft, unicode);
    DrawAxes(screen, layout, top, y, p == panelCount - 1, unicode);
    DrawLegend(screen, layout, panel, top, unicode);
  }
  screen.PutText(layout.xLabelRow, layout.legendLeft + 1, plot.xTitle, kText);
}

}  // namespace quillmore::console
