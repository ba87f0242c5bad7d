// Integrals of one Hermite curve from a fixed lower limit to many upper
// limits, bit for bit those of HermiteIntegral, in O(log N) per limit.
#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "input/dose_rate_file.h"

namespace quillmore::integration {

class CurveIntegrator {
 public:
  // Takes the curve (kept by reference: x, f and d must outlive the
  // integrator) and the lower limit a. Preconditions: 2 <= N <= kMaxTimePoints,
  // x strictly increasing (HermiteSlopes succeeded on it).
  CurveIntegrator(std::span<const double> x, std::span<const double> f, std::span<const double> d,
                  double a);

  // The integral from a to b, equal to HermiteIntegral(x, f, d, skip, a, b, status).
  double Integral(double b) const;

 private:
  double Piece(std::size_t il, double from, double to) const;

  std::span<const double> x_, f_, d_;
  double a_;
  std::size_t ia_ = 0;    // first point at or after a
  double leftPiece_ = 0;  // the piece from a up to x[ia_], when a lies before it
  // Running span sums from x[ia_]: runningSum_[m] is the undivided sum over
  // the intervals ia_ .. m-1, formed in the order HermiteSpanIntegral uses.
  std::array<double, input::kMaxTimePoints> runningSum_{};
};

}  // namespace quillmore::integration
