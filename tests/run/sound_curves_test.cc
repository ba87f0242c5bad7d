// The rate curves of the whole sample data set keep the shape of their data:
// rates never below 0 between the first and last time points where the data
// are all >= 0, and doses that never fall as the period grows from the first
// time point on. Every nuclide, age group, form, region and LET component.
// Past the data the exponential and zero tails keep every coefficient and
// every annual dose of such data at or above 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iomanip>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "base/text.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "input/intake_calendar.h"
#include "input/intake_file.h"
#include "input/region_names.h"
#include "integration/curve_integrator.h"
#include "integration/integrate_rate_block.h"
#include "run/block_walk.h"
#include "run/data_files.h"
#include "run/history_run.h"
#include "run/nuclide_curves.h"
#include "run/nuclide_suggestions.h"
#include "sample_data/sample_data.h"
#include "support/temp_dir.h"

namespace quillmore::run {
namespace {

// The lowest value on [from, to] of the cubic Hermite piece with values f0,
// f1 and slopes d0, d1 over an interval of width h (s = 0 and 1 at its ends;
// from < 0 continues it back), written out apart from the program's
// evaluation: p(s) = f0 + h d0 s + (3 df - h (2 d0 + d1)) s^2 + (h (d0 + d1) -
// 2 df) s^3 with df = f1 - f0, its minimum at the ends or where p'(s) = 0.
long double PieceMinimum(long double f0, long double f1, long double d0, long double d1,
                         long double h, long double from = 0, long double to = 1) {
  const long double df = f1 - f0;
  const long double c1 = h * d0;
  const long double c2 = 3 * df - h * (2 * d0 + d1);
  const long double c3 = h * (d0 + d1) - 2 * df;
  const auto value = [&](long double s) { return f0 + s * (c1 + s * (c2 + s * c3)); };
  long double lowest = std::min(value(from), to == 1 ? f1 : value(to));
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
    if (s > from && s < to) lowest = std::min(lowest, value(s));
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

// A block of the sample data as the walk meets it.
struct SampleBlock {
  input::DataKind kind = input::DataKind::kInhalation;
  std::string nuclide;  // as the index names it, without padding
  int ageGroup = 0;
  int form = 0;                         // among its age group's blocks, from 1, as histories count
  const WalkedBlock* walked = nullptr;  // null for a block whose rows are left out
};

// Walks every block of both data sets in `folder`, all age groups and regions.
void WalkSampleData(const std::filesystem::path& folder,
                    const std::function<void(const SampleBlock&)>& visit) {
  base::Result<input::DataIndex> opened = OpenIndex(folder);
  ASSERT_TRUE(opened.ok());
  input::DataIndex& index = opened.value();
  for (const input::DataSet& dataSet : input::kDataSets) {
    base::Result<input::DoseRateFile> rates = OpenDoseRates(folder, dataSet.kind);
    ASSERT_TRUE(rates.ok());
    input::DoseRateFile& file = rates.value();
    input::Selection selection;
    selection.dataKind = dataSet.kind;
    selection.selectedAges = {1, 2, 3, 4, 5, 6};
    for (int region = 1; region <= input::kLungRegion; ++region)
      selection.selectedRegions.push_back(region);
    integration::BlockWorkspace workspace;
    for (const std::string& name : NuclideEntriesWithData(index, dataSet.kind)) {
      ASSERT_NE(index.FindNuclide(name), 0);
      std::vector<int> forms(selection.selectedAges.size(), 0);
      const auto hand = [&](const WalkedBlock& block, const WalkedBlock* walked) {
        visit({dataSet.kind, base::TrimBlanks(name), selection.selectedAges[block.table],
               ++forms[block.table], walked});
      };
      std::vector<output::RunMessage> messages;
      const base::Status walked = WalkNuclideBlocks(
          file, index.entry(), selection, workspace, messages,
          [&](const WalkedBlock& block) {
            hand(block, &block);
            return base::Status::Ok();
          },
          [&](const WalkedBlock& block, const base::Status&) { hand(block, nullptr); });
      ASSERT_TRUE(walked.ok()) << walked.message();
    }
  }
}

// The sample data, generated once for the suite.
class SoundCurvesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    data_ = new testing::TempDir;
    ASSERT_TRUE(tools::GenerateSampleData({}, data_->path()).ok());
  }
  static void TearDownTestSuite() {
    delete data_;
    data_ = nullptr;
  }
  static testing::TempDir* data_;
};

testing::TempDir* SoundCurvesTest::data_ = nullptr;

TEST_F(SoundCurvesTest, SampleDataCurvesNeitherDipBelowZeroNorGiveLessDoseForLongerPeriods) {
  Found found;
  int blocks = 0;
  WalkSampleData(data_->path(), [&](const SampleBlock& block) {
    if (block.walked == nullptr) return;
    ++blocks;
    CheckBlock(*block.walked, found);
  });
  EXPECT_EQ(blocks, 1020);  // every block of both files
  EXPECT_GT(found.curves, 50000);
  EXPECT_EQ(found.dips, 0) << found.first;
  EXPECT_EQ(found.falls, 0) << found.first;
}

// What the sign check of a history needs of one curve of a block.
struct CurveFacts {
  bool nonNegative = false;   // every tabulated rate >= 0
  bool negativeBack = false;  // the first piece continued back to the intake goes below 0
  double firstTime = 0;       // the first time point, days
};
// Data set, nuclide, age group, form.
using BlockKey = std::tuple<input::DataKind, std::string, int, int>;

// A dose as a message shows it: 6 digits, any magnitude.
std::string Shown(double value) {
  std::ostringstream text;
  text << std::setprecision(6) << value;
  return text.str();
}

double DayNumber(input::Days day) {
  return static_cast<double>(day.time_since_epoch().count());
}

// With the exponential or the zero tail, no coefficient past the last time
// point and no annual value or tail part of an intake history is below 0 (nor
// does a coefficient fall past the data) where the block's rates are all >= 0.
// Only the first piece continued back over [0, x0] may go below 0, so a value
// whose stretch of days after intake reaches into it is left out where it does.
TEST_F(SoundCurvesTest, TailsKeepCoefficientsAndAnnualDosesOfNonNegativeRatesAtOrAbove0) {
  constexpr integration::Tail kTails[] = {integration::Tail::kExponential,
                                          integration::Tail::kZero};
  constexpr double kDays150Years = 150 * 365.25;
  std::map<BlockKey, std::vector<CurveFacts>> facts;  // by position x 2 + component
  // By data set and nuclide, the age groups holding each form.
  std::map<std::pair<input::DataKind, std::string>, std::map<int, std::set<int>>> forms;
  int integrable = 0, negativeRates = 0, negativeBack = 0, coefficients = 0, badCoefficients = 0;
  std::string first;
  WalkSampleData(data_->path(), [&](const SampleBlock& block) {
    forms[{block.kind, block.nuclide}][block.form].insert(block.ageGroup);
    if (block.walked == nullptr ||
        integration::IntegrationOf(block.walked->header.letLetter,
                                   block.walked->header.timePointCount) !=
            integration::BlockIntegration::kCurves)
      return;
    ++integrable;
    const auto curves = BuildBlockCurves(*block.walked);
    ASSERT_TRUE(curves.ok());
    const std::span<const double> x = block.walked->timeGrid.points();
    std::vector<CurveFacts>& list = facts[{block.kind, block.nuclide, block.ageGroup, block.form}];
    for (const CurvePair& pair : curves.value()) {
      for (const integration::RateCurve& curve : pair) {
        const std::span<const double> f = curve.rates();
        const std::span<const double> d = curve.slopes();
        CurveFacts& fact = list.emplace_back();
        fact.firstTime = x[0];
        fact.nonNegative = std::all_of(f.begin(), f.end(), [](double r) { return r >= 0; });
        const long double h = static_cast<long double>(x[1]) - x[0];
        fact.negativeBack = PieceMinimum(f[0], f[1], d[0], d[1], h, -x[0] / h, 0) < 0;
        negativeRates += fact.nonNegative ? 0 : 1;
        negativeBack += fact.negativeBack ? 1 : 0;
      }
    }
    // The first time point, then from the last on, growing past 150 years
    // after intake: the dose to x0 is the first piece continued back, which
    // alone may be below 0, and from there on the dose may not fall.
    const double last = x.back();
    std::vector<double> limits{x[0], last};
    for (const double factor : {1 + 1e-9, 1.001, 1.1, 2.0, 10.0}) limits.push_back(last * factor);
    for (int k = 1; k <= 4; ++k) limits.push_back(std::max(last * 10, kDays150Years * k / 2));
    std::sort(limits.begin() + 1, limits.end());
    for (const integration::Tail tail : kTails) {
      const auto tailed = BuildBlockCurves(*block.walked, tail);
      ASSERT_TRUE(tailed.ok());
      for (std::size_t j = 0; j < tailed.value().size(); ++j) {
        for (std::size_t c = 0; c < integration::kComponentCount; ++c) {
          const CurveFacts& fact = list[j * integration::kComponentCount + c];
          if (!fact.nonNegative) continue;
          const std::vector<double> doses = tailed.value()[j][c].Doses(limits);
          for (std::size_t k = 0; k < doses.size(); ++k) {
            ++coefficients;
            if ((doses[k] < 0 && !fact.negativeBack) || (k > 0 && doses[k] < doses[k - 1])) {
              if (badCoefficients++ == 0)
                first = block.nuclide + " age group " + std::to_string(block.ageGroup) + " form " +
                        std::to_string(block.form) + " position " + std::to_string(j) +
                        " component " + std::to_string(c) + ", tail " +
                        integration::TailName(tail) + ": " + Shown(doses[k]) + " Gy/Bq at " +
                        std::to_string(limits[k]) + " d";
            }
          }
        }
      }
    }
  });
  EXPECT_GT(integrable, 1000);
  EXPECT_EQ(facts.size(), static_cast<std::size_t>(integrable));  // each its own key
  EXPECT_GT(coefficients, 500000);
  EXPECT_EQ(badCoefficients, 0) << first;
  RecordProperty("curvesWithNegativeRates", negativeRates);
  RecordProperty("curvesNegativeBeforeFirstTime", negativeBack);
  RecordProperty("coefficients", coefficients);

  // One person per nuclide, route and form, with acute intakes and intakes
  // spread over 1 and 3 years (two of them across a change of age group), so
  // that every age group is reached, followed until 150 years after the last.
  struct Intake {
    const char* start;
    const char* end;  // empty for an acute intake
  };
  constexpr Intake kIntakes[] = {{"1900-07-01", ""}, {"1901-03-01", "1902-03-01"},
                                 {"1905-01-01", ""}, {"1908-05-01", "1911-05-01"},
                                 {"1913-06-01", ""}, {"1915-07-01", "1918-07-01"}};
  constexpr int kUntil = 2068;
  const input::Days birth = *input::ParseDate("1900-01-01");
  std::string csv = "person,birth_date,nuclide,intake,form,start,end,activity_bq\n";
  int persons = 0, rows = 0;
  std::set<BlockKey> reached;
  for (const auto& [nuclide, byForm] : forms) {
    for (const auto& [form, ageGroups] : byForm) {
      const std::string person = "P" + std::to_string(++persons);
      for (const Intake& intake : kIntakes) {
        std::optional<input::Days> end;
        if (*intake.end != '\0') end = input::ParseDate(intake.end);
        const auto parts = input::SplitByAgeGroup(birth, *input::ParseDate(intake.start), end);
        if (!std::all_of(parts.begin(), parts.end(),
                         [&](const input::IntakePart& p) { return ageGroups.count(p.ageGroup); }))
          continue;
        for (const input::IntakePart& p : parts)
          reached.insert({nuclide.first, nuclide.second, p.ageGroup, form});
        ++rows;
        csv += person + ",1900-01-01," + nuclide.second + "," +
               std::string(input::DataSetOf(nuclide.first).name) + "," + std::to_string(form) +
               "," + intake.start + "," + intake.end + ",1000\n";
      }
    }
  }
  EXPECT_EQ(reached.size(), 1020u);  // every block

  for (const integration::Tail tail : kTails) {
    HistoryRequest request;
    request.dataFolder = data_->path();
    request.untilYear = kUntil;
    request.fileLabel = "intakes.csv";
    request.tail = tail;
    base::Result<HistoryRun> opened = OpenHistory(input::ReadIntakeFile(csv), request);
    ASSERT_TRUE(opened.ok()) << opened.status().message();
    ASSERT_TRUE(opened.value().badRows.empty());
    long values = 0, leftOut = 0, negative = 0;
    int parts = 0;
    std::string firstNegative;
    const base::Status computed = opened.value().history->Compute(
        [&](const integration::ResolvedIntake& intake, const integration::IntakePartDoses& part,
            const integration::YearDoses& doses) {
          ++parts;
          const std::vector<CurveFacts>& list = facts.at(
              {intake.row->kind, intake.row->nuclide, part.part.ageGroup, part.formNumber});
          // The year's stretch starts max(0, t1 - last day of intake) days after intake.
          const double lastDay = DayNumber(part.part.end ? *part.part.end : part.part.start);
          for (int y = doses.firstYear(); y < doses.firstYear() + doses.yearCount(); ++y) {
            const double reach = DayNumber(input::YearStart(y)) - lastDay;
            for (int j = 0; j < doses.regionCount(); ++j) {
              for (int c = 0; c < integration::kComponentCount; ++c) {
                const CurveFacts& fact =
                    list[static_cast<std::size_t>(j * integration::kComponentCount + c)];
                if (!fact.nonNegative || (fact.negativeBack && reach < fact.firstTime)) {
                  ++leftOut;
                  continue;
                }
                const bool low = c == integration::kLowLet;
                const double value = low ? doses.low(y, j) : doses.high(y, j);
                const double tailPart = low ? doses.lowTail(y, j) : doses.highTail(y, j);
                ++values;
                if (value < 0 || tailPart < 0) {
                  if (negative++ == 0)
                    firstNegative = intake.nuclide + " line " + std::to_string(intake.row->line) +
                                    " age group " + std::to_string(part.part.ageGroup) + " year " +
                                    std::to_string(y) + " position " + std::to_string(j) +
                                    " component " + std::to_string(c) + ": " + Shown(value) +
                                    " Gy, tail " + Shown(tailPart) + " Gy";
                }
              }
            }
          }
          return base::Status::Ok();
        });
    ASSERT_TRUE(computed.ok()) << computed.message();
    EXPECT_GT(parts, rows);  // the intakes across a change of age group give two parts
    EXPECT_GT(values, 10000000);
    EXPECT_EQ(negative, 0) << integration::TailName(tail) << ": " << firstNegative;
    RecordProperty(std::string("values_") + integration::TailName(tail), std::to_string(values));
    RecordProperty(std::string("valuesLeftOut_") + integration::TailName(tail),
                   static_cast<int>(leftOut));
  }
}

}  // namespace
}  // namespace quillmore::run
