#include "run/history_note.h"

#include <cmath>

#include "input/fault_list.h"

namespace quillmore::run {
namespace {

std::string Count(std::size_t count, const char* one, const char* more) {
  return std::to_string(count) + " " + (count == 1 ? one : more);
}

// "38 %"; "under 1 %" for a share that rounds to none.
std::string Percent(double share) {
  const long percent = std::lround(share * 100);
  return percent == 0 ? "under 1 %" : std::to_string(percent) + " %";
}

}  // namespace

void AddPastShares(const integration::PersonDoses& person, PastShare& largest) {
  const integration::YearDoses& doses = person.doses;
  if (!doses.hasTails()) return;
  for (int year = doses.firstYear(); year < doses.firstYear() + doses.yearCount(); ++year) {
    for (int j = 0; j < doses.regionCount(); ++j) {
      for (const bool high : {false, true}) {
        const double value = high ? doses.high(year, j) : doses.low(year, j);
        const double tail = high ? doses.highTail(year, j) : doses.lowTail(year, j);
        if (!(value > 0) || !(tail / value > largest.share)) continue;
        largest = {tail / value, &person, year, j, high};
      }
    }
  }
}

std::optional<std::string> PastDataNote(integration::Tail tail, const PastDataCounts& counts,
                                        const PastShare& largest,
                                        const std::vector<int>& selectedRegions) {
  if (tail == integration::Tail::kCubic || counts.pastIntakes == 0) return std::nullopt;
  const bool one = counts.pastIntakes == 1;
  std::string note = std::to_string(counts.pastIntakes) + " of " +
                     Count(counts.intakes, "intake", "intakes") + (one ? " runs" : " run") +
                     " past the last tabulated time of " + (one ? "its" : "their") +
                     " data; past it the rate follows the " + integration::TailName(tail) + " tail";
  // Under the zero tail nothing comes from past the data: its columns hold 0.
  if (tail == integration::Tail::kZero) return note;
  note += " (columns low_let_tail_gy, high_let_tail_gy)";
  if (largest.person == nullptr) {
    note += "; no dose comes from past the data";
  } else {
    note += "; the largest share from past the data is " + Percent(largest.share) + " (person " +
            largest.person->person + ", year " + std::to_string(largest.year) + ", region " +
            std::to_string(selectedRegions[static_cast<std::size_t>(largest.position)]) +
            (largest.high ? ", high LET)" : ", low LET)");
  }
  if (counts.constantBlocks > 0) {
    note += "; " + Count(counts.constantBlocks, "block", "blocks") +
            " whose last two rates do not fall " +
            (counts.constantBlocks == 1 ? "keeps its" : "keep their") + " last rate";
  }
  return note;
}

std::optional<std::string> LeftOutNote(const input::TablePlaces& places, std::span<const int> lines,
                                       std::span<const std::string> persons,
                                       const std::string& limit) {
  if (lines.empty()) return std::nullopt;
  const bool one = lines.size() == 1;
  std::string note = Count(lines.size(), "intake starts", "intakes start") +
                     " on or after the end of follow-up set by " + limit +
                     (one ? " and contributes nothing (" : " and contribute nothing (") +
                     (places.frameIndex ? "" : places.label + (one ? " line " : " lines "));
  // A data frame's rows are named one by one, by position and index label.
  for (std::size_t i = 0; i < lines.size() && i < kLeftOutRowsShown; ++i) {
    note += (i == 0 ? "" : ", ") +
            (places.frameIndex ? places.Within(lines[i]) : std::to_string(lines[i]));
  }
  if (lines.size() > kLeftOutRowsShown)
    note += " and " + std::to_string(lines.size() - kLeftOutRowsShown) + " more";
  note += ")";
  if (persons.empty()) return note;
  note += "; " + Count(persons.size(), "person is", "persons are") + " left with no intake and " +
          (persons.size() == 1 ? "has" : "have") + " no rows: ";
  for (std::size_t i = 0; i < persons.size() && i < input::kFaultsShown; ++i)
    note += (i == 0 ? "" : ", ") + persons[i];
  if (persons.size() > input::kFaultsShown)
    note += " and " + std::to_string(persons.size() - input::kFaultsShown) + " more";
  return note;
}

}  // namespace quillmore::run
