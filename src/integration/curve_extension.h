// Whether the dose a curve's continued last piece gives past its data can be
// trusted: the far-extrapolation rule applied to one Hermite curve.
#pragma once

#include <span>

#include "integration/extended.h"
#include "integration/extrapolation_check.h"
#include "integration/tail.h"

namespace quillmore::integration {

// The status of the dose from 0 to `limit` (days) of the Hermite curve
// (x, f, d) of two or more points whose dose from 0 to its last time x[N-1]
// is `doseAtLast`: kNone up to x[N-1]; past it, JudgeExtension of the exact
// integral of the continued last piece from x[N-1] to `limit`, against f[N-1].
Extrapolation JudgeCurveExtension(std::span<const double> x, std::span<const double> f,
                                  std::span<const double> d, double doseAtLast, double limit);

// The dose from 0 to `limit` (days, past the last tabulated time `lastTime`)
// of a curve whose dose to `lastTime` is `doseAtLast` and which follows `tail`
// past it: doseAtLast plus the tail's closed-form integral, one rounding.
inline double DoseThroughTail(double doseAtLast, const TailCurve& tail, double lastTime,
                              double limit) {
  return Stored(Extended(doseAtLast) + tail.Integral(0, limit - lastTime));
}

}  // namespace quillmore::integration
