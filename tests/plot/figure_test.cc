#include "plot/figure.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "plot/svg_metadata.h"

namespace quillmore::plot {
namespace {

Plot TwoPanels() {
  PlotSeries rate{"low LET & more", 0, Marker::kCircle, {{1, 2e-9}, {10, 3e-10}}, {}, {}, {}};
  rate.line = {{1, 2e-9}, {5, 8e-10}, {10, 3e-10}};
  rate.dashedLine = {{10, 3e-10}, {100, 1e-11}};
  PlotSeries dose{"", 0, Marker::kPlus, {{1, 1e-9}, {100, 0}}, {}, {}, {}};
  return {"Cs-137 \"title\"", "time (d)", {{"rate", {rate}, {}}, {"dose", {dose}, {}}}, {}};
}

TEST(SvgMetadataTest, GoesRightAfterTheRootStartTagWithEachPanelAndItsSeries) {
  std::string svg = "<?xml version=\"1.0\"?>\n<!-- <svgish> -->\n<svg a=\"1\">\n<g/></svg>";
  ASSERT_TRUE(InsertSvgMetadata(svg, "<metadata/>").ok());
  EXPECT_EQ(svg,
            "<?xml version=\"1.0\"?>\n<!-- <svgish> -->\n<svg a=\"1\">\n<metadata/>\n<g/></svg>");
  std::string none = "<html></html>";
  EXPECT_FALSE(InsertSvgMetadata(none, "<metadata/>").ok());
  EXPECT_EQ(none, "<html></html>");

  PanelFrame frame{10, 20, 300, 150, {}, {}};
  frame.xRange = {0, 2, false};
  frame.yRange = {-12, -8, false};
  const std::string xml =
      SvgMetadata(TwoPanels(), {"Cs-137 \"title\"", "quillmore 1", "a & b"}, {frame, frame});
  EXPECT_NE(xml.find("title=\"Cs-137 &quot;title&quot;\" software=\"quillmore 1\" "
                     "data-set=\"a &amp; b\""),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<panel title=\"rate\" x=\"10.0000\" y=\"20.0000\" width=\"300.0000\" "
                     "height=\"150.0000\" x-min=\"0.0000\" x-max=\"2.0000\" y-min=\"-12.0000\" "
                     "y-max=\"-8.0000\" values-left-out=\"0\">\n<series label=\"low LET &amp; "
                     "more\" color=\"#0072B2\" marker=\"circle\"/>"),
            std::string::npos)
      << xml;
  // The dose panel's marker at 0 is the one value left out.
  EXPECT_NE(xml.find("y-max=\"-8.0000\" values-left-out=\"1\">\n<series label=\"\""),
            std::string::npos)
      << xml;
}

TEST(SvgMetadataTest, SurfacesAreNumberedInTheOrderTheyAppear) {
  std::string svg =
      "<g id=\"surface733\"><use xlink:href=\"#surface9\"/><g id=\"surface9\"/>surface733</g>";
  RenumberSvgSurfaces(svg);
  EXPECT_EQ(svg,
            "<g id=\"surface1\"><use xlink:href=\"#surface2\"/><g id=\"surface2\"/>surface733</g>")
      << "ids and references only";
}

// Same plot, same bytes, whatever was drawn before; each format's signature
// and size. The files are read back in tests/app/figures.
TEST(RenderFigureTest, SameInputsGiveTheSameBytes) {
  const FigureFacts facts{"Cs-137", "quillmore-test", "synthetic"};
  const FigureSize size{2, 3, 60};
  // The bytes, or the failure's message in their place.
  const auto render = [](const Plot& plot, FigureFormat format, const FigureSize& drawn,
                         const FigureFacts& told) {
    base::Result<std::string> bytes = RenderFigure(plot, format, drawn, told);
    return bytes.ok() ? std::move(bytes).value() : "failed: " + bytes.status().message();
  };
  for (const FigureFormat format : {FigureFormat::kSvg, FigureFormat::kPdf, FigureFormat::kPng}) {
    const std::string first = render(TwoPanels(), format, size, facts);
    Plot different = TwoPanels();
    different.panels.pop_back();
    different.panels[0].series[0].markers.push_back({std::numeric_limits<double>::infinity(), 1});
    const std::string other = render(different, format, size, facts);
    const std::string second = render(TwoPanels(), format, size, facts);
    EXPECT_EQ(first, second) << FigureExtension(format);
    EXPECT_NE(first, other) << FigureExtension(format);
  }
  const std::string svg = render(TwoPanels(), FigureFormat::kSvg, size, facts);
  const std::string pdf = render(TwoPanels(), FigureFormat::kPdf, size, facts);
  const std::string png = render(TwoPanels(), FigureFormat::kPng, size, facts);
  EXPECT_NE(svg.find("width=\"144pt\" height=\"216pt\""), std::string::npos);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(png.substr(16, 8), std::string("\0\0\0\x78\0\0\0\xB4", 8)) << "120 x 180 pixels";
  EXPECT_NE(png.find("tEXtSoftware"), std::string::npos);
  const std::string accented =
      render(TwoPanels(), FigureFormat::kPng, size, {"R\u00f6ntgen", "q", "d"});
  EXPECT_NE(accented.find("iTXtTitle"), std::string::npos) << "UTF-8 beyond ASCII in iTXt";
}

}  // namespace
}  // namespace quillmore::plot
