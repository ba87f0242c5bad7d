// Slopes of the monotone piecewise cubic Hermite curve through tabulated
// points: monotone where the data are, flat at their local extrema.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace quillmore::integration {

// Status values of HermiteSlopes that are not counts.
inline constexpr int kTooFewPoints = -1;
inline constexpr int kNotIncreasing = -3;

// |a| when b >= 0 (a negative zero counts as >= 0), otherwise -|a|.
double SignTransfer(double a, double b);

// +1 when a and b have the same strict sign, -1 when opposite, exactly 0 when
// either is 0.
double SlopeSign(double a, double b);

// What the slopes take from the time points alone (interval widths and the
// weights of the secants), formed once for every curve of a block.
class SlopeGrid {
 public:
  // 0 for 2 or more strictly increasing points, otherwise kTooFewPoints or
  // kNotIncreasing. Allocates only when the grid has more points than before.
  int Set(std::span<const double> x);

  std::size_t count() const { return count_; }
  double width(std::size_t i) const { return h_[i]; }  // of the interval from point i
  double firstWeight(std::size_t i) const { return w1_[i]; }
  double secondWeight(std::size_t i) const { return w2_[i]; }

 private:
  std::size_t count_ = 0;
  std::vector<double> h_;
  // Point 0 and N-1: the end formulas' weights; between: the interior's.
  std::vector<double> w1_, w2_;
};

// Writes the slope at each point of `grid` into d[i]; f and d have at least
// grid.count() entries. Returns the number of times the data change their
// direction (0 or more).
int HermiteSlopes(const SlopeGrid& grid, std::span<const double> f, std::span<double> d);

// The same for the points x (N = x.size(), f and d at least as long). Returns
// kTooFewPoints for N < 2 and kNotIncreasing when some x[i-1] >= x[i], both
// leaving d untouched.
int HermiteSlopes(std::span<const double> x, std::span<const double> f, std::span<double> d);

}  // namespace quillmore::integration
