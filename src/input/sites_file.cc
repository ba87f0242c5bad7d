#include "input/sites_file.h"

#include <charconv>
#include <cmath>
#include <map>

#include "base/text.h"
#include "input/csv_reader.h"

namespace quillmore::input {
namespace {

enum Column { kSite, kRegion, kWeight, kSex };

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

std::string ShortestText(double value) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return std::string(text, end);
}

// Reads the rows into sites, as the readers share it: `field(c)` gives the
// row's field of column c ("" where the header does not name it).
class SitesReader {
 public:
  SitesReader(SitesFile& file, const TablePlaces& places) : file_(file), places_(places) {}

  template <typename Field>
  void Row(int line, Field&& field) {
    const std::size_t before = file_.faults.size();
    const auto fault = [&](Column column, const std::string& what) {
      file_.faults.Add(line, "column " + Quoted(kSiteColumns[column].name) + ": " + what);
    };
    const std::string name = base::TrimBlanks(field(kSite));
    if (name.empty()) fault(kSite, "is empty");
    SiteRegion region{line, base::TrimBlanks(field(kRegion)), 0};
    if (region.region.empty()) fault(kRegion, "is empty");
    const std::string weight = base::TrimBlanks(field(kWeight));
    const auto [end, error] =
        std::from_chars(weight.data(), weight.data() + weight.size(), region.weight);
    if (weight.empty()) {
      fault(kWeight, "is empty");
    } else if (error != std::errc() || end != weight.data() + weight.size() ||
               !(region.weight > 0 && region.weight <= 1)) {
      fault(kWeight, Quoted(weight) + " is not a weight above 0 and at most 1");
    }
    const std::string sexText = base::TrimBlanks(field(kSex));
    const std::optional<Sex> sex = FindSex(sexText);
    if (!sexText.empty() && !sex)
      fault(kSex, Quoted(sexText) + " is neither female (F) nor male (M)");
    if (name.empty()) return;
    const auto [at, added] = index_.emplace(name, file_.sites.size());
    if (added) {
      file_.sites.push_back({name, sex, {}});
      firstLines_.push_back(line);
      bad_.push_back(false);
    } else if (file_.sites[at->second].sex != sex && (sexText.empty() || sex)) {
      const std::optional<Sex> earlier = file_.sites[at->second].sex;
      fault(kSex, (sex ? Quoted(SexName(*sex)) : std::string("empty")) + " differs from " +
                      (earlier ? std::string(SexName(*earlier)) : std::string("empty")) + " on " +
                      places_.Within(firstLines_[at->second]) + " for site " + Quoted(name));
    }
    Site& site = file_.sites[at->second];
    if (file_.faults.size() != before) bad_[at->second] = true;
    site.regions.push_back(std::move(region));
    lastLines_[at->second] = line;
  }

  // The faults of sites whose weights do not add up to 1.
  void CheckWeights() {
    for (std::size_t s = 0; s < file_.sites.size(); ++s) {
      if (bad_[s]) continue;
      long double sum = 0;
      for (const SiteRegion& region : file_.sites[s].regions) sum += region.weight;
      if (std::fabs(sum - 1) > kSiteWeightTolerance) {
        file_.faults.Add(lastLines_[s], "column \"weight\": the weights of site " +
                                            Quoted(file_.sites[s].name) + " add up to " +
                                            ShortestText(static_cast<double>(sum)) + ", not 1");
      }
    }
  }

 private:
  SitesFile& file_;
  const TablePlaces& places_;
  std::map<std::string, std::size_t> index_;  // by name: the site's place in file_.sites
  std::vector<int> firstLines_;               // by site
  std::map<std::size_t, int> lastLines_;      // by site
  std::vector<bool> bad_;                     // by site: a row of it has a fault
};

constexpr std::string_view kEmpty = "the file is empty";
constexpr std::string_view kHeaderOnly = "the file holds no sites, only its header";

}  // namespace

SitesFile ReadSitesFile(std::string_view bytes) {
  SitesFile file;
  const CsvText csv = ReadCsv(bytes);
  bool columns = false;
  HeaderMatch match;
  if (!csv.records.empty()) {
    const int line = csv.records[0].line;
    match = MatchHeader(csv.records[0].fields, kSiteColumns);
    columns = HeaderFaults(line, match, "by comma", file.faults);
    if (columns) IgnoredNote(line, match, file.notes);
  }
  const TablePlaces places;
  SitesReader reader(file, places);
  for (std::size_t r = 1; columns && r < csv.records.size(); ++r) {
    const CsvRecord& record = csv.records[r];
    if (record.fields.size() != csv.records[0].fields.size()) {
      file.faults.Add(record.line, "the row has " + std::to_string(record.fields.size()) +
                                       " fields, the header " +
                                       std::to_string(csv.records[0].fields.size()));
      continue;
    }
    reader.Row(record.line, [&](Column c) -> std::string_view {
      return match.at[c] == kAbsentColumn ? std::string_view() : record.fields[match.at[c]];
    });
  }
  if (csv.stop) {
    file.faults.Add(csv.stop->line, csv.stop->message);
  } else {
    reader.CheckWeights();
  }
  file.faults.SortByLine();
  if (csv.records.empty() && !csv.stop) file.faults.Add(0, std::string(kEmpty));
  if (columns && csv.records.size() == 1 && !csv.stop) file.faults.Add(0, std::string(kHeaderOnly));
  return file;
}

SitesFile ReadSitesColumns(std::span<const IntakeColumn> columns, const TablePlaces& places) {
  SitesFile file;
  const std::optional<HeaderMatch> matched =
      MatchFrameHeader(columns, kSiteColumns, kEmpty, file.faults, file.notes);
  if (!matched) return file;
  const HeaderMatch& match = *matched;
  const std::size_t rowCount = columns[0].fields.size();
  SitesReader reader(file, places);
  for (std::size_t r = 0; r < rowCount; ++r) {
    reader.Row(static_cast<int>(r) + 2, [&](Column c) -> std::string_view {
      return match.at[c] == kAbsentColumn ? std::string_view() : columns[match.at[c]].fields[r];
    });
  }
  reader.CheckWeights();
  file.faults.SortByLine();
  if (rowCount == 0) file.faults.Add(0, std::string(kHeaderOnly));
  return file;
}

}  // namespace quillmore::input
