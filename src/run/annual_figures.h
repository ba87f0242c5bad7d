// The figure of each person of an intake history: the annual doses by
// calendar year on a log dose axis, low and high LET in two panels, one line
// per selected region, with the intakes and the end of follow-up marked.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "base/status.h"
#include "input/intake_calendar.h"
#include "integration/annual_doses.h"
#include "output/annual_dose_files.h"
#include "output/written_files.h"
#include "plot/plot.h"
#include "run/figure_export.h"
#include "run/selection_names.h"

namespace quillmore::run {

// The file name stems of the persons' figures, in person order:
// "<person>_annual", the person's text with every character outside
// A-Z a-z 0-9 . _ - (a UTF-8 sequence counting as one) replaced by "_", and
// "_2", "_3", ... appended to the person's part when the name is taken
// already.
std::vector<std::string> PersonFigureStems(const std::vector<std::string>& persons);

// A figure draws one line per region: more than kMaxCurvesPerFigure selected
// regions is InvalidArgument, asking for fewer in words.regions.
base::Status CheckAnnualFigureRegions(std::size_t regionCount, const ListWords& words);

// Where 00:00 of `day` lies on an axis of calendar years: its year plus the
// part of that year gone by.
double YearPosition(input::Days day);

// The plot of `person` (text in UTF-8): per panel (low, then high LET) one
// series per selected region of `columns`, each year's value at the middle
// of its year, the lines into and out of a year whose value has a part from
// past the data dotted, values <= 0 left out (and counted), a value without
// a drawn neighbour as a marker; the follow-up end as a line and the start
// of each intake as a tick.
plot::Plot BuildAnnualPlot(const integration::PersonDoses& person,
                           const output::AnnualDoseColumns& columns);

// Each person's figure in options.formats, "<stem>.<ext>" in `folder` with
// the stems of PersonFigureStems, each file recorded in `written`.
base::Status WriteAnnualFigures(const std::vector<integration::PersonDoses>& persons,
                                const output::AnnualDoseColumns& columns,
                                const FigureOptions& options, const std::filesystem::path& folder,
                                output::WrittenFiles* written);

}  // namespace quillmore::run
