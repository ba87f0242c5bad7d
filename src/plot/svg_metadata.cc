#include "plot/svg_metadata.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>

#include "plot/plot_scales.h"

namespace quillmore::plot {

namespace {

constexpr const char* kMarkerNames[] = {"circle", "diamond",     "plus",
                                        "square", "triangle-up", "triangle-down"};

std::string Escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Attribute(std::string_view name, std::string_view value) {
  return " " + std::string(name) + "=\"" + Escaped(value) + "\"";
}

std::string Attribute(std::string_view name, double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", value);
  return Attribute(name, std::string(text));
}

std::string Positions(const std::vector<double>& values) {
  std::string text;
  for (const double value : values) {
    char number[32];
    std::snprintf(number, sizeof number, "%.4f", value);
    text += (text.empty() ? "" : " ") + std::string(number);
  }
  return text;
}

std::string HexColor(int style) {
  const std::array<double, 3> rgb = StyleColor(style);
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", static_cast<int>(rgb[0] * 255 + 0.5),
                static_cast<int>(rgb[1] * 255 + 0.5), static_cast<int>(rgb[2] * 255 + 0.5));
  return text;
}

}  // namespace

std::string SvgMetadata(const Plot& plot, const FigureFacts& facts,
                        const std::vector<PanelFrame>& frames) {
  std::string xml =
      "<metadata>\n<figure xmlns=\"urn:quillmore:figure\"" + Attribute("title", facts.title) +
      Attribute("software", facts.software) + Attribute("data-set", facts.dataSet) +
      (plot.pastDataLabel.empty() ? std::string() : Attribute("past-data", plot.pastDataLabel)) +
      ">\n";
  for (std::size_t p = 0; p < frames.size() && p < plot.panels.size(); ++p) {
    const PanelFrame& f = frames[p];
    xml += "<panel" + Attribute("title", plot.panels[p].title) + Attribute("x", f.x) +
           Attribute("y", f.y) + Attribute("width", f.width) + Attribute("height", f.height) +
           (f.xYears ? Attribute("x-min-year", std::to_string(std::lround(f.xRange.low))) +
                           Attribute("x-max-year", std::to_string(std::lround(f.xRange.high)))
                     : Attribute("x-min", f.xRange.low) + Attribute("x-max", f.xRange.high)) +
           Attribute("y-min", f.yRange.low) + Attribute("y-max", f.yRange.high) +
           Attribute("values-left-out", std::to_string(LeftOutCount(plot.panels[p]))) + ">\n";
    for (const PlotSeries& series : plot.panels[p].series) {
      xml += "<series" + Attribute("label", series.label) +
             Attribute("color", HexColor(series.style)) +
             Attribute("marker", kMarkerNames[static_cast<int>(series.marker)]) + "/>\n";
    }
    xml += "</panel>\n";
  }
  for (const AxisMarks& marks : plot.marks) {
    xml += "<mark" + Attribute("label", marks.label) +
           Attribute("kind", marks.line ? "line" : "tick") + Attribute("at", Positions(marks.at)) +
           "/>\n";
  }
  return xml + "</figure>\n</metadata>";
}

base::Status InsertSvgMetadata(std::string& svg, std::string_view element) {
  std::size_t root = svg.find("<svg");
  while (root != std::string::npos && root + 4 < svg.size() && svg[root + 4] != ' ' &&
         svg[root + 4] != '\n' && svg[root + 4] != '>')
    root = svg.find("<svg", root + 1);
  const std::size_t end = root == std::string::npos ? root : svg.find('>', root);
  if (end == std::string::npos) return base::Status::Corruption("no <svg> start tag");
  svg.insert(end + 1, "\n" + std::string(element));
  return base::Status::Ok();
}

void RenumberSvgSurfaces(std::string& svg) {
  static constexpr std::string_view kStem = "surface";
  std::map<std::string, std::string> numbers;
  std::string out;
  std::size_t from = 0;
  for (std::size_t at = svg.find(kStem); at != std::string::npos; at = svg.find(kStem, from)) {
    std::size_t end = at + kStem.size();
    while (end < svg.size() && std::isdigit(static_cast<unsigned char>(svg[end]))) ++end;
    const bool named = at > 0 && (svg[at - 1] == '"' || svg[at - 1] == '#');
    out.append(svg, from, at - from);
    if (named && end > at + kStem.size()) {
      auto [it, added] = numbers.try_emplace(svg.substr(at, end - at), "");
      if (added) it->second = std::string(kStem) + std::to_string(numbers.size());
      out += it->second;
    } else {
      out.append(svg, at, end - at);
    }
    from = end;
  }
  svg = out + svg.substr(from);
}

}  // namespace quillmore::plot
