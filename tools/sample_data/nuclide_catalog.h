// The nuclides a sample data set holds and the forms in which each is
// tabulated: the default set of real names and half-lives, or a large set of
// synthetic names for benchmarks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillmore::tools {

struct NuclidePlan {
  std::string name;                      // normalised and blank-padded to 7 characters
  double halfLifeDays = 0;               // radioactive half-life
  char letLetter = 'L';                  // 'L' (low LET), 'B' (both, two records a point), 'H'
  std::string inhalationClasses;         // one class code per inhalation form; empty: none
  std::vector<std::string> ingestionF1;  // one 8-character f1 text per ingestion form
  int minTimePoints = 20;                // each block draws its point count from this range
  int maxTimePoints = 25;
};

// The default set: about forty real nuclides chosen so that the data exercise
// every path of the program (chemical-form labels, metastable names, L, B and
// H blocks, a nuclide in one file only, a single-point block). Sorted by name.
std::vector<NuclidePlan> DefaultNuclides();

// `count` synthetic but well-formed names ("Qc-117 ", "Qa-53m ") with a mix of
// forms and LET letters, drawn from `seed`. Sorted by name; count at most
// kMaxSyntheticNuclides.
inline constexpr int kMaxSyntheticNuclides = 9997;  // the index holds records up to 9999
std::vector<NuclidePlan> SyntheticNuclides(int count, std::uint64_t seed);

}  // namespace quillmore::tools
