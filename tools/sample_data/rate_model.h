// The small compartment model behind every sample rate curve: intake into an
// entry region, uptake into the body, biological clearance with one to three
// half-times, and radioactive decay throughout.
#pragma once

#include <array>
#include <vector>

#include "sample_data/prng.h"

namespace quillmore::tools {

struct CurveModel {
  double decayPerDay = 0;                   // ln 2 over the radioactive half-life
  double uptakePerDay = 1;                  // transfer from the entry region into the body
  int clearanceCount = 1;                   // 1 to 3 biological clearance terms
  std::array<double, 3> clearancePerDay{};  // each below half the uptake rate
  std::array<double, 3> fraction{};         // sums to 1
};

// A model for a nuclide of `halfLifeDays`, its clearance drawn from `random`.
CurveModel DrawCurveModel(double halfLifeDays, SplitMix64& random);

// Fraction of the intake still in the entry region (lungs or gut) at `days`:
// 1 at time 0, falling as it clears and decays.
double EntryRetention(const CurveModel& model, double days);

// Fraction of the intake taken up and retained in a body organ at `days`: 0 at
// time 0, rising with uptake, then falling with clearance and decay.
double SystemicRetention(const CurveModel& model, double days);

// `count` strictly increasing times in days, each with three significant
// digits, on a jittered logarithmic grid from about 0.001 d to `lastDays`;
// a single point lies at 1 d. count >= 1, lastDays >= 1.
std::vector<double> DrawTimeGrid(int count, double lastDays, SplitMix64& random);

}  // namespace quillmore::tools
