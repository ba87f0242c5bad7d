#include "input/time_coverage.h"

#include "base/text.h"

namespace quillmore::input {

TimeCoverage::TimeCoverage(std::span<const double> integrationTimes)
    : integrationTimes_(integrationTimes), pastLastTime_(integrationTimes.size(), false) {}

void TimeCoverage::AddBlock(int timePointCount, double lastTimeDays) {
  if (timePointCount == 1) ++singlePointBlocks_;
  if (timePointCount < 2) return;
  bool past = false;
  for (std::size_t k = 0; k < integrationTimes_.size(); ++k) {
    if (integrationTimes_[k] > lastTimeDays) pastLastTime_[k] = past = true;
  }
  if (past && (!extended_ || lastTimeDays < earliestLastTime_)) earliestLastTime_ = lastTimeDays;
  extended_ = extended_ || past;
}

std::vector<std::string> TimeCoverage::Notes(std::string_view nuclide, std::string_view how) const {
  std::vector<std::string> notes;
  const std::string name(nuclide);
  if (extended_) {
    std::string periods;
    for (std::size_t k = 0; k < integrationTimes_.size(); ++k) {
      if (pastLastTime_[k])
        periods += (periods.empty() ? "" : ", ") + base::ShortestText(integrationTimes_[k]);
    }
    notes.push_back(name + ": periods " + periods +
                    " d lie past the last tabulated time of some blocks (earliest " +
                    base::ShortestText(earliestLastTime_) + " d); their curves are extended" +
                    std::string(how));
  }
  if (singlePointBlocks_ > 0) {
    notes.push_back(name + ": " + std::to_string(singlePointBlocks_) +
                    (singlePointBlocks_ == 1 ? " block holds one time point; its rows give"
                                             : " blocks hold one time point; their rows give") +
                    " the tabulated rate (Gy/Bq per day), not an integral");
  }
  return notes;
}

}  // namespace quillmore::input
