#include "run/curve_export.h"

#include <algorithm>
#include <vector>

#include "base/cp1252.h"
#include "base/text.h"
#include "input/age_groups.h"
#include "input/nuclide_name.h"
#include "output/curve_file.h"
#include "output/file_writer.h"
#include "output/form_name.h"
#include "output/output_files.h"
#include "run/nuclide_curves.h"

namespace quillmore::run {

namespace {

using output::CurvePoint;
using output::CurvePointKind;

std::vector<CurvePoint> CurvePoints(const BlockCurves& block, int position,
                                    std::span<const double> integrationTimes) {
  const auto& pair = block.curves[static_cast<std::size_t>(position)];
  const std::span<const double> times = pair[0].times();
  std::vector<CurvePoint> points;
  for (double t : times) points.push_back({t, CurvePointKind::kTabulated, {}, {}});
  for (double t : integrationTimes) points.push_back({t, CurvePointKind::kPeriod, {}, {}});
  const auto firstPositive =
      std::find_if(times.begin(), times.end(), [](double t) { return t > 0; });
  if (firstPositive != times.end() && !integrationTimes.empty()) {
    const double last = *std::max_element(integrationTimes.begin(), integrationTimes.end());
    for (double t : integration::LogSpacedTimes(*firstPositive, last, kCurveGridPerDecade))
      points.push_back({t, CurvePointKind::kGrid, {}, {}});
  }
  std::stable_sort(points.begin(), points.end(), [](const CurvePoint& a, const CurvePoint& b) {
    return a.timeDays < b.timeDays;
  });
  std::vector<double> limits;
  for (const CurvePoint& point : points) limits.push_back(point.timeDays);
  for (std::size_t c = 0; c < pair.size(); ++c) {
    const std::vector<double> doses = pair[c].Doses(limits);
    const std::vector<integration::Extrapolation> statuses = pair[c].Extrapolations(limits);
    for (std::size_t i = 0; i < points.size(); ++i) {
      points[i].rate[c] = pair[c].Rate(points[i].timeDays);
      points[i].dose[c] = doses[i];
      points[i].extrapolation = integration::Worse(points[i].extrapolation, statuses[i]);
    }
  }
  return points;
}

}  // namespace

base::Status WriteNuclideCurves(input::DoseRateFile& file, const input::IndexEntry& entry,
                                const RunSelection& run, const std::filesystem::path& outputFolder,
                                output::WrittenFiles* written, output::Compression compression) {
  const NuclideCurves curves = ReadNuclideCurves(file, entry, run);
  if (!curves.status.ok()) return curves.status;
  std::string text;
  output::WriteCurveHeader(text);
  for (const BlockCurves& block : curves.blocks) {
    const int age = run.selectedAges[static_cast<std::size_t>(block.table)];
    output::CurveKey key;
    key.nuclide = base::Cp1252ToUtf8(base::TrimBlanks(entry.name));
    key.intake = std::string(input::DataSetOf(run.dataKind).name);
    key.ageLabel = base::TrimBlanks(std::string(input::AgeGroupLabel(age)));
    key.ageDays = input::AgeGroupDays(age);
    key.form = block.rowGroup;
    key.formCode = base::Cp1252ToUtf8(output::FormCode(block.header, run.dataKind));
    if (run.dataKind == input::DataKind::kInhalation)
      key.formLabel = output::ChemicalFormLabel(block.header.name, block.formNumber);
    for (std::size_t j = 0; j < block.curves.size(); ++j) {
      key.region = run.selectedRegions[j];
      const std::size_t index = input::RegionIndex(key.region);
      key.regionName =
          index < run.regionNames.size() ? base::Cp1252ToUtf8(run.regionNames[index]) : "";
      const std::vector<CurvePoint> points =
          CurvePoints(block, static_cast<int>(j), run.integrationTimes);
      output::WriteCurveRows(key, points, text);
    }
  }
  const std::filesystem::path path = outputFolder / output::CurveFileName(entry.name, run.dataKind);
  return output::WriteRecordedFile(path, text, written, compression);
}

}  // namespace quillmore::run
