// Integrals of the Hermite curves on one time grid from a fixed lower limit
// to fixed upper limits, bit for bit those of HermiteIntegral: what depends on
// the times alone (which points and pieces each limit takes, the pieces'
// weights, the interval widths) is formed once for all the curves.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "integration/hermite_integral.h"

namespace quillmore::integration {

class CurveIntegrator {
 public:
  // Takes the times x and the limits, from a to each of `limits` (both kept by
  // reference: they must outlive the integrator). Preconditions: N >= 2, x
  // strictly increasing (HermiteSlopes succeeded on it).
  CurveIntegrator(std::span<const double> x, double a, std::span<const double> limits);

  // out[k] = HermiteIntegral(x, f, d, a, limits[k]) for the curve with values f
  // and slopes d at x; out has limits.size() entries.
  void Integrate(std::span<const double> f, std::span<const double> d, std::span<double> out) const;
  // Integrate for two curves at once, each result bit for bit as alone.
  void IntegrateTwo(std::span<const double> f0, std::span<const double> d0, std::span<double> out0,
                    std::span<const double> f1, std::span<const double> d1,
                    std::span<double> out1) const;

 private:
  // How the integral to one limit is put together.
  struct Limit {
    enum class Route { kGeneral, kOnePiece, kSpan } route = Route::kGeneral;
    std::size_t piece = 0;  // first point of the one piece, or of the piece past ib
    std::size_t ib = 0;     // last point at or before the limit
    bool rightPiece = false;
    CubicPiece cubic;  // the one piece, or the piece from x[ib] to the limit
  };

  // out[k] from the curve's running sums of whole intervals from point ia_.
  void FromSums(std::span<const double> f, std::span<const double> d, const double* sums,
                std::span<double> out) const;

  std::span<const double> x_;
  double a_;
  std::span<const double> limits_;
  std::size_t ia_ = 0;  // first point at or after a
  bool leftPiece_ = false;
  std::size_t leftAt_ = 0;     // first point of that piece
  CubicPiece left_;            // from a up to x[ia_], when a lies before it
  std::size_t sumEnd_ = 0;     // the running sums needed: up to this point
  std::vector<double> width_;  // of each interval
  std::vector<long double> sixth_;
  std::vector<Limit> plan_;
};

}  // namespace quillmore::integration
