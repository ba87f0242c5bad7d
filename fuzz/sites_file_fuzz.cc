// The sites file of quillmore-batch --format risk from memory: every file
// it accepts against the rules it states, every fault placed.
#include <cmath>
#include <string>

#include "fuzz_support.h"
#include "input/sites_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillmore;
  const input::SitesFile file = input::ReadSitesFile(fuzz::AsText(data, size));
  fuzz::Check(!file.faults.empty() || !file.sites.empty(), "sites or faults");
  for (const input::Fault& fault : file.faults) {
    fuzz::Check(fault.line >= 0 && !fault.message.empty(), "faults say where and what");
  }
  if (!file.faults.empty()) return 0;
  for (const input::Site& site : file.sites) {
    fuzz::Check(!site.name.empty() && !site.regions.empty(), "a named site with regions");
    long double sum = 0;
    for (const input::SiteRegion& region : site.regions) {
      fuzz::Check(!region.region.empty(), "a region given");
      fuzz::Check(region.weight > 0 && region.weight <= 1, "a weight above 0, at most 1");
      sum += region.weight;
    }
    fuzz::Check(std::fabs(sum - 1) <= input::kSiteWeightTolerance, "weights add up to 1");
  }
  return 0;
}
