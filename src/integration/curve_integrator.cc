#include "integration/curve_integrator.h"

#include <algorithm>
#include <array>
#include <vector>

#include "input/dose_rate_file.h"
#include "integration/extended.h"

namespace quillmore::integration {

CurveIntegrator::CurveIntegrator(std::span<const double> x, double a,
                                 std::span<const double> limits)
    : x_(x), a_(a), limits_(limits), plan_(limits.size()) {
  const std::size_t last = x.size() - 1;
  while (ia_ < last && x[ia_] < a) ++ia_;
  leftPiece_ = a < x[ia_];
  if (leftPiece_) {
    leftAt_ = ia_ > 0 ? ia_ - 1 : 0;
    left_ = CubicPiece(x[leftAt_], x[leftAt_ + 1], a, x[ia_]);
  }
  for (std::size_t k = 0; k < limits.size(); ++k) {
    const double b = limits[k];
    Limit& limit = plan_[k];
    // Only limits above a share the first point ia_; the end-piece shortcuts
    // of HermiteIntegral are cheap already.
    if (!(b > a) || b <= x[1] || a >= x[last - 1]) continue;
    // ib: last point at or before b, as HermiteIntegral's downward scan finds it.
    const auto after = std::upper_bound(x.begin() + static_cast<std::ptrdiff_t>(ia_), x.end(), b);
    if (after == x.begin() + static_cast<std::ptrdiff_t>(ia_)) {
      // No point inside [a, b]; ia_ > 0 here since b > x[1].
      limit.route = Limit::Route::kOnePiece;
      limit.piece = ia_ - 1;
      limit.cubic = CubicPiece(x[ia_ - 1], x[ia_], a, b);
      continue;
    }
    limit.route = Limit::Route::kSpan;
    limit.ib = static_cast<std::size_t>(after - x.begin()) - 1;
    sumEnd_ = std::max(sumEnd_, limit.ib);
    limit.rightPiece = b > x[limit.ib];
    if (limit.rightPiece) {
      limit.piece = std::min(limit.ib + 1, last) - 1;
      limit.cubic = CubicPiece(x[limit.piece], x[limit.piece + 1], x[limit.ib], b);
    }
  }
  width_.resize(last);
  sixth_.resize(last);
  for (std::size_t i = ia_; i < sumEnd_; ++i) {
    width_[i] = IntervalWidth(x, i);
    sixth_[i] = Extended(width_[i]) / 6;
  }
}

namespace {

// Room for the running sums of one curve: on the stack for a block's grid.
class SumBuffer {
 public:
  explicit SumBuffer(std::size_t count) {
    if (count > stack_.size()) heap_.resize(count);
  }
  double* data() { return heap_.empty() ? stack_.data() : heap_.data(); }

 private:
  std::array<double, input::kMaxTimePoints> stack_;
  std::vector<double> heap_;
};

}  // namespace

void CurveIntegrator::Integrate(std::span<const double> f, std::span<const double> d,
                                std::span<double> out) const {
  // HermiteSpanIntegral starts from 0 at ia and adds the intervals in
  // increasing order, so its sum up to any ib is this running sum.
  SumBuffer buffer(sumEnd_ + 1);
  double* sums = buffer.data();
  sums[ia_] = 0;
  for (std::size_t i = ia_; i < sumEnd_; ++i) {
    sums[i + 1] = AddIntervalTwice(width_[i], sixth_[i], f[i], f[i + 1], d[i], d[i + 1], sums[i]);
  }
  FromSums(f, d, sums, out);
}

void CurveIntegrator::IntegrateTwo(std::span<const double> f0, std::span<const double> d0,
                                   std::span<double> out0, std::span<const double> f1,
                                   std::span<const double> d1, std::span<double> out1) const {
  // Each running sum is a chain of dependent additions; two chains side by
  // side keep the processor busy while each waits for its last sum.
  SumBuffer buffer0(sumEnd_ + 1);
  SumBuffer buffer1(sumEnd_ + 1);
  double* sums0 = buffer0.data();
  double* sums1 = buffer1.data();
  sums0[ia_] = 0;
  sums1[ia_] = 0;
  for (std::size_t i = ia_; i < sumEnd_; ++i) {
    sums0[i + 1] =
        AddIntervalTwice(width_[i], sixth_[i], f0[i], f0[i + 1], d0[i], d0[i + 1], sums0[i]);
    sums1[i + 1] =
        AddIntervalTwice(width_[i], sixth_[i], f1[i], f1[i + 1], d1[i], d1[i + 1], sums1[i]);
  }
  FromSums(f0, d0, sums0, out0);
  FromSums(f1, d1, sums1, out1);
}

void CurveIntegrator::FromSums(std::span<const double> f, std::span<const double> d,
                               const double* sums, std::span<double> out) const {
  const std::size_t l = leftAt_;
  const double left = leftPiece_ ? left_.Integral(f[l], f[l + 1], d[l], d[l + 1]) : 0.0;
  for (std::size_t k = 0; k < plan_.size(); ++k) {
    const Limit& limit = plan_[k];
    const std::size_t p = limit.piece;
    switch (limit.route) {
      case Limit::Route::kGeneral:
        out[k] = HermiteIntegral(x_, f, d, a_, limits_[k]);
        break;
      case Limit::Route::kOnePiece:
        out[k] = limit.cubic.Integral(f[p], f[p + 1], d[p], d[p + 1]);
        break;
      case Limit::Route::kSpan: {
        double value = limit.ib > ia_ ? Stored(0.5L * sums[limit.ib]) : 0.0;
        if (leftPiece_) value = Stored(Extended(left) + value);
        if (limit.rightPiece) {
          value = Stored(Extended(limit.cubic.Integral(f[p], f[p + 1], d[p], d[p + 1])) + value);
        }
        out[k] = value;
        break;
      }
    }
  }
}

}  // namespace quillmore::integration
