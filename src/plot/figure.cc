#include "plot/figure.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <cmath>
#include <memory>

#include "plot/figure_drawing.h"
#include "plot/png_file.h"
#include "plot/svg_metadata.h"

#if defined(__SANITIZE_ADDRESS__)
#define QUILLMORE_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLMORE_LEAK_CHECKED 1
#endif
#endif
#ifdef QUILLMORE_LEAK_CHECKED
// Fontconfig, which cairo asks for the font, keeps a few patterns it never
// frees; the leak checker of sanitized builds is not to count them as ours.
// Here, since a program that draws figures links this file.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
#endif

namespace quillmore::plot {

namespace {

constexpr double kPointsPerInch = 72;
// No time stamp: the same inputs give the same bytes.
constexpr const char* kPdfCreationDate = "2000-01-01T00:00:00Z";

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

// Draws on `surface`, `scale` device units a point; the frames come back.
base::Status Draw(cairo_surface_t* surface, double scale, const Plot& plot, double width,
                  double height, std::vector<PanelFrame>* frames) {
  cairo_t* cairo = cairo_create(surface);
  cairo_scale(cairo, scale, scale);
  *frames = DrawFigure(cairo, plot, width, height);
  cairo_show_page(cairo);
  const cairo_status_t status = cairo_status(cairo);
  cairo_destroy(cairo);
  if (status != CAIRO_STATUS_SUCCESS)
    return base::Status::IoError(std::string("cairo: ") + cairo_status_to_string(status));
  return base::Status::Ok();
}

base::Status Finished(cairo_surface_t* surface) {
  cairo_surface_finish(surface);
  const cairo_status_t status = cairo_surface_status(surface);
  if (status != CAIRO_STATUS_SUCCESS)
    return base::Status::IoError(std::string("cairo: ") + cairo_status_to_string(status));
  return base::Status::Ok();
}

base::Result<std::string> RenderPng(const Plot& plot, const FigureSize& size,
                                    const FigureFacts& facts) {
  const int width = static_cast<int>(std::lround(size.widthInches * size.dpi));
  const int height = static_cast<int>(std::lround(size.heightInches * size.dpi));
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height),
                  cairo_surface_destroy);
  std::vector<PanelFrame> frames;
  base::Status status =
      Draw(surface.get(), size.dpi / kPointsPerInch, plot, size.widthInches * kPointsPerInch,
           size.heightInches * kPointsPerInch, &frames);
  if (!status.ok()) return status;
  cairo_surface_flush(surface.get());
  const ArgbImage image{cairo_image_surface_get_data(surface.get()), width, height,
                        cairo_image_surface_get_stride(surface.get())};
  return EncodePng(
      image, size.dpi,
      {{"Title", facts.title}, {"Software", facts.software}, {"Source", facts.dataSet}});
}

}  // namespace

std::string_view FigureExtension(FigureFormat format) {
  switch (format) {
    case FigureFormat::kSvg:
      return "svg";
    case FigureFormat::kPdf:
      return "pdf";
    case FigureFormat::kPng:
      return "png";
  }
  return "";
}

base::Result<std::string> RenderFigure(const Plot& plot, FigureFormat format,
                                       const FigureSize& size, const FigureFacts& facts) {
  if (format == FigureFormat::kPng) return RenderPng(plot, size, facts);
  std::string bytes;
  const double width = size.widthInches * kPointsPerInch;
  const double height = size.heightInches * kPointsPerInch;
  const bool svg = format == FigureFormat::kSvg;
  Surface surface(svg ? cairo_svg_surface_create_for_stream(AppendBytes, &bytes, width, height)
                      : cairo_pdf_surface_create_for_stream(AppendBytes, &bytes, width, height),
                  cairo_surface_destroy);
  if (svg) {
    cairo_svg_surface_restrict_to_version(surface.get(), CAIRO_SVG_VERSION_1_1);
  } else {
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, facts.title.c_str());
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR,
                                   facts.software.c_str());
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_SUBJECT,
                                   facts.dataSet.c_str());
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATE_DATE, kPdfCreationDate);
  }
  std::vector<PanelFrame> frames;
  base::Status status = Draw(surface.get(), 1, plot, width, height, &frames);
  if (status.ok()) status = Finished(surface.get());
  if (status.ok() && svg) {
    RenumberSvgSurfaces(bytes);
    status = InsertSvgMetadata(bytes, SvgMetadata(plot, facts, frames));
  }
  if (!status.ok()) return status;
  return bytes;
}

}  // namespace quillmore::plot
