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

}  // namespace quillmore::integration
