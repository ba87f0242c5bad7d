// Exact integrals of the piecewise cubic Hermite curve through points
// (x[i], f[i]) with slopes d[i]; the first and last pieces are continued
// beyond the tabulated range.
#pragma once

#include <cstddef>
#include <span>

#include "integration/hermite_slopes.h"

namespace quillmore::integration {

// Further status values (kTooFewPoints and kNotIncreasing come with the slopes).
inline constexpr int kLowerLimitOutside = 1;  // added for A outside [x[0], x[N-1]]
inline constexpr int kUpperLimitOutside = 2;  // added for B outside it
inline constexpr int kPointOutside = -4;      // a point index outside 0..N-1
inline constexpr int kSpanFailed = -5;        // the span integral reported an error

// Integral from a to b of the cubic with value f1 and slope d1 at x1 and value
// f2 and slope d2 at x2; a and b may lie outside [x1, x2]. 0 when x1 == x2.
// Never fails.
double CubicPieceIntegral(double x1, double x2, double f1, double f2, double d1, double d2,
                          double a, double b);

// One step of the span sum: `sum` plus twice the integral over the interval
// from x[i] to x[i+1]. Shared so that every running sum rounds alike.
double AddIntervalTwice(std::span<const double> x, std::span<const double> f,
                        std::span<const double> d, std::size_t i, double sum);

// Integral from x[ia] to x[ib] (point indices from 0; negative when ib < ia).
// x, f and d have one entry per point (N = x.size()). Unless `skipCheck`, first
// checks N >= 2 (else kTooFewPoints) and x non-decreasing (else
// kNotIncreasing); then sets `skipCheck`. An index outside 0..N-1 gives
// kPointOutside. `status` is 0 on success; every error returns 0.
double HermiteSpanIntegral(std::span<const double> x, std::span<const double> f,
                           std::span<const double> d, bool& skipCheck, int ia, int ib, int& status);

// Integral from a to b (negative when b < a), with the same checks as
// HermiteSpanIntegral. `status` is 0, or the sum of kLowerLimitOutside and
// kUpperLimitOutside for limits outside [x[0], x[N-1]] (the value then uses
// the continued end pieces); an error gives 0 and kTooFewPoints,
// kNotIncreasing or kSpanFailed.
double HermiteIntegral(std::span<const double> x, std::span<const double> f,
                       std::span<const double> d, bool& skipCheck, double a, double b, int& status);

}  // namespace quillmore::integration
