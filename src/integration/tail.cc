#include "integration/tail.h"

#include <cmath>

#include "integration/extended.h"

namespace quillmore::integration {

const char* TailName(Tail tail) {
  switch (tail) {
    case Tail::kCubic:
      return "cubic";
    case Tail::kExponential:
      return "exponential";
    case Tail::kZero:
      return "zero";
  }
  return "cubic";
}

std::optional<Tail> ParseTail(std::string_view name) {
  for (const Tail tail : {Tail::kCubic, Tail::kExponential, Tail::kZero}) {
    if (name == TailName(tail)) return tail;
  }
  return std::nullopt;
}

TailCurve TailCurve::Of(Tail tail, double tPrev, double tLast, double fPrev, double fLast) {
  TailCurve curve;
  if (tail != Tail::kExponential || !(fLast > 0)) return curve;
  curve.rate_ = fLast;
  if (fPrev > fLast) {
    curve.decay_ = Stored(std::log(Extended(fPrev) / fLast) / (Extended(tLast) - tPrev));
  }
  return curve;
}

double TailCurve::Rate(double u) const {
  if (decay_ == 0) return rate_;
  return Stored(rate_ * std::exp(-Extended(decay_) * u));
}

double TailCurve::Integral(double u1, double u2) const {
  if (rate_ == 0 || !(u2 > u1)) return 0;
  if (decay_ == 0) return Stored(Extended(rate_) * (Extended(u2) - u1));
  // rate / decay x exp(-decay u1) x (1 - exp(-decay (u2 - u1))): expm1 keeps
  // the digits of a short stretch, and no difference of two large terms.
  const Extended k = decay_;
  return Stored(Extended(rate_) / k * std::exp(-k * u1) * -std::expm1(-k * (Extended(u2) - u1)));
}

namespace {

// 1 - exp(-y) (1 + y) for y >= 0, with its digits kept for small y, where the
// two terms nearly cancel: the series sum over n >= 2 of (-1)^n (n - 1) y^n / n!.
Extended FirstMomentFactor(Extended y) {
  if (y > 0.5L) return -std::expm1(-y) - y * std::exp(-y);
  Extended term = y * y / 2, sum = 0;
  for (int n = 2; term != 0 && n < 40; ++n) {
    const Extended add = (n - 1) * term;
    sum += n % 2 == 0 ? add : -add;
    if (add < 1e-22L * sum) break;
    term *= y / (n + 1);
  }
  return sum;
}

}  // namespace

double TailCurve::KernelIntegral(double u1, double u2, double level, double slope) const {
  if (slope == 0) return Stored(Extended(level) * Integral(u1, u2));
  if (rate_ == 0 || !(u2 > u1)) return 0;
  const Extended w = Extended(u2) - u1;
  if (decay_ == 0) return Stored(Extended(rate_) * (level * w + slope * w * w / 2));
  // rate x exp(-k u1) x (level x (1 - exp(-k w)) / k + slope x (1 - exp(-k w) (1 + k w)) / k^2).
  const Extended k = decay_;
  const Extended y = k * w;
  const Extended zeroth = -std::expm1(-y) / k;
  const Extended first = FirstMomentFactor(y) / (k * k);
  return Stored(Extended(rate_) * std::exp(-k * u1) * (level * zeroth + slope * first));
}

}  // namespace quillmore::integration
