#include "input/column_header.h"

#include <algorithm>

#include "base/text.h"
#include "input/name_suggestions.h"

namespace quillmore::input {
namespace {

constexpr std::size_t kMaxGuessDistance = 2;

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// "\"a\"", "\"a\", \"b\"".
std::string QuotedList(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ", ") + Quoted(name);
  return list;
}

}  // namespace

HeaderMatch MatchHeader(std::span<const std::string_view> names,
                        std::span<const ColumnRule> rules) {
  HeaderMatch match;
  match.at.assign(rules.size(), kAbsentColumn);
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string name = base::TrimBlanks(names[i]);
    const std::string key = base::AsciiLower(name);
    std::size_t column = 0;
    while (column < rules.size() && rules[column].name != key) ++column;
    if (column == rules.size()) {
      match.unknown.push_back(name);
    } else if (match.at[column] != kAbsentColumn) {
      match.twice.push_back(name);
    } else {
      match.at[column] = i;
    }
  }
  for (std::size_t column = 0; column < rules.size(); ++column) {
    if (match.at[column] == kAbsentColumn && rules[column].required)
      match.missing.emplace_back(rules[column].name);
  }
  return match;
}

HeaderMatch MatchHeader(const std::vector<std::string>& names, std::span<const ColumnRule> rules) {
  const std::vector<std::string_view> views(names.begin(), names.end());
  return MatchHeader(views, rules);
}

bool HeaderFaults(int line, const HeaderMatch& match, std::string_view split, FaultList& faults) {
  const std::size_t before = faults.size();
  for (const std::string& name : match.twice)
    faults.Add(line, "column " + Quoted(name) + " appears twice");
  std::vector<std::string> unguessed = match.missing;
  for (const std::string& name : match.unknown) {
    const std::string key = base::AsciiLower(name);
    const auto closest = std::min_element(match.missing.begin(), match.missing.end(),
                                          [&key](const auto& a, const auto& b) {
                                            return EditDistance(key, a) < EditDistance(key, b);
                                          });
    if (closest == match.missing.end() || EditDistance(key, *closest) > kMaxGuessDistance) continue;
    faults.Add(line,
               "column " + Quoted(name) + " is not known; did you mean " + Quoted(*closest) + "?");
    std::erase(unguessed, *closest);
  }
  if (!unguessed.empty()) {
    faults.Add(line, std::string(unguessed.size() == 1 ? "no column " : "no columns ") +
                         QuotedList(unguessed) + (split.empty() ? "" : " in the header, split ") +
                         std::string(split));
  }
  return faults.size() == before;
}

void IgnoredNote(int line, const HeaderMatch& match, std::vector<Fault>& notes) {
  if (match.unknown.empty()) return;
  const bool one = match.unknown.size() == 1;
  notes.push_back({"", line,
                   std::string(one ? "column " : "columns ") + QuotedList(match.unknown) +
                       (one ? " is" : " are") + " not known and ignored",
                   true});
}

std::optional<HeaderMatch> MatchFrameHeader(std::span<const IntakeColumn> columns,
                                            std::span<const ColumnRule> rules,
                                            std::string_view empty, FaultList& faults,
                                            std::vector<Fault>& notes) {
  if (columns.empty()) {
    faults.Add(0, std::string(empty));
    return std::nullopt;
  }
  std::vector<std::string_view> names;
  for (const IntakeColumn& column : columns) {
    if (column.fields.size() != columns[0].fields.size()) {
      faults.Add(0, "the columns differ in length");
      return std::nullopt;
    }
    names.push_back(column.name);
  }
  HeaderMatch match = MatchHeader(names, rules);
  if (!HeaderFaults(1, match, "", faults)) return std::nullopt;
  IgnoredNote(1, match, notes);
  return match;
}

}  // namespace quillmore::input
