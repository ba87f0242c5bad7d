#include "sample_data/nuclide_catalog.h"

#include <algorithm>

#include "input/nuclide_name.h"
#include "sample_data/prng.h"

namespace quillmore::tools {
namespace {

constexpr double kDaysPerYear = 365.25;

NuclidePlan Plan(std::string name, double halfLifeDays, char letLetter, std::string classes,
                 std::vector<std::string> f1, int minPoints = 20, int maxPoints = 25) {
  input::NormaliseNuclideName(name);
  return {name, halfLifeDays, letLetter, std::move(classes), std::move(f1), minPoints, maxPoints};
}

void SortByName(std::vector<NuclidePlan>& plans) {
  // std::string compares as unsigned bytes, the order the index search needs.
  std::sort(plans.begin(), plans.end(),
            [](const NuclidePlan& a, const NuclidePlan& b) { return a.name < b.name; });
}

}  // namespace

std::vector<NuclidePlan> DefaultNuclides() {
  const double y = kDaysPerYear;
  // Forms 4 to 6 of H-3, 4 and 5 of C-14 and S-35, 5 of I-131 and 4 to 7 of
  // Hg-203 are the ones the tables label; Cs-137's fourth form must stay
  // unlabelled. Kr-85 is in the inhalation file only, Ni-63 in the ingestion
  // file only; Be-7 has single-point blocks; Gd-148 is the high-LET-only one.
  std::vector<NuclidePlan> plans = {
      Plan("H-3", 12.32 * y, 'L', "FMSVVV", {"1.0E+00 ", "1.0E+00 "}),
      Plan("Be-7", 53.22, 'L', "MS", {"5.0E-03 "}, 1, 1),
      Plan("C-14", 5730 * y, 'L', "FMSVV", {"1.0E+00 "}),
      Plan("F-18", 0.0762292, 'L', "FMS", {"1.0E+00 "}),
      Plan("Na-22", 2.6027 * y, 'L', "FMS", {"1.0E+00 "}),
      Plan("P-32", 14.268, 'L', "FMS", {"8.0E-01 "}),
      Plan("S-35", 87.37, 'L', "FMSVV", {"1.0E+00 ", "1.0E-01 "}),
      Plan("Cr-51", 27.7025, 'L', "FMS", {"1.0E-01 ", "1.0E-02 "}),
      Plan("Mn-54", 312.2, 'L', "FMS", {"1.0E-01 "}),
      Plan("Fe-59", 44.495, 'L', "FMS", {"1.0E-01 "}),
      Plan("Co-60", 5.2714 * y, 'L', "MS", {"1.0E-01 ", "5.0E-02 "}),
      Plan("Ni-63", 101.2 * y, 'L', "", {"5.0E-02 "}),
      Plan("Zn-65", 243.93, 'L', "S", {"5.0E-01 "}),
      Plan("Kr-85", 10.739 * y, 'L', "V", {}),
      Plan("Sr-90", 28.79 * y, 'L', "FMS", {"3.0E-01 ", "1.0E-02 "}),
      Plan("Y-90", 2.6684, 'L', "MS", {"1.0E-04 "}),
      Plan("Zr-95", 64.032, 'L', "FMS", {"2.0E-03 "}),
      Plan("Tc-99m", 0.250278, 'L', "FMS", {"5.0E-01 "}, 90, 100),
      Plan("Ru-106", 371.8, 'L', "FMS", {"5.0E-02 "}),
      Plan("Ag-110m", 249.83, 'L', "FMS", {"5.0E-02 "}),
      Plan("In-111", 2.8047, 'L', "FMS", {"2.0E-02 "}),
      Plan("I-125", 59.392, 'L', "FMS", {"1.0E+00 "}),
      Plan("Te-131m", 1.3854, 'L', "FMS", {"3.0E-01 "}),
      Plan("I-131", 8.0252, 'L', "FMSVV", {"1.0E+00 "}),
      Plan("Cs-134", 2.0652 * y, 'L', "FMS", {"1.0E+00 "}),
      Plan("Cs-137", 30.08 * y, 'L', "FMSV", {"1.0E+00 "}),
      Plan("Ba-140", 12.7527, 'L', "FMS", {"2.0E-01 "}),
      Plan("Ce-144", 284.91, 'L', "MS", {"5.0E-04 "}),
      Plan("Gd-148", 71.1 * y, 'H', "FMS", {"5.0E-04 "}),
      Plan("Tl-201", 3.0421, 'L', "F", {"1.0E+00 "}),
      Plan("Hg-203", 46.594, 'L', "FMSFMSV", {"2.0E-02 ", "1.0E+00 "}),
      Plan("Po-210", 138.376, 'B', "FMS", {"1.0E-01 "}),
      Plan("Ra-226", 1600 * y, 'B', "FMS", {"2.0E-01 "}),
      Plan("Th-232", 1.405e10 * y, 'B', "MS", {"5.0E-04 "}),
      Plan("U-238", 4.468e9 * y, 'B', "FMS", {"2.0E-02 ", "2.0E-03 "}),
      Plan("Pu-238", 87.7 * y, 'B', "FMS", {"5.0E-04 ", "1.0E-04 ", "1.0E-05 "}),
      Plan("Pu-239", 24110 * y, 'B', "FMS", {"5.0E-04 ", "1.0E-04 ", "1.0E-05 "}),
      Plan("Am-241", 432.6 * y, 'B', "FMS", {"5.0E-04 "}),
      Plan("Am-242m", 141 * y, 'B', "FMS", {"5.0E-04 "}),
      Plan("Cm-244", 18.1 * y, 'B', "FMS", {"5.0E-04 "}),
  };
  SortByName(plans);
  return plans;
}

std::vector<NuclidePlan> SyntheticNuclides(int count, std::uint64_t seed) {
  static const char* const kClassSets[] = {"F", "M", "S", "FM", "MS", "FMS", "FMS", "FMSV"};
  static const char* const kF1Texts[] = {"1.0E+00 ", "5.0E-01 ", "1.0E-01 ",
                                         "1.0E-02 ", "5.0E-04 ", "1.0E-05 "};
  std::vector<NuclidePlan> plans;
  plans.reserve(static_cast<std::size_t>(std::max(count, 0)));
  for (int i = 0; i < count && i < kMaxSyntheticNuclides; ++i) {
    SplitMix64 random(StreamSeed(seed, 0x5e7, static_cast<std::uint64_t>(i)));
    // Element letter and a mass number spread over 1-999 (389 is prime to
    // 999) make each name unique; "Q" starts no real element symbol.
    std::string name = "Q";
    name += static_cast<char>('a' + i % 26);
    name += "-" + std::to_string(1 + (i / 26 * 389) % 999);
    if (random.Chance(0.1)) name += 'm';

    const double letDraw = random.Uniform();
    const char let = letDraw < 0.70 ? 'L' : (letDraw < 0.92 ? 'B' : 'H');
    std::string classes = kClassSets[random.IntBetween(0, 7)];
    std::vector<std::string> f1;
    const int f1Count = random.IntBetween(1, 2);
    for (int f = 0; f < f1Count; ++f) f1.emplace_back(kF1Texts[random.IntBetween(0, 5)]);
    // A few nuclides live in one file only.
    const double onlyDraw = random.Uniform();
    if (onlyDraw < 0.04)
      classes.clear();
    else if (onlyDraw < 0.08)
      f1.clear();
    plans.push_back(
        Plan(name, random.LogUniform(0.01, 1e9), let, std::move(classes), std::move(f1), 20, 24));
  }
  SortByName(plans);
  return plans;
}

}  // namespace quillmore::tools
