// Which form of a nuclide's age group a typed form names, for an intake row
// and for a curve asked for by form.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "base/result.h"

namespace quillmore::input {

// A form as the outputs name it: its number (from 1) and its code (the
// inhalation class or the ingestion f1 text, UTF-8, blanks at either end
// dropped).
struct FormName {
  int number = 0;
  std::string code;
};

// The index in `forms` of the form `typed` names: a whole number from 1 to
// the number of forms is a form number; any other number a code of that value
// ("0.3", "3E-1" and "3.0E-01" name the same f1); other text a code, ignoring
// the case of letters. kUnknownName "no such form"; kInvalidArgument "the code
// is ambiguous" where two forms share it.
base::Result<std::size_t> FindForm(std::string_view typed, std::span<const FormName> forms);

}  // namespace quillmore::input
