// The annual doses of an intake history: every intake resolved to its blocks
// (by nuclide, route, age group and form), then its dose in each calendar
// year, person by person.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/result.h"
#include "base/status.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "input/intake_file.h"
#include "integration/annual_doses.h"
#include "integration/tail.h"
#include "output/run_message.h"
#include "run/history_note.h"
#include "run/intake_blocks.h"

namespace quillmore::run {

// Years reported by default after the year of a person's last day of intake,
// when nothing ends the person's follow-up.
inline constexpr int kYearsAfterLastIntake = 50;

struct HistoryData {
  input::DataIndex* index = nullptr;
  // By data set (inhalation, ingestion); null when that file is not open.
  std::array<input::DoseRateFile*, 2> doseRates{};
};

// A site of a risk calculator's rows: a weighted sum of regions' doses.
struct SiteSum {
  std::vector<std::pair<int, double>> regions;  // region number 1 to 30, weight
};

struct HistorySelection {
  std::vector<int> selectedRegions;  // region numbers 1 to 30, list order
  std::optional<int> untilYear;      // the last year reported
  std::string fileLabel;             // the intake file as messages name it
  unsigned jobs = 1;                 // threads computing intakes at once
  std::string untilWords;            // how the face names the last year: "--until ", "until="
  integration::Tail tail = integration::Tail::kExponential;  // past each block's data
  std::optional<int> untilAge;  // each person followed to 00:00 of this birthday
  std::string untilAgeWords;    // how the face names it: "--until-age ", "until_age="
  // A data frame's index labels, one a row: messages name its rows by them.
  std::optional<std::vector<std::string>> frameIndex;
  // Each person's moments (PersonDoses::moments), every intake lognormal
  // about its activity with its row's GSD.
  bool moments = false;
  // Each person's site doses and their moments (PersonDoses::siteDoses and
  // siteMoments); their regions are computed whether selected or not.
  std::vector<SiteSum> sites{};
};

class IntakeHistory {
 public:
  // Keeps `data` (whose objects must outlive this) and the selection.
  IntakeHistory(HistoryData data, HistorySelection selection);

  // Resolves each of `rows` (which must outlive this) to its parts and
  // blocks, up to each person's end of follow-up. Returns every row that
  // cannot be resolved (unknown nuclide or form, no data in the route's set),
  // or a Status for a damaged data set. With faults, nothing may be computed.
  // A row that starts on or after the end set by untilYear or untilAge is
  // left out, and the one note on such rows (LeftOutNote) joins messages().
  base::Status Resolve(const std::vector<input::IntakeRow>& rows, input::FaultList& faults);

  // Called for each part of each intake, in file order, with its doses.
  using PartSink = std::function<base::Status(const integration::ResolvedIntake&,
                                              const integration::IntakePartDoses&,
                                              const integration::YearDoses&)>;
  // Called for each person, complete, in order of first appearance, as soon
  // as their last intake and every earlier person's are handed on.
  using PersonSink = std::function<base::Status(const integration::PersonDoses&)>;
  // Computes every part's annual doses (on selection.jobs threads), hands
  // each to `onPart` in file order and sums them per person, handing each
  // person to `onPerson` (when given) once complete; stops at the first
  // failure of either. Without `keepTables` each person's doses and moments
  // are released once handed on, so that a cohort's tables need not fit in
  // memory at once.
  base::Status Compute(const PartSink& onPart, const PersonSink& onPerson = {},
                       bool keepTables = true);

  const std::vector<integration::ResolvedIntake>& intakes() const { return intakes_; }
  // In order of first appearance; complete after Compute (their tables empty
  // where it did not keep them).
  const std::vector<integration::PersonDoses>& persons() const { return persons_; }
  // Warnings naming the row: blocks left out, unbounded extrapolation (the
  // first kFaultsShown intakes, then how many more); after Compute, the note
  // on the values from past the data (PastDataNote).
  const std::vector<output::RunMessage>& messages() const { return messages_; }
  // Where messages() holds the note on the rows left out, if it does.
  std::optional<std::size_t> leftOutNoteIndex() const { return leftOutNote_; }
  // Adds a message of the run's own (the intake reader's notes).
  void AddMessage(output::RunMessage message) { messages_.push_back(std::move(message)); }

