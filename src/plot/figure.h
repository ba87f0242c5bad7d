// A Plot as a figure file: one drawing (cairo) on an SVG, PDF or PNG
// surface, with the facts a reader of the file needs in its metadata.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "base/result.h"
#include "plot/plot.h"
#include "plot/plot_scales.h"

namespace quillmore::plot {

enum class FigureFormat { kSvg, kPdf, kPng };

// "svg", "pdf", "png": the file name extension.
std::string_view FigureExtension(FigureFormat format);

struct FigureSize {
  double widthInches = 6.4;
  double heightInches = 7.2;
  int dpi = 150;  // PNG only
};

// What the file records besides the drawing: the title, the program and
// version that drew it, and the data set it was drawn from.
struct FigureFacts {
  std::string title;
  std::string software;  // "quillmore-batch 1.2.0"
  std::string dataSet;
};

// Where a panel's data area was drawn and what its axes span: enough to map
// a point of the drawing back to its values.
struct PanelFrame {
  double x = 0, y = 0, width = 0, height = 0;  // points, from the top left
  DecadeRange xRange, yRange;
  bool xYears = false;  // xRange holds calendar years, linear, not decades
};

// A style's colour (0 to 1 each) from the Okabe-Ito palette, which readers
// with any common colour-vision deficiency tell apart.
std::array<double, 3> StyleColor(int style);

// The bytes of `plot` drawn as a `format` file of `size`. Same inputs, same
// fonts: same bytes (no time stamps; the PDF has a fixed creation date).
base::Result<std::string> RenderFigure(const Plot& plot, FigureFormat format,
                                       const FigureSize& size, const FigureFacts& facts);

}  // namespace quillmore::plot
