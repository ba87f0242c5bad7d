// Whether a nuclide's blocks cover the integration times: periods past the
// last tabulated time (the last cubic piece is extended there) and blocks of
// a single time point (the tabulated rate stands in for the integral). Both
// are worth a note; neither is an error.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillmore::input {

class TimeCoverage {
 public:
  explicit TimeCoverage(std::span<const double> integrationTimes);

  // One block: its number of time points and its last time (days).
  void AddBlock(int timePointCount, double lastTimeDays);

  // The notes for `nuclide` (as shown, without blanks), in a fixed order;
  // empty when every block was integrated within its data. `how` follows
  // "their curves are extended" (" by the exponential tail"; empty for the
  // last piece continued).
  std::vector<std::string> Notes(std::string_view nuclide, std::string_view how = {}) const;

 private:
  std::span<const double> integrationTimes_;
  std::vector<bool> pastLastTime_;
  double earliestLastTime_ = 0;
  bool extended_ = false;
  int singlePointBlocks_ = 0;
};

}  // namespace quillmore::input
