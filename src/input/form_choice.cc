#include "input/form_choice.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "base/text.h"

namespace quillmore::input {
namespace {

std::optional<double> NumberOf(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

base::Result<std::size_t> FindForm(std::string_view typed, std::span<const FormName> forms) {
  const std::optional<int> number =
      base::WholeNumber(typed, 1, static_cast<int>(std::max<std::size_t>(forms.size(), 1)));
  const bool digits = !typed.empty() && std::all_of(typed.begin(), typed.end(),
                                                    [](char c) { return c >= '0' && c <= '9'; });
  const std::optional<double> value = NumberOf(typed);
  std::optional<std::size_t> found;
  int matches = 0;
  for (std::size_t i = 0; i < forms.size(); ++i) {
    bool match = false;
    if (number && digits) {
      match = forms[i].number == *number;
    } else if (value) {
      match = NumberOf(forms[i].code) == value;
    } else {
      match = base::AsciiLower(forms[i].code) == base::AsciiLower(typed);
    }
    if (match && !found) found = i;
    matches += match ? 1 : 0;
  }
  if (matches == 1) return *found;
  if (matches == 0) return base::Status::UnknownName("no such form");
  return base::Status::InvalidArgument("the code is ambiguous");
}

}  // namespace quillmore::input
