#include "output/curve_file.h"

#include <cstdio>

#include "base/text.h"
#include "input/nuclide_name.h"

namespace quillmore::output {

namespace {

constexpr const char* kKindNames[] = {"tabulated", "period", "grid"};

void AppendNumber(double value, std::string& out) {
  char text[32];
  std::snprintf(text, sizeof text, ",%.17g", value);
  out += text;
}

// A field with a comma or a quote is quoted, quotes doubled.
void AppendField(std::string_view field, std::string& out) {
  if (field.find_first_of(",\"") == std::string_view::npos) {
    out += field;
    return;
  }
  out += '"';
  for (char c : field) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  out += '"';
}

}  // namespace

std::string CurveFileName(std::string_view nuclideName, input::DataKind kind) {
  return base::TrimBlanks(std::string(nuclideName)) + "_" + input::DataSetOf(kind).fileLetter +
         "_curves.csv";
}

void WriteCurveHeader(std::string& out) {
  out +=
      "age_group,age_days,form,form_code,region,kind,time_d,rate_low_gy_per_bq_d,"
      "rate_high_gy_per_bq_d,dose_low_gy_per_bq,dose_high_gy_per_bq\n";
}

void WriteCurveRows(const CurveKey& key, std::span<const CurvePoint> points, std::string& out) {
  std::string prefix;
  AppendField(key.ageLabel, prefix);
  prefix += "," + std::to_string(key.ageDays) + "," + std::to_string(key.form) + ",";
  AppendField(key.formCode, prefix);
  prefix += ",";
  AppendField(key.region, prefix);
  for (const CurvePoint& point : points) {
    out += prefix;
    out += ',';
    out += kKindNames[static_cast<int>(point.kind)];
    AppendNumber(point.timeDays, out);
    for (double rate : point.rate) AppendNumber(rate, out);
    for (double dose : point.dose) AppendNumber(dose, out);
    out += '\n';
  }
}

}  // namespace quillmore::output
