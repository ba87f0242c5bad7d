// The figure facts an SVG file carries: cairo has no call for SVG metadata,
// so one <metadata> element goes in right after the root's start tag.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "plot/figure.h"

namespace quillmore::plot {

// <metadata> holding <figure xmlns="urn:quillmore:figure" title software
// data-set>, per panel <panel title x y width height x-min x-max y-min
// y-max values-left-out> (the rectangle in user units, the axis ranges in
// decades; x-min-year and x-max-year instead of x-min and x-max for an axis
// of years) with a <series label color marker> per series, and per set of
// axis marks <mark label kind="line|tick" at="x x ...">. Text is taken as UTF-8.
std::string SvgMetadata(const Plot& plot, const FigureFacts& facts,
                        const std::vector<PanelFrame>& frames);

// Inserts `element` right after the start tag of `svg`'s root element; a
// document without one is Corruption and left as it is.
base::Status InsertSvgMetadata(std::string& svg, std::string_view element);

// Numbers cairo's surfaces ("surface733") in the order they appear in `svg`
// (surface1, surface2, ...), references too: cairo counts surfaces across the
// process, which would make a figure's bytes depend on what was drawn before.
void RenumberSvgSurfaces(std::string& svg);

}  // namespace quillmore::plot
