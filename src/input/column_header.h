// A table's header matched to the columns a reader knows: what the intake
// and sites readers share, so that both take and refuse headers alike.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "input/fault_list.h"

namespace quillmore::input {

// A column of a table: its name, and whether a table must hold it.
struct ColumnRule {
  std::string_view name;
  bool required = true;
};

// The position of a column the header does not name.
inline constexpr std::size_t kAbsentColumn = static_cast<std::size_t>(-1);

// The columns a header names, and what it names besides.
struct HeaderMatch {
  std::vector<std::size_t> at;       // by rule: its position in the header, or kAbsentColumn
  std::vector<std::string> unknown;  // as written, blanks at either end dropped
  std::vector<std::string> twice;
  std::vector<std::string> missing;  // required columns absent

  bool complete() const { return missing.empty(); }
};

// Matches `names` to `rules` ignoring case and blanks at either end.
HeaderMatch MatchHeader(std::span<const std::string_view> names, std::span<const ColumnRule> rules);
HeaderMatch MatchHeader(const std::vector<std::string>& names, std::span<const ColumnRule> rules);

// Adds the faults of a header on `line`, none when its columns can be read,
// and says whether there were none; `split` names how the header was split
// ("" for a frame's columns). An unknown name close to a missing column is
// taken for a typo of it: refused rather than ignored, so that no column is
// misread.
bool HeaderFaults(int line, const HeaderMatch& match, std::string_view split, FaultList& faults);

// Adds the note on the columns a header names that are not known.
void IgnoredNote(int line, const HeaderMatch& match, std::vector<Fault>& notes);

// One column of a table held in memory (a data frame's): its name and its
// fields as text, one a row.
struct IntakeColumn {
  std::string name;
  std::vector<std::string> fields;
};

// The header of `columns` matched to `rules` (faults, the note on unknown
// names and all, on line 1); nothing, with the fault added, for no columns
// (`empty`, the reader's fault of an empty file), columns of unequal length
// or a header that cannot be read.
std::optional<HeaderMatch> MatchFrameHeader(std::span<const IntakeColumn> columns,
                                            std::span<const ColumnRule> rules,
                                            std::string_view empty, FaultList& faults,
                                            std::vector<Fault>& notes);

}  // namespace quillmore::input
