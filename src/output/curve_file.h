// Curve files: the rate and dose-from-intake curves behind a nuclide's tables
// as comma-separated text for plotting tools, one row per time point.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "base/status.h"
#include "input/data_kind.h"

namespace quillmore::output {

enum class CurvePointKind { kTabulated, kPeriod, kGrid };

// One time of one curve pair: rates in Gy/Bq per day and doses from intake
// in Gy/Bq, low LET then high LET.
struct CurvePoint {
  double timeDays = 0;
  CurvePointKind kind = CurvePointKind::kGrid;
  std::array<double, 2> rate{};
  std::array<double, 2> dose{};
};

// What the rows of one curve pair belong to.
struct CurveKey {
  std::string ageLabel;  // "10 y-old"
  int ageDays = 0;
  int form = 0;          // row group of the table, from 1
  std::string formCode;  // class code and form label, or the f1 value
  std::string region;    // region name
};

// "<nuclide>_<H|G>_curves.csv" for the 7-character `nuclideName`.
std::string CurveFileName(std::string_view nuclideName, input::DataKind kind);

// Appends the column names line.
void WriteCurveHeader(std::string& out);

// Appends one line per point, in the order given, numbers with 17
// significant digits so that they read back to the same doubles.
void WriteCurveRows(const CurveKey& key, std::span<const CurvePoint> points, std::string& out);

}  // namespace quillmore::output
