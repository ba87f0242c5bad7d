#include "output/curve_file.h"

#include <cstdio>

#include "base/text.h"
#include "input/nuclide_name.h"
#include "output/csv_sink.h"

namespace quillmore::output {

namespace {

constexpr const char* kKindNames[] = {"tabulated", "period", "grid"};

void AppendNumber(double value, std::string& out) {
  char text[32];
  std::snprintf(text, sizeof text, ",%.17g", value);
  out += text;
}

}  // namespace

std::string CurveFileName(std::string_view nuclideName, input::DataKind kind) {
  return base::TrimBlanks(std::string(nuclideName)) + "_" + input::DataSetOf(kind).fileLetter +
         "_curves.csv";
}

void WriteCurveHeader(std::string& out) {
  out +=
      "nuclide,intake,age_group,age_days,form,form_code,form_label,region,region_name,kind,"
      "time_days,low_let_rate_gy_per_bq_per_day,high_let_rate_gy_per_bq_per_day,"
      "low_let_gy_per_bq,high_let_gy_per_bq,extrapolation\n";
}

void WriteCurveRows(const CurveKey& key, std::span<const CurvePoint> points, std::string& out) {
  std::string prefix;
  for (const std::string& field : {key.nuclide, key.intake, key.ageLabel}) {
    AppendCsvField(field, prefix);
    prefix += ',';
  }
  prefix += std::to_string(key.ageDays) + "," + std::to_string(key.form) + ",";
  AppendCsvField(key.formCode, prefix);
  prefix += ',';
  AppendCsvField(key.formLabel, prefix);
  prefix += "," + std::to_string(key.region) + ",";
  AppendCsvField(key.regionName, prefix);
  for (const CurvePoint& point : points) {
    out += prefix;
    out += ',';
    out += kKindNames[static_cast<int>(point.kind)];
    AppendNumber(point.timeDays, out);
    for (double rate : point.rate) AppendNumber(rate, out);
    for (double dose : point.dose) AppendNumber(dose, out);
    out += ',';
    out += integration::ExtrapolationName(point.extrapolation);
    out += '\n';
  }
}

}  // namespace quillmore::output
