// Doses over calendar years from acute and constant-rate intakes, each an
// integral over its own stretch of the rate curve: never the difference of two
// integrals from 0, so a dose decades after an intake keeps full precision.
// Built from the slopes and whole-piece integrals the coefficients use.
#pragma once

#include <span>
#include <vector>

#include "integration/extrapolation_check.h"

namespace quillmore::integration {

// A stretch [from, to] of the rate curve (days after intake, 0 <= from <= to)
// and its weight; a dose per Bq is a weighted sum of such integrals. The
// pieces are those holding `from` and `to`, found once for every curve of a
// block (they share the time points).
struct DoseWindow {
  double weight = 0;
  double from = 0;
  double to = 0;
  int fromPiece = 0;
  int toPiece = 0;
};

// Windows of an acute intake at `intakeDay` for the interval [t1, t2) (days
// as whole day numbers, such as days since 1970). Appends at most one window.
void AcuteWindows(double intakeDay, double t1, double t2, std::vector<DoseWindow>& windows);

// Windows of a constant-rate intake over [s0, s1) for [t1, t2): the year's t
// is cut at s0, s1 and the `times` (the block's time points) shifted by s0 and
// by s1; on each cut the window integral over [max(0, t - s1), max(0, t - s0)]
// is a quartic in t, which the three-point Gauss-Legendre rule integrates
// exactly. The weights include 1 / (s1 - s0), so the sum is per Bq taken in.
// s0, s1, t1 and t2 are whole day numbers.
void SpreadWindows(double s0, double s1, double t1, double t2, std::span<const double> times,
                   std::vector<DoseWindow>& windows);

// Sets each window's pieces for the time points `times` (at least 2).
void FindPieces(std::span<const double> times, std::span<DoseWindow> windows);

// One rate curve with its whole-piece integrals, each formed once as the
// coefficients form them. Keeps the spans: x, f and d must outlive it.
class PieceIntegrals {
 public:
  // x strictly increasing with 2 or more points (HermiteSlopes succeeded), d its slopes.
  PieceIntegrals(std::span<const double> x, std::span<const double> f, std::span<const double> d);

  // The integral of the curve from `from` to `to` over the pieces the window
  // names: the two partial end pieces plus the whole pieces between.
  double Integral(const DoseWindow& window) const;

  // The weighted sum over `windows` (Gy/Bq), and how far it rests on the
  // continued last piece, judged per Bq by JudgeExtension.
  struct Dose {
    double value = 0;
    Extrapolation extrapolation = Extrapolation::kNone;
  };
  Dose Sum(std::span<const DoseWindow> windows) const;

 private:
  double Partial(int piece, double from, double to) const;

  std::span<const double> x_, f_, d_;
  std::vector<double> whole_;            // integral over piece i, from x[i] to x[i+1]
  std::vector<double> wholeFromSecond_;  // [i]: the sum of whole_[1] to whole_[i - 1]
  double head_ = 0;                      // the first piece, from 0 to x[1]
  bool zero_;                            // every rate and slope 0: every integral is 0
  double doseAtLast_ = 0;                // from 0 to the last time point
};

}  // namespace quillmore::integration
