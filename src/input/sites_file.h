// The sites file of a risk calculator's rows: CSV naming, for each site, the
// regions whose doses make its dose and their weights, and the persons (by
// sex) it is for.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "input/column_header.h"
#include "input/fault_list.h"
#include "input/intake_file.h"

namespace quillmore::input {

inline constexpr ColumnRule kSiteColumns[] = {{"site"}, {"region"}, {"weight"}, {"sex", false}};

// How far the weights of one site may add up from 1.
inline constexpr double kSiteWeightTolerance = 1e-9;

struct SiteRegion {
  int line = 0;        // the row naming it
  std::string region;  // as written: a number or a name, resolved against the data
  double weight = 0;   // above 0, at most 1
};

struct Site {
  std::string name;
  std::optional<Sex> sex;           // the persons it is for; none for all
  std::vector<SiteRegion> regions;  // in file order; their weights add up to 1
};

struct SitesFile {
  std::vector<Site> sites;  // in order of first appearance
  // Every bad row by line (0 for the file as a whole), as the intake
  // reader lists them; with any, `sites` may not be used.
  FaultList faults;
  std::vector<Fault> notes;  // the columns ignored
};

// Reads the bytes of a sites file (comma-separated, a header naming the
// columns as the intake file's header names its own): the rows of a site
// need not be adjacent, but give it one sex or none, and its weights must
// add up to 1 within kSiteWeightTolerance (else a fault on its last row).
// Regions are judged against the data later.
SitesFile ReadSitesFile(std::string_view bytes);

// The same of columns of text held in memory (a data frame's): the header
// on line 1, row R (from 0) on line R + 2, named in messages as `places`
// names them.
SitesFile ReadSitesColumns(std::span<const IntakeColumn> columns, const TablePlaces& places = {});

}  // namespace quillmore::input
