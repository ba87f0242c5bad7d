#include "integration/integrate_rate_block.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "integration/curve_extension.h"
#include "integration/curve_integrator.h"
#include "integration/hermite_integral.h"
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

// The slopes of one curve on the block's grid, its integrals to every
// integration time (the grid and the integrator hold what the times alone
// give), and for times past its data whether what the continued last piece
// adds can be trusted.
void IntegrateCurve(const SlopeGrid& grid, const CurveIntegrator& integrator,
                    std::span<const double> times, std::span<const double> integrationTimes,
                    std::span<const double> curve, std::span<double> slopes, int component,
                    int position, CoefficientTable& coefficients) {
  HermiteSlopes(grid, curve, slopes);
  const auto timeCount = static_cast<std::size_t>(coefficients.timeCount());
  if (timeCount == 0) return;
  integrator.Integrate(curve, slopes, {&coefficients.at(component, position, 0), timeCount});
  const double lastTime = times.back();
  std::optional<double> doseAtLast;  // formed once, for the first time past the data
  for (std::size_t k = 0; k < timeCount; ++k) {
    if (integrationTimes[k] <= lastTime) continue;
    if (!doseAtLast) doseAtLast = HermiteIntegral(times, curve, slopes, 0.0, lastTime);
    coefficients.extrapolation(component, position, static_cast<int>(k)) =
        JudgeCurveExtension(times, curve, slopes, *doseAtLast, integrationTimes[k]);
  }
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
  if (componentCount == 0 || rates.regionCount() == 0) return base::Status::Ok();
  // Times that are not strictly increasing leave every curve's coefficients 0.
  SlopeGrid grid;
  if (grid.Set(timeGrid.points()) < 0) {
    return base::Status::Corruption("time points not strictly increasing");
  }
  const CurveIntegrator integrator(timeGrid.points(), 0.0, integrationTimes);
  const std::span<double> curveSlopes(slopes.data(), static_cast<std::size_t>(pointCount));
  for (int n = 0; n < componentCount; ++n) {
    const int c = components[static_cast<std::size_t>(n)];
    for (int j = 0; j < rates.regionCount(); ++j) {
      IntegrateCurve(grid, integrator, timeGrid.points(), integrationTimes,
                     rates.curve(c, j, pointCount), curveSlopes, c, j, coefficients);
    }
  }
  return base::Status::Ok();
}

}  // namespace quillmore::integration
