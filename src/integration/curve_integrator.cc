#include "integration/curve_integrator.h"

#include <algorithm>

#include "integration/extended.h"
#include "integration/hermite_integral.h"

namespace quillmore::integration {

CurveIntegrator::CurveIntegrator(std::span<const double> x, std::span<const double> f,
                                 std::span<const double> d, double a)
    : x_(x), f_(f), d_(d), a_(a) {
  const std::size_t last = x.size() - 1;
  while (ia_ < last && x[ia_] < a) ++ia_;
  if (a < x[ia_]) leftPiece_ = Piece(ia_ > 0 ? ia_ - 1 : 0, a, x[ia_]);
  // HermiteSpanIntegral starts from 0 at ia and adds the intervals in
  // increasing order, so its sum up to any ib is this running sum.
  runningSum_[ia_] = 0;
  for (std::size_t i = ia_; i < last; ++i)
    runningSum_[i + 1] = AddIntervalTwice(x, f, d, i, runningSum_[i]);
}

double CurveIntegrator::Piece(std::size_t il, double from, double to) const {
  return CubicPieceIntegral(x_[il], x_[il + 1], f_[il], f_[il + 1], d_[il], d_[il + 1], from, to);
}

double CurveIntegrator::Integral(double b) const {
  const std::size_t last = x_.size() - 1;
  // Only limits above a share the first point ia_; and the end-piece shortcuts
  // of HermiteIntegral are cheap already.
  if (!(b > a_) || b <= x_[1] || a_ >= x_[last - 1]) {
    bool skipCheck = true;
    int status = 0;
    return HermiteIntegral(x_, f_, d_, skipCheck, a_, b, status);
  }
  // ib: last point at or before b, as HermiteIntegral's downward scan finds it.
  const auto after = std::upper_bound(x_.begin() + static_cast<std::ptrdiff_t>(ia_), x_.end(), b);
  if (after == x_.begin() + static_cast<std::ptrdiff_t>(ia_)) {
    return Piece(ia_ - 1, a_, b);  // no point inside [a, b]; ia_ > 0 here since b > x[1]
  }
  const auto ib = static_cast<std::size_t>(after - x_.begin()) - 1;
  double value = ib > ia_ ? Stored(0.5L * runningSum_[ib]) : 0.0;
  if (a_ < x_[ia_]) value = Stored(Extended(leftPiece_) + value);
  if (b > x_[ib]) {
    const std::size_t ir = std::min(ib + 1, last);
    value = Stored(Extended(Piece(ir - 1, x_[ib], b)) + value);
  }
  return value;
}

}  // namespace quillmore::integration
