// The far-extrapolation rule: whether what the continued last piece of a
// curve adds past its last tabulated time can be trusted.
#pragma once

namespace quillmore::integration {

// kNone: the value does not reach past the data; kBounded: it does, and the
// continued piece adds no more than the data allow; kUnbounded: it adds more.
// Ordered from best to worst.
enum class Extrapolation { kNone, kBounded, kUnbounded };

// "none", "bounded", "unbounded".
const char* ExtrapolationName(Extrapolation status);

inline Extrapolation Worse(Extrapolation a, Extrapolation b) {
  return a < b ? b : a;
}

// Judges `addedDose` (Gy/Bq), the dose the continuation adds over a stretch
// of `spanPastData` days past the last tabulated time, for a curve whose last
// tabulated rate is `lastRate` (Gy/Bq per day) and whose dose from intake to
// that time is `doseAtLast` (Gy/Bq). A tail that neither rises above the last
// rate nor falls below zero adds between 0 and lastRate x spanPastData; with
// tau = 1e-3 |doseAtLast|, anything outside [-tau, lastRate x span + tau] is
// kUnbounded. A span of 0 or less is kNone.
Extrapolation JudgeExtension(double addedDose, double lastRate, double spanPastData,
                             double doseAtLast);

}  // namespace quillmore::integration
