// Nuclide names in the form the index stores them: "Tc-99m ", "H-3    ".
#pragma once

#include <string>

namespace quillmore::input {

// Width of the name field of the index and of block headers.
inline constexpr std::size_t kNuclideNameWidth = 7;

// Normalises a typed name in place and returns it: blanks (only) trimmed at
// both ends, each run of ASCII letters capitalised, a final capital made lower
// case (the metastable suffix), then blank-padded to 7 characters; longer names
// keep their length and so never match an index entry. Bytes outside ASCII are
// left unchanged.
std::string NormaliseNuclideName(std::string& nuclideName);

}  // namespace quillmore::input
