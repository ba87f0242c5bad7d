// The annual doses of each person summed by nuclide or by route: the same
// per-part values as the person's own sum, added in the same order.
#pragma once

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "integration/annual_doses.h"

namespace quillmore::integration {

enum class DoseGroup { kNuclide, kRoute };
// "nuclide" or "route".
std::string_view DoseGroupName(DoseGroup group);

// One nuclide's or route's doses of a person, from the first year any of its
// parts holds to the person's last.
struct GroupDoses {
  std::string name;  // the nuclide, normalised; or the route's data set ("inhalation")
  YearDoses doses;
};

class GroupedDoses {
 public:
  explicit GroupedDoses(DoseGroup by) : by_(by) {}
  DoseGroup by() const { return by_; }
  // Adds the doses of one part of `intake` to its person's group, value by
  // value, keeping the worse status. Given the parts in the order the
  // person's sum takes them, each group's values are the sums the person's
  // would be over that group's parts alone.
  void Add(const ResolvedIntake& intake, const YearDoses& part);
  // The groups of `person` in order of first appearance; none when no part of
  // theirs was added.
  std::span<const GroupDoses> Of(const std::string& person) const;
  // Drops the groups of `person`, written and needed no more.
  void Release(const std::string& person) { persons_.erase(person); }

 private:
  DoseGroup by_;
  std::map<std::string, std::vector<GroupDoses>> persons_;
};

}  // namespace quillmore::integration
