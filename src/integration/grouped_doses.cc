#include "integration/grouped_doses.h"

#include <algorithm>

#include "input/data_kind.h"

namespace quillmore::integration {

std::string_view DoseGroupName(DoseGroup group) {
  return group == DoseGroup::kNuclide ? "nuclide" : "route";
}

void GroupedDoses::Add(const ResolvedIntake& intake, const YearDoses& part) {
  const std::string name = by_ == DoseGroup::kNuclide
                               ? intake.nuclide
                               : std::string(input::DataSetOf(intake.row->kind).name);
  std::vector<GroupDoses>& groups = persons_[intake.row->person];
  auto group = std::find_if(groups.begin(), groups.end(),
                            [&](const GroupDoses& g) { return g.name == name; });
  const int partLast = part.firstYear() + part.yearCount() - 1;
  if (group == groups.end()) {
    groups.push_back({name, {}});
    group = groups.end() - 1;
    group->doses.Reset(part.firstYear(), part.yearCount(), part.regionCount());
  } else {
    YearDoses& doses = group->doses;
    const int last = doses.firstYear() + doses.yearCount() - 1;
    if (part.firstYear() < doses.firstYear() || partLast > last) {
      // A later row may start earlier: the sum so far moves into wider years
      // (adding it to zeros changes no value).
      const int first = std::min(part.firstYear(), doses.firstYear());
      YearDoses wider;
      wider.Reset(first, std::max(partLast, last) - first + 1, doses.regionCount());
      wider.Add(doses);
      doses = std::move(wider);
    }
  }
  group->doses.Add(part);
}

std::span<const GroupDoses> GroupedDoses::Of(const std::string& person) const {
  const auto found = persons_.find(person);
  if (found == persons_.end()) return {};
  return found->second;
}

}  // namespace quillmore::integration
