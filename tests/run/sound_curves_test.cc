// The rate curves of the whole sample data set keep the shape of their data:
// rates never below 0 between the first and last time points where the data
// are all >= 0, and doses that never fall as the period grows from the first
// time point on. Every nuclide, age group, form, region and LET component.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "input/region_names.h"
#include "integration/curve_integrator.h"
#include "run/block_walk.h"
#include "run/data_files.h"
#include "run/nuclide_curves.h"
#include "run/nuclide_suggestions.h"
#include "sample_data/sample_data.h"
#include "support/temp_dir.h"

namespace quillmore::run {
namespace {

// The lowest value of the cubic Hermite piece with values f0, f1 and slopes
// d0, d1 over an interval of width h, written out apart from the program's
// evaluation: p(s) = f0 + h d0 s + (3 df - h (2 d0 + d1)) s^2 + (h (d0 + d1) -
// 2 df) s^3 with df = f1 - f0, its minimum at the ends or where p'(s) = 0.
long double PieceMinimum(long double f0, long double f1, long double d0, long double d1,
                         long double h) {
  const long double df = f1 - f0;
  const long double c1 = h * d0;
  const long double c2 = 3 * df - h * (2 * d0 + d1);
  const long double c3 = h * (d0 + d1) - 2 * df;
  const auto value = [&](long double s) { return f0 + s * (c1 + s * (c2 + s * c3)); };
  long double lowest = std::min(f0, f1);
  // p'(s) = c1 + 2 c2 s + 3 c3 s^2.
  std::vector<long double> roots;
  if (c3 == 0) {
    if (c2 != 0) roots.push_back(-c1 / (2 * c2));
  } else {
    const long double disc = 4 * c2 * c2 - 12 * c3 * c1;
    if (disc >= 0) {
      const long double q = -0.5L * (2 * c2 + std::copysign(std::sqrt(disc), c2));
      roots.push_back(q / (3 * c3));
      if (q != 0) roots.push_back(c1 / q);
    }
  }
  for (const long double s : roots)
    if (s > 0 && s < 1) lowest = std::min(lowest, value(s));
  return lowest;
}

struct Found {
  int curves = 0;  // curves of two or more points looked at
  int dips = 0;    // of non-negative data, below 0 between their points
  int falls = 0;   // doses that fall as the period grows
  std::string first;
};

void CheckBlock(const WalkedBlock& walked, Found& found) {
  const auto curves = BuildBlockCurves(walked);
  ASSERT_TRUE(curves.ok());
  const std::span<const double> times = walked.timeGrid.points();
  if (times.size() < 2) return;
  // Every tabulated time and 64 inside each interval.
  std::vector<double> periods;
  for (std::size_t i = 0; i + 1 < times.size(); ++i) {
    periods.push_back(times[i]);
    for (int m = 1; m <= 64; ++m)
      periods.push_back(times[i] + (times[i + 1] - times[i]) * m / 65.0);
  }
  periods.push_back(times.back());
  const integration::CurveIntegrator integrator(times, 0.0, periods);
  std::vector<double> doses(periods.size());
  const auto where = [&](std::size_t j, int c) {
    return walked.header.name + " age " + std::to_string(walked.header.ageDays) + " form " +
           std::to_string(walked.form.rowGroup) + " position " + std::to_string(j) + " component " +
           std::to_string(c);
  };
  for (std::size_t j = 0; j < curves.value().size(); ++j) {
    for (int c = 0; c < integration::kComponentCount; ++c) {
      const integration::RateCurve& curve = curves.value()[j][static_cast<std::size_t>(c)];
      const std::span<const double> f = curve.rates();
      const std::span<const double> d = curve.slopes();
      ++found.curves;
      const double largest = std::abs(*std::max_element(
          f.begin(), f.end(), [](double a, double b) { return std::abs(a) < std::abs(b); }));
      if (std::all_of(f.begin(), f.end(), [](double r) { return r >= 0; })) {
        long double lowest = 0;
        for (std::size_t i = 0; i + 1 < f.size(); ++i) {
          lowest =
              std::min(lowest, PieceMinimum(f[i], f[i + 1], d[i], d[i + 1],
                                            static_cast<long double>(times[i + 1]) - times[i]));
        }
        if (lowest < -1e-12L * largest) {
          if (found.dips++ == 0) found.first = where(j, c) + " dips to " + std::to_string(lowest);
        }
      }
      integrator.Integrate(f, d, doses);
      for (std::size_t k = 1; k < doses.size(); ++k) {
        if (doses[k] < doses[k - 1] - 1e-13 * std::abs(doses[k - 1])) {
          if (found.falls++ == 0 && found.first.empty())
            found.first = where(j, c) + " falls at " + std::to_string(periods[k]) + " d";
        }
      }
    }
  }
}

TEST(SoundCurvesTest, SampleDataCurvesNeitherDipBelowZeroNorGiveLessDoseForLongerPeriods) {
  testing::TempDir data;
  ASSERT_TRUE(tools::GenerateSampleData({}, data.path()).ok());
  input::DataIndex index;
  ASSERT_TRUE(OpenIndex(data.path(), index).ok());
  Found found;
  int blocks = 0;
  for (const input::DataSet& dataSet : input::kDataSets) {
    input::DoseRateFile file;
    ASSERT_TRUE(OpenDoseRates(data.path(), dataSet.kind, file).ok());
    input::Selection selection;
    selection.dataKind = dataSet.kind;
    selection.selectedAges = {1, 2, 3, 4, 5, 6};
    for (int region = 1; region <= input::kLungRegion; ++region)
      selection.selectedRegions.push_back(region);
    integration::BlockWorkspace workspace;
    for (const std::string& name : NuclideEntriesWithData(index, dataSet.kind)) {
      ASSERT_NE(index.FindNuclide(name), 0);
      std::vector<output::RunMessage> messages;
      const base::Status walked = WalkNuclideBlocks(file, index.entry(), selection, workspace,
                                                    messages, [&](const WalkedBlock& block) {
                                                      ++blocks;
                                                      CheckBlock(block, found);
                                                      return base::Status::Ok();
                                                    });
      ASSERT_TRUE(walked.ok()) << walked.message();
    }
  }
  EXPECT_EQ(blocks, 1020);  // every block of both files
  EXPECT_GT(found.curves, 50000);
  EXPECT_EQ(found.dips, 0) << found.first;
  EXPECT_EQ(found.falls, 0) << found.first;
}

}  // namespace
}  // namespace quillmore::run
