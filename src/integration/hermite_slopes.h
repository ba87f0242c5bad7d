// Slopes of the monotone piecewise cubic Hermite curve through tabulated
// points: monotone where the data are, flat at their local extrema.
#pragma once

#include <span>

namespace quillmore::integration {

// Status values of HermiteSlopes and the integrals that are not counts.
inline constexpr int kTooFewPoints = -1;
inline constexpr int kNotIncreasing = -3;

// |a| when b >= 0 (a negative zero counts as >= 0), otherwise -|a|.
double SignTransfer(double a, double b);

// +1 when a and b have the same strict sign, -1 when opposite, exactly 0 when
// either is 0.
double SlopeSign(double a, double b);

// Writes the slope at each point x[i] into d[i]; x, f and d have one entry per
// point (N = x.size(), f and d at least as long). Returns kTooFewPoints for
// N < 2 and kNotIncreasing when some x[i-1] >= x[i], both leaving d untouched;
// otherwise the number of times the data change their direction (0 or more).
int HermiteSlopes(std::span<const double> x, std::span<const double> f, std::span<double> d);

}  // namespace quillmore::integration
