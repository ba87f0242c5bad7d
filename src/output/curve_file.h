// Curve files: the rate and dose-from-intake curves behind a nuclide's tables
// as comma-separated text for plotting tools, one row per time point.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "base/status.h"
#include "input/data_kind.h"
#include "integration/extrapolation_check.h"

namespace quillmore::output {

enum class CurvePointKind { kTabulated, kPeriod, kGrid };

// One time of one curve pair: rates in Gy/Bq per day and doses from intake
// in Gy/Bq, low LET then high LET, and the worse far-extrapolation status of
// the two doses.
struct CurvePoint {
  double timeDays = 0;
  CurvePointKind kind = CurvePointKind::kGrid;
  std::array<double, 2> rate{};
  std::array<double, 2> dose{};
  integration::Extrapolation extrapolation = integration::Extrapolation::kNone;
};

// What the rows of one curve pair belong to, named as the coefficient CSV
// names them (text in UTF-8).
struct CurveKey {
  std::string nuclide;   // "Pu-239"
  std::string intake;    // "inhalation" or "ingestion"
  std::string ageLabel;  // "10 y-old"
  int ageDays = 0;
  int form = 0;           // row group of the table, from 1
  std::string formCode;   // class code, or the f1 value
  std::string formLabel;  // chemical-form label, or empty
  int region = 0;         // region number, 1 to 30
  std::string regionName;
};

// "<nuclide>_<H|G>_curves.csv" for the 7-character `nuclideName`.
std::string CurveFileName(std::string_view nuclideName, input::DataKind kind);

// Appends the column names line.
void WriteCurveHeader(std::string& out);

// Appends one line per point, in the order given, numbers with 17
// significant digits so that they read back to the same doubles.
void WriteCurveRows(const CurveKey& key, std::span<const CurvePoint> points, std::string& out);

}  // namespace quillmore::output
