// How the outputs name a row group's form, by the form number that
// input::FormCounter counts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "input/data_kind.h"
#include "input/dose_rate_file.h"

namespace quillmore::output {

// The label of a chemical form, by the element (the name before its first
// '-', compared exactly) and the label number: H 4-6, C 4-5, S 4-5, I 5, Hg 4-7.
// Empty for every other combination and for a name without '-'.
std::string_view ChemicalFormLabel(std::string_view nuclideName, std::int32_t labelNumber);

// The class code alone (inhalation) or the f1 text (ingestion), trimmed of
// blanks: the form code of the CSV and JSON files.
std::string FormCode(const input::BlockHeader& header, input::DataKind kind);

// The form as messages and plots name it: "class M" or "class V (Water Vapor)"
// (inhalation), "f1 0.1" (ingestion).
std::string FormWords(const input::BlockHeader& header, input::DataKind kind,
                      std::int32_t labelNumber);

}  // namespace quillmore::output
