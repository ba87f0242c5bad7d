// What a rate curve is taken to be past its block's last tabulated time t_N.
#pragma once

#include <optional>
#include <string_view>

namespace quillmore::integration {

// kCubic continues the last cubic piece (the tables' rule, judged by the
// far-extrapolation check); kExponential follows the last segment's own
// decay, or keeps the last rate where it was not falling (a bound);
// kZero takes nothing past the data (a lower bound).
enum class Tail { kCubic, kExponential, kZero };

// "cubic", "exponential", "zero".
const char* TailName(Tail tail);
// The tail named exactly by one of those words; empty otherwise.
std::optional<Tail> ParseTail(std::string_view name);

// The rate past t_N of one curve under kExponential or kZero, as
// r(u) = rate x exp(-decay x u) for u >= 0 days past t_N.
class TailCurve {
 public:
  // The tail of the curve whose last two tabulated points are (tPrev, fPrev)
  // and (tLast, fLast): under kExponential, decay = ln(fPrev / fLast) /
  // (tLast - tPrev) when fPrev > fLast > 0, the constant fLast when fLast > 0
  // and fPrev <= fLast, and 0 when fLast <= 0; under kZero (and kCubic, which
  // has no closed-form tail) the zero rate.
  static TailCurve Of(Tail tail, double tPrev, double tLast, double fPrev, double fLast);

  double rate() const { return rate_; }
  double decay() const { return decay_; }
  // A positive rate that does not fall: the last rate kept as a bound.
  bool keepsLastRate() const { return rate_ > 0 && decay_ == 0; }

  // The rate u days past t_N.
  double Rate(double u) const;
  // The exact integral over [u1, u2] days past t_N (0 <= u1 <= u2), by a
  // form that keeps its digits for short stretches far past t_N.
  double Integral(double u1, double u2) const;
  // The exact integral over [u1, u2] of the rate weighted by level + slope x
  // (u - u1): a spread intake's trapezoid of days (0 <= u1 <= u2).
  double KernelIntegral(double u1, double u2, double level, double slope) const;

 private:
  double rate_ = 0;
  double decay_ = 0;  // per day
};

}  // namespace quillmore::integration