 private:
  using BlockKey = std::tuple<int, std::string, int>;  // data set, nuclide, age group
  // The index entry of the nuclide `name` (normalised, padded), searched for
  // once; null when the index has none.
  const input::IndexEntry* Entry(const std::string& name);
  // The blocks of one nuclide and age group, read once.
  base::Result<const std::vector<FormBlock>*> Blocks(input::DataKind kind, const std::string& name,
                                                     int ageGroup);
  base::Status ResolvePart(const input::IntakeRow& row, const std::string& name,
                           integration::IntakePartDoses& part);
  // The doses of an intake's parts by selected region, and by site where
  // the run has sites; reused from intake to intake.
  struct IntakeParts {
    std::vector<integration::YearDoses> doses;
    std::vector<integration::YearDoses> sites;
  };
  // The doses of `part` up to 00:00 of `end`, and those of its sites in
  // `sites` when the run has sites.
  void ComputePart(const integration::IntakePartDoses& part, const FormBlock& block,
                   input::Days end, integration::YearDoses& doses,
                   integration::YearDoses* sites) const;
  // The doses of each part of intake `i` that contributes, in the first
  // entries of `parts` (reused; entries past them are left as they were);
  // safe on several threads.
  void ComputeIntake(std::size_t i, IntakeParts& parts) const;
  // Hands the parts of intake `i` to `onPart` and adds them to its person.
  base::Status HandOn(std::size_t i, const IntakeParts& parts, const PartSink& onPart);
  // Adds the terms of intake `i`, whose contributing parts are the first
  // `count` of `parts`, to its person's moments.
  void AddMoments(std::size_t i, const IntakeParts& parts, std::size_t count);
  void AddPersons();
  // Gives `person`'s moments their room, all 0, unless they have it or
  // the run computes none.
  void HoldMoments(integration::PersonDoses& person) const;
  // Person `p` is complete: the tables no intake added to are held, the
  // note's share widened, the person handed to `onPerson`, and their tables
  // released unless kept.
  base::Status FinishPerson(std::size_t p, const PersonSink& onPerson, bool keepTables);
  // Each person's end of follow-up, from every row of `rows`.
  void FindEnds(const std::vector<input::IntakeRow>& rows);
  // The end set by untilYear and untilAge alone for someone born on `birth`.
  std::optional<input::Days> SelectionEnd(input::Days birth) const;

  HistoryData data_;
  HistorySelection selection_;
  // The regions computed: those selected, then those only the sites need.
  std::vector<int> computedRegions_;
  // By site: its regions' positions in computedRegions_ and their weights.
  std::vector<std::vector<std::pair<int, double>>> sitePositions_;
  std::map<std::string, std::optional<input::IndexEntry>> entries_;  // by Entry's name
  std::map<BlockKey, std::vector<FormBlock>> blocks_;
  std::vector<integration::ResolvedIntake> intakes_;
  std::vector<std::vector<const FormBlock*>> partBlocks_;  // by intake, then part
  std::vector<std::size_t> personOf_;                      // by intake: index in persons_
  std::vector<std::size_t> lastIntakeOf_;                  // by person: their last intake
  std::vector<integration::PersonDoses> persons_;
  std::vector<output::RunMessage> messages_;
  std::optional<std::size_t> leftOutNote_;
  std::map<std::string, input::Days> ends_;  // by person: the end of follow-up
  std::size_t unboundedIntakes_ = 0;         // intakes with a value marked unbounded
  std::size_t pastIntakes_ = 0;              // intakes with a value past their data
  std::set<const FormBlock*> pastBlocks_;    // the blocks those values use past the data
  PastShare largestPastShare_;               // over the persons complete
  integration::YearDoses intakeSum_;         // an intake's parts summed, for its moments
  integration::YearDoses intakeSiteSum_;     // and their sites
};

}  // namespace quillmore::run
