#include "integration/curve_extension.h"

#include "integration/hermite_integral.h"

namespace quillmore::integration {

Extrapolation JudgeCurveExtension(std::span<const double> x, std::span<const double> f,
                                  std::span<const double> d, double doseAtLast, double limit) {
  const std::size_t last = x.size() - 1;
  if (!(limit > x[last])) return Extrapolation::kNone;
  // The piece the coefficients continue, integrated over what lies past the
  // data alone, so that no difference of two large integrals hides it.
  const double added = CubicPieceIntegral(x[last - 1], x[last], f[last - 1], f[last], d[last - 1],
                                          d[last], x[last], limit);
  return JudgeExtension(added, f[last], limit - x[last], doseAtLast);
}

}  // namespace quillmore::integration
