#include "sample_data/rate_model.h"

#include <cmath>

#include "sample_data/record_fields.h"

namespace quillmore::tools {
namespace {

constexpr double kLn2 = 0.69314718055994530942;

}  // namespace

CurveModel DrawCurveModel(double halfLifeDays, SplitMix64& random) {
  CurveModel model;
  model.decayPerDay = kLn2 / halfLifeDays;
  // Uptake half-times up to half a day and clearance half-times from a day up
  // keep the uptake at least twice as fast as any clearance, so the
  // two-compartment formula below never comes near its singular case.
  model.uptakePerDay = kLn2 / random.LogUniform(0.02, 0.5);
  model.clearanceCount = random.IntBetween(1, 3);
  static constexpr double kHalfTimeRanges[3][2] = {{1, 30}, {30, 1000}, {1000, 20000}};
  double total = 0;
  for (int i = 0; i < model.clearanceCount; ++i) {
    const auto k = static_cast<std::size_t>(i);
    model.clearancePerDay[k] =
        kLn2 / random.LogUniform(kHalfTimeRanges[i][0], kHalfTimeRanges[i][1]);
    model.fraction[k] = 0.1 + random.Uniform();
    total += model.fraction[k];
  }
  for (int i = 0; i < model.clearanceCount; ++i)
    model.fraction[static_cast<std::size_t>(i)] /= total;
  return model;
}

double EntryRetention(const CurveModel& model, double days) {
  double sum = 0;
  for (int i = 0; i < model.clearanceCount; ++i) {
    const auto k = static_cast<std::size_t>(i);
    sum += model.fraction[k] * std::exp(-(model.clearancePerDay[k] + model.decayPerDay) * days);
  }
  return sum;
}

double SystemicRetention(const CurveModel& model, double days) {
  double sum = 0;
  for (int i = 0; i < model.clearanceCount; ++i) {
    const auto k = static_cast<std::size_t>(i);
    // Bateman solution for a compartment fed at the uptake rate; expm1 keeps
    // the early rise accurate where the two exponentials nearly cancel.
    const double gap = model.uptakePerDay - model.clearancePerDay[k];
    const double leave = model.clearancePerDay[k] + model.decayPerDay;
    sum += model.fraction[k] * (model.uptakePerDay / gap) * std::exp(-leave * days) *
           -std::expm1(-gap * days);
  }
  return sum;
}

std::vector<double> DrawTimeGrid(int count, double lastDays, SplitMix64& random) {
  if (count <= 1) return {1.0};
  const double first = RoundToThreeDigits(random.LogUniform(0.0008, 0.0012));
  const double logSpan = std::log(lastDays / first);
  const double step = logSpan / (count - 1);
  std::vector<double> times;
  times.reserve(static_cast<std::size_t>(count));
  times.push_back(first);
  for (int i = 1; i < count; ++i) {
    const double jitter = i + 1 < count ? (random.Uniform() - 0.5) * 0.6 * step : 0;
    double t = RoundToThreeDigits(first * std::exp(i * step + jitter));
    // Jitter stays within 0.3 steps and rounding within 0.5 %, so this only
    // guards against a pathological grid.
    while (t <= times.back()) t = RoundToThreeDigits(times.back() * 1.01);
    times.push_back(t);
  }
  return times;
}

}  // namespace quillmore::tools
