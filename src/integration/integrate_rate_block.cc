#include "integration/integrate_rate_block.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "input/let_letter.h"
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

// For times past the curve's data: under kCubic, whether what its continued
// last piece adds can be trusted; under a closed-form tail, the coefficient
// itself, which such a tail keeps within what the data allow.
void JudgeExtensions(std::span<const double> times, std::span<const double> integrationTimes,
                     std::span<const double> curve, std::span<const double> slopes, int component,
                     int position, Tail tail, CoefficientTable& coefficients) {
  const auto timeCount = static_cast<std::size_t>(coefficients.timeCount());
  const std::size_t last = times.size() - 1;
  const double lastTime = times[last];
  std::optional<double> doseAtLast;  // formed once, for the first time past the data
  TailCurve tailCurve;
  for (std::size_t k = 0; k < timeCount; ++k) {
    if (integrationTimes[k] <= lastTime) continue;
    if (!doseAtLast) {
      doseAtLast = HermiteIntegral(times, curve, slopes, 0.0, lastTime);
      tailCurve = TailCurve::Of(tail, times[last - 1], lastTime, curve[last - 1], curve[last]);
    }
    const int timeIndex = static_cast<int>(k);
    if (tail == Tail::kCubic) {
      coefficients.extrapolation(component, position, timeIndex) =
          JudgeCurveExtension(times, curve, slopes, *doseAtLast, integrationTimes[k]);
    } else {
      coefficients.at(component, position, timeIndex) =
          DoseThroughTail(*doseAtLast, tailCurve, lastTime, integrationTimes[k]);
      coefficients.extrapolation(component, position, timeIndex) = Extrapolation::kBounded;
    }
  }
}

// The slopes of one or two curves of a component (positions `position` and,
// when `pair`, the next) on the block's grid, their integrals to every
// integration time (the grid and the integrator hold what the times alone
// give), and their extensions judged.
void IntegrateCurves(const SlopeGrid& grid, const CurveIntegrator& integrator,
                     const RateTable& rates, std::span<const double> times,
                     std::span<const double> integrationTimes, std::span<double> slopes,
                     std::span<double> pairSlopes, int component, int position, bool pair,
                     Tail tail, CoefficientTable& coefficients) {
  const int pointCount = static_cast<int>(times.size());
  const std::span<const double> curve = rates.curve(component, position, pointCount);
  HermiteSlopes(grid, curve, slopes);
  std::span<const double> pairCurve;
  if (pair) {
    pairCurve = rates.curve(component, position + 1, pointCount);
    HermiteSlopes(grid, pairCurve, pairSlopes);
  }
  const auto timeCount = static_cast<std::size_t>(coefficients.timeCount());
  if (timeCount == 0) return;
  const std::span<double> out(&coefficients.at(component, position, 0), timeCount);
  if (pair) {
    integrator.IntegrateTwo(curve, slopes, out, pairCurve, pairSlopes,
                            {&coefficients.at(component, position + 1, 0), timeCount});
  } else {
    integrator.Integrate(curve, slopes, out);
  }
  JudgeExtensions(times, integrationTimes, curve, slopes, component, position, tail, coefficients);
  if (pair) {
    JudgeExtensions(times, integrationTimes, pairCurve, pairSlopes, component, position + 1, tail,
                    coefficients);
  }
}

int ComponentsOf(char letLetter, std::array<int, kComponentCount>& components) {
  int count = 0;
  if (input::CarriesLowLet(letLetter)) components[static_cast<std::size_t>(count++)] = kLowLet;
  if (input::CarriesHighLet(letLetter)) components[static_cast<std::size_t>(count++)] = kHighLet;
  return count;
}

}  // namespace

BlockIntegration IntegrationOf(char letLetter, int timePointCount) {
  if (!input::IsLetLetter(letLetter)) return BlockIntegration::kUnknownLetter;
  if (timePointCount == 0) return BlockIntegration::kNoTimePoints;
  if (timePointCount == 1) return BlockIntegration::kSinglePoint;
  return BlockIntegration::kCurves;
}

bool IntegratesComponent(char letLetter, int component) {
  std::array<int, kComponentCount> components{};
  const int count = ComponentsOf(letLetter, components);
  return std::find(components.begin(), components.begin() + count, component) !=
         components.begin() + count;
}

base::Status IntegrateRateBlock(const RateTable& rates, const TimeGrid& timeGrid, char letLetter,
                                std::span<const double> integrationTimes,
                                std::array<double, input::kMaxTimePoints>& slopes,
                                CoefficientTable& coefficients, Tail tail) {
  const int timeCount = static_cast<int>(integrationTimes.size());
  coefficients.Reset(rates.regionCount(), timeCount);
  const int pointCount = timeGrid.count();
  if (IntegrationOf(letLetter, pointCount) != BlockIntegration::kCurves) {
    // A single point's rate is copied whatever its letter; otherwise all stay 0.
    if (pointCount == 1) CopySingleRate(rates, timeCount, coefficients);
    return base::Status::Ok();
  }
  if (rates.regionCount() == 0) return base::Status::Ok();
  std::array<int, kComponentCount> components{};
  const int componentCount = ComponentsOf(letLetter, components);
  // Times that are not strictly increasing leave every curve's coefficients 0.
  SlopeGrid grid;
  if (grid.Set(timeGrid.points()) < 0) {
    return base::Status::Corruption("time points not strictly increasing");
  }
  const CurveIntegrator integrator(timeGrid.points(), 0.0, integrationTimes);
  const auto points = static_cast<std::size_t>(pointCount);
  std::array<double, input::kMaxTimePoints> pairSlopes;
  for (int n = 0; n < componentCount; ++n) {
    const int c = components[static_cast<std::size_t>(n)];
    for (int j = 0; j < rates.regionCount(); j += 2) {
      IntegrateCurves(grid, integrator, rates, timeGrid.points(), integrationTimes,
                      {slopes.data(), points}, {pairSlopes.data(), points}, c, j,
                      j + 1 < rates.regionCount(), tail, coefficients);
    }
  }
  return base::Status::Ok();
}

}  // namespace quillmore::integration
