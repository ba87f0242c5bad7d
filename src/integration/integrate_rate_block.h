// Integrates every rate curve of a block from time 0 to each integration time.
#pragma once

#include <array>
#include <span>

#include "base/status.h"
#include "input/dose_rate_file.h"
#include "integration/coefficient_table.h"
#include "integration/rate_table.h"
#include "integration/tail.h"

namespace quillmore::integration {

// How the tables take a block read whole, judged by its LET letter first,
// then by its count of time points; every reader of blocks asks this alone.
enum class BlockIntegration {
  kCurves,         // a known LET letter and two or more time points: its curves are integrated
  kUnknownLetter,  // no component is integrated (a single point's rate is still copied)
  kNoTimePoints,   // its coefficients are 0
  kSinglePoint,    // its rate stands for every integral
};
BlockIntegration IntegrationOf(char letLetter, int timePointCount);

// Whether a block of `letLetter` with two or more time points integrates
// `component` ("L" low, "H" high, "B" both, any other letter none).
bool IntegratesComponent(char letLetter, int component);

// Resets `coefficients` for rates.regionCount() positions and
// integrationTimes.size() times (days), then fills them in Gy/Bq:
// - one time point: the tabulated rate, in both components, for every time;
// - more: the components named by `letLetter` ("L" low, "H" high, "B" both,
//   otherwise none), each curve's monotone cubic Hermite integral from 0 to
//   the time, the first piece continued back to 0; past the curve's last time
//   point the last piece continued under Tail::kCubic (with
//   JudgeCurveExtension's status), otherwise the dose to that point plus the
//   integral of `tail`'s TailCurve (status kBounded).
// A curve whose time points are not strictly increasing gets coefficients 0
// and makes the result a Corruption. `slopes` is scratch.
base::Status IntegrateRateBlock(const RateTable& rates, const TimeGrid& timeGrid, char letLetter,
                                std::span<const double> integrationTimes,
                                std::array<double, input::kMaxTimePoints>& slopes,
                                CoefficientTable& coefficients, Tail tail = Tail::kCubic);

}  // namespace quillmore::integration
