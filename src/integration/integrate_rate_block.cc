#include "integration/integrate_rate_block.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "integration/curve_extension.h"
#include "integration/curve_integrator.h"
#include "integration/hermite_slopes.h"

namespace quillmore::integration {

namespace {

void CopySingleRate(const RateTable& rates, int timeCount, CoefficientTable& coefficients) {
  for (int c = 0; c < kComponentCount; ++c) {
    for (int j = 0; j < rates.regionCount(); ++j) {
      for (int k = 0; k < timeCount; ++k) coefficients.at(c, j, k) = rates.at(c, j, 0);
    }
  }
}

// Returns false, leaving the curve's coefficients 0, when the slopes cannot be
// formed (time points not strictly increasing).
bool IntegrateCurve(std::span<const double> times, std::span<const double> curve,
                    std::span<const double> integrationTimes, std::span<double> slopes,
                    int component, int position, CoefficientTable& coefficients) {
  if (HermiteSlopes(times, curve, slopes) < 0) return false;
  // The slopes have proved the times strictly increasing, so the integral's
  // own check may be skipped; the span sums from 0 are formed once per curve.
  const CurveIntegrator integrator(times, curve, slopes, 0.0);
  const double lastTime = times.back();
  std::optional<double> doseAtLast;  // formed once, for the first time past the data
  for (std::size_t k = 0; k < integrationTimes.size(); ++k) {
    const int index = static_cast<int>(k);
    coefficients.at(component, position, index) = integrator.Integral(integrationTimes[k]);
    if (integrationTimes[k] <= lastTime) continue;
    if (!doseAtLast) doseAtLast = integrator.Integral(lastTime);
    coefficients.extrapolation(component, position, index) =
        JudgeCurveExtension(times, curve, slopes, *doseAtLast, integrationTimes[k]);
  }
  return true;
}

int ComponentsOf(char letLetter, std::array<int, kComponentCount>& components) {
  int count = 0;
  if (input::CarriesLowLet(letLetter)) components[static_cast<std::size_t>(count++)] = kLowLet;
  if (input::CarriesHighLet(letLetter)) components[static_cast<std::size_t>(count++)] = kHighLet;
  return count;
}

}  // namespace

bool IntegratesComponent(char letLetter, int component) {
  std::array<int, kComponentCount> components{};
  const int count = ComponentsOf(letLetter, components);
  return std::find(components.begin(), components.begin() + count, component) !=
         components.begin() + count;
}

base::Status IntegrateRateBlock(const RateTable& rates, const TimeGrid& timeGrid, char letLetter,
                                std::span<const double> integrationTimes,
                                std::array<double, input::kMaxTimePoints>& slopes,
                                CoefficientTable& coefficients) {
  const int timeCount = static_cast<int>(integrationTimes.size());
  coefficients.Reset(rates.regionCount(), timeCount);
  const int pointCount = timeGrid.count();
  if (pointCount == 0) return base::Status::Ok();
  if (pointCount == 1) {
    CopySingleRate(rates, timeCount, coefficients);
    return base::Status::Ok();
  }
  std::array<int, kComponentCount> components{};
  const int componentCount = ComponentsOf(letLetter, components);
  const std::span<double> curveSlopes(slopes.data(), static_cast<std::size_t>(pointCount));
  bool increasing = true;
  for (int n = 0; n < componentCount; ++n) {
    const int c = components[static_cast<std::size_t>(n)];
    for (int j = 0; j < rates.regionCount(); ++j) {
      increasing &= IntegrateCurve(timeGrid.points(), rates.curve(c, j, pointCount),
                                   integrationTimes, curveSlopes, c, j, coefficients);
    }
  }
  if (!increasing) return base::Status::Corruption("time points not strictly increasing");
  return base::Status::Ok();
}

}  // namespace quillmore::integration
