// The doses of an intake history by calendar year: what the history run
// computes and the writers of annual_doses.csv, annual_doses_by_intake.csv
// and annual_doses.json take.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "input/intake_calendar.h"
#include "input/intake_file.h"
#include "integration/extrapolation_check.h"
#include "integration/lognormal_sum.h"

namespace quillmore::integration {

// Leaves what a vector grows by unset: for tables whose every value is
// written next, so that tens of megabytes are not zeroed only to be
// overwritten.
template <class T>
struct UnsetOnGrowth : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UnsetOnGrowth<U>;
  };
  UnsetOnGrowth() = default;
  template <class U>
  explicit UnsetOnGrowth(const UnsetOnGrowth<U>&) {}
  template <class U>
  void construct(U* at) {
    ::new (static_cast<void*>(at)) U;
  }
  template <class U, class... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }
};

// Low- and high-LET doses (Gy), the part of each from past the data's last
// tabulated time, and their extrapolation status by year (from firstYear) and
// selected region (by position). The parts from past the data take room only
// once one is set: most histories stay within their data, where every one is 0.
class YearDoses {
 public:
  // All zero, kNone, for `yearCount` years from `firstYear` and `regionCount` regions.
  void Reset(int firstYear, int yearCount, int regionCount);
  // Sized as Reset sizes it, the zeros left to the first Add or Hold: the
  // first Add then writes each value once, while the table is in the cache.
  // Nothing may be read before.
  void Shape(int firstYear, int yearCount, int regionCount);
  // All zero, kNone, unless held already.
  void Hold();
  // Sized as Reset sizes it, the values and statuses left as they were: for
  // a table whose every one is written next (the room of a reused table is
  // kept); the parts from past the data are 0 until set.
  void Resize(int firstYear, int yearCount, int regionCount);
  int firstYear() const { return firstYear_; }
  int yearCount() const { return yearCount_; }
  int regionCount() const { return regionCount_; }

  double& low(int year, int region) { return low_[At(year, region)]; }
  double& high(int year, int region) { return high_[At(year, region)]; }
  Extrapolation& extrapolation(int year, int region) { return extrapolation_[At(year, region)]; }
  double low(int year, int region) const { return low_[At(year, region)]; }
  double high(int year, int region) const { return high_[At(year, region)]; }
  double lowTail(int year, int region) const { return tails_ ? lowTail_[At(year, region)] : 0; }
  double highTail(int year, int region) const { return tails_ ? highTail_[At(year, region)] : 0; }
  // Some part from past the data was set (or added); without one every part is 0.
  bool hasTails() const { return tails_; }
  void SetTails(int year, int region, double low, double high);
  Extrapolation extrapolation(int year, int region) const {
    return extrapolation_[At(year, region)];
  }
  // Adds `part` (whose years lie within these) value by value, keeping the worse status.
  void Add(const YearDoses& part);

 private:
  // `year` is a calendar year; `region` a position from 0.
  std::size_t At(int year, int region) const {
    return static_cast<std::size_t>((year - firstYear_) * regionCount_ + region);
  }

  // Gives the parts from past the data their room, all 0, unless they have it.
  void HoldTails();

  int firstYear_ = 0, yearCount_ = 0, regionCount_ = 0;
  bool tails_ = false;  // lowTail_ and highTail_ hold the table's parts
  bool held_ = false;   // the values have their room
  // The first Add into a table shaped but not held: 0 + the part's values,
  // 0 elsewhere.
  void FirstAdd(const YearDoses& part);

  std::vector<double, UnsetOnGrowth<double>> low_, high_;
  std::vector<double> lowTail_, highTail_;
  std::vector<Extrapolation, UnsetOnGrowth<Extrapolation>> extrapolation_;
};

// The exact moments of the low- and high-LET values by year and region, as
// YearDoses holds the values, when the intakes are uncertain.
class YearMoments {
 public:
  // All zero for `yearCount` years from `firstYear` and `regionCount` regions.
  void Reset(int firstYear, int yearCount, int regionCount);
  // Nothing held: the run computes no moments.
  bool empty() const { return moments_.empty(); }
  // `let` is kLowLet or kHighLet (coefficient_table.h); `region` a position from 0.
  Moments& at(int year, int region, int let) { return moments_[At(year, region, let)]; }
  const Moments& at(int year, int region, int let) const { return moments_[At(year, region, let)]; }

 private:
  std::size_t At(int year, int region, int let) const {
    return static_cast<std::size_t>(((year - firstYear_) * regionCount_ + region) * 2 + let);
  }

  int firstYear_ = 0, regionCount_ = 0;
  std::vector<Moments> moments_;
};

// One part of an intake: the whole intake, or its stretch within one age group.
struct IntakePartDoses {
  input::IntakePart part;
  double activityBq = 0;  // the part's share of the intake
  int formNumber = 0;
  std::string formCode;      // output::FormCode, single-byte data text
  bool contributes = false;  // false for a block the tables leave out
  std::string warning;       // why it does not contribute, as the run reported it
};

// An intake row as the history run resolved it.
struct ResolvedIntake {
  const input::IntakeRow* row = nullptr;
  std::string nuclide;  // normalised, without padding
  std::vector<IntakePartDoses> parts;
};

struct PersonDoses {
  std::string person;
  input::Days birthDate;
  // 00:00 of the day the follow-up ends: the year holding it is the last,
  // counted up to it.
  input::Days end;
  std::vector<const ResolvedIntake*> intakes;  // in file order
  YearDoses doses;
  std::vector<std::string> warnings;
  std::optional<input::Sex> sex;  // as the intake file gives it
  // The moments of every value of `doses`, each intake lognormal about its
  // activity; empty unless the run computes them.
  YearMoments moments;
  // The doses and moments of the run's sites (by position, as `doses` holds
  // regions), each a weighted sum of regions, with the worst status of those
  // regions; empty unless the run has sites.
  YearDoses siteDoses{};
  YearMoments siteMoments{};
};

}  // namespace quillmore::integration
