#include "run/intake_history.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

#include "base/cp1252.h"
#include "base/text.h"
#include "input/age_groups.h"
#include "input/fault_list.h"
#include "input/form_choice.h"
#include "input/nuclide_name.h"
#include "integration/coefficient_table.h"
#include "integration/extended.h"
#include "integration/lognormal_sum.h"
#include "run/history_note.h"
#include "run/nuclide_suggestions.h"

namespace quillmore::run {
namespace {

using integration::Extended;

constexpr std::size_t kChunk = 64;  // intakes computed at once between hand-ons

double DayNumber(input::Days day) {
  return static_cast<double>(day.time_since_epoch().count());
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

std::string AgeGroupName(int ageGroup) {
  return input::AgeGroupList({ageGroup});
}

// "1 (F), 2 (M), 3 (S)": the forms a message offers.
std::string FormList(const std::vector<FormBlock>& blocks) {
  std::string list;
  for (const FormBlock& block : blocks) {
    list += (list.empty() ? "" : ", ") + std::to_string(block.formNumber) + " (" +
            base::Cp1252ToUtf8(block.formCode) + ")";
  }
  return list.empty() ? "none" : list;
}

// The block `form` names, by input::FindForm's rule.
base::Result<const FormBlock*> FindForm(const std::vector<FormBlock>& blocks,
                                        const std::string& form) {
  std::vector<input::FormName> names;
  for (const FormBlock& block : blocks)
    names.push_back({block.formNumber, base::TrimBlanks(base::Cp1252ToUtf8(block.formCode))});
  const base::Result<std::size_t> found = input::FindForm(form, names);
  if (!found.ok()) return found.status();
  return &blocks[found.value()];
}

input::Days LastDayOfIntake(const input::IntakeRow& row) {
  return row.end ? *row.end - std::chrono::days(1) : row.start;
}

}  // namespace

IntakeHistory::IntakeHistory(HistoryData data, HistorySelection selection)
    : data_(data), selection_(std::move(selection)), computedRegions_(selection_.selectedRegions) {
  for (const SiteSum& site : selection_.sites) {
    std::vector<std::pair<int, double>>& positions = sitePositions_.emplace_back();
    for (const auto& [region, weight] : site.regions) {
      auto at = std::find(computedRegions_.begin(), computedRegions_.end(), region);
      if (at == computedRegions_.end()) at = computedRegions_.insert(at, region);
      positions.emplace_back(static_cast<int>(at - computedRegions_.begin()), weight);
    }
  }
}

const input::IndexEntry* IntakeHistory::Entry(const std::string& name) {
  auto [found, added] = entries_.try_emplace(name);
  if (added && data_.index->FindNuclide(name) != 0) found->second = data_.index->entry();
  return found->second ? &*found->second : nullptr;
}

base::Result<const std::vector<FormBlock>*> IntakeHistory::Blocks(input::DataKind kind,
                                                                  const std::string& name,
                                                                  int ageGroup) {
  const BlockKey key{static_cast<int>(kind), name, ageGroup};
  auto found = blocks_.find(key);
  if (found != blocks_.end()) return &found->second;
  input::DoseRateFile& file = *data_.doseRates[kind == input::DataKind::kInhalation ? 0 : 1];
  // Resolve found the nuclide before asking for its blocks.
  base::Result<std::vector<FormBlock>> blocks =
      ReadAgeGroupBlocks(file, *Entry(name), kind, ageGroup, computedRegions_, selection_.tail);
  if (!blocks.ok()) return blocks.status();
  return &(blocks_[key] = std::move(blocks).value());
}

// Finds the block of one part: InvalidArgument naming what is wrong with the
// row, or the failure of a damaged data set.
base::Status IntakeHistory::ResolvePart(const input::IntakeRow& row, const std::string& name,
                                        integration::IntakePartDoses& part) {
  const base::Result<const std::vector<FormBlock>*> blocks =
      Blocks(row.kind, name, part.part.ageGroup);
  if (!blocks.ok()) return blocks.status();
  const base::Result<const FormBlock*> found = FindForm(*blocks.value(), row.form);
  if (!found.ok()) {
    return base::Status::InvalidArgument(
        "column \"form\": " + Quoted(row.form) + ": " + found.status().message() + " for " +
        base::TrimBlanks(name) + " " + std::string(input::DataSetOf(row.kind).name) +
        ", age group " + AgeGroupName(part.part.ageGroup) +
        "; its forms: " + FormList(*blocks.value()));
  }
  const FormBlock* block = found.value();
  part.formNumber = block->formNumber;
  part.formCode = block->formCode;
  part.contributes = block->integrable.ok();
  partBlocks_.back().push_back(block);
  if (!part.contributes) {
    part.warning = input::TablePlaces{selection_.fileLabel, selection_.frameIndex}.Of(row.line) +
                   ": " + base::TrimBlanks(name) + " form " + std::to_string(block->formNumber) +
                   " (" + base::Cp1252ToUtf8(block->formCode) + "), age group " +
                   AgeGroupName(part.part.ageGroup) + ", block at record " +
                   std::to_string(block->record) + ": " + block->integrable.message() +
                   "; this intake contributes nothing there";
    messages_.push_back({output::MessageKind::kWarning, part.warning});
  }
  return base::Status::Ok();
}

std::optional<input::Days> IntakeHistory::SelectionEnd(input::Days birth) const {
  return input::FollowUpEnd(birth, {std::nullopt, selection_.untilYear, selection_.untilAge});
}

void IntakeHistory::FindEnds(const std::vector<input::IntakeRow>& rows) {
  std::map<std::string, input::Days> lastDays;  // by person: the last day of intake
  for (const input::IntakeRow& row : rows) {
    const auto [at, added] = lastDays.emplace(row.person, LastDayOfIntake(row));
    if (!added) at->second = std::max(at->second, LastDayOfIntake(row));
  }
  for (const input::IntakeRow& row : rows) {
    if (ends_.contains(row.person)) continue;
    const std::optional<input::Days> end = input::FollowUpEnd(
        row.birthDate, {row.followUpEnd, selection_.untilYear, selection_.untilAge});
    ends_[row.person] =
        end ? *end
            : input::YearStart(input::YearOf(lastDays.at(row.person)) + kYearsAfterLastIntake + 1);
  }
}

base::Status IntakeHistory::Resolve(const std::vector<input::IntakeRow>& rows,
                                    input::FaultList& faults) {
  FindEnds(rows);
  std::vector<int> leftOut;          // lines of the rows left out
  std::vector<std::string> persons;  // in order of first appearance
  std::set<std::string> seen, kept;  // persons seen, those with an intake kept
  for (const input::IntakeRow& row : rows) {
    if (seen.insert(row.person).second) persons.push_back(row.person);
    // What starts at or after the end the selection sets adds nothing.
    if (const std::optional<input::Days> cut = SelectionEnd(row.birthDate);
        cut && row.start >= *cut) {
      leftOut.push_back(row.line);
      continue;
    }
    kept.insert(row.person);
    const input::Days end = ends_.at(row.person);
    integration::ResolvedIntake& intake = intakes_.emplace_back();
    partBlocks_.emplace_back();
    intake.row = &row;
    std::string name = row.nuclide;
    input::NormaliseNuclideName(name);
    intake.nuclide = base::TrimBlanks(name);
    const input::DataSet& dataSet = input::DataSetOf(row.kind);
    const input::DoseRateFile* file =
        data_.doseRates[row.kind == input::DataKind::kInhalation ? 0 : 1];
    const input::IndexEntry* entry = Entry(name);
    if (entry == nullptr) {
      faults.Add(row.line, "column \"nuclide\": no data are available for " +
                               Quoted(intake.nuclide) +
                               SuggestionText(name, *data_.index, row.kind));
      continue;
    }
    if (file == nullptr || entry->startFor(row.kind) == 0) {
      faults.Add(row.line, "column \"nuclide\": " + intake.nuclide + " has no data in " +
                               dataSet.doseRateFileName + " (" + std::string(dataSet.name) + ")");
      continue;
    }
    const Extended total = row.end ? Extended(DayNumber(*row.end)) - DayNumber(row.start) : 1;
    for (const input::IntakePart& split :
         input::SplitByAgeGroup(row.birthDate, row.start, row.end)) {
      if (split.start >= end) break;  // a part past the end adds nothing
      integration::IntakePartDoses& part = intake.parts.emplace_back();
      part.part = split;
      const Extended share =
          split.end ? (Extended(DayNumber(*split.end)) - DayNumber(split.start)) / total : 1;
      part.activityBq = integration::Stored(share * row.activityBq);
      const base::Status resolved = ResolvePart(row, name, part);
      if (resolved.code() == base::Status::Code::kInvalidArgument) {
        faults.Add(row.line, resolved.message());
        break;
      }
      if (!resolved.ok()) return resolved;
    }
  }
  std::vector<std::string> emptied;  // persons left with no intake
  for (const std::string& person : persons) {
    if (!kept.contains(person)) emptied.push_back(person);
  }
  std::string limit;
  if (selection_.untilYear) limit = selection_.untilWords + std::to_string(*selection_.untilYear);
  if (selection_.untilAge) {
    limit += (limit.empty() ? "" : " and ") + selection_.untilAgeWords +
             std::to_string(*selection_.untilAge);
  }
  if (std::optional<std::string> note =
          LeftOutNote({selection_.fileLabel, selection_.frameIndex}, leftOut, emptied, limit)) {
    leftOutNote_ = messages_.size();
    messages_.push_back({output::MessageKind::kNote, std::move(*note)});
  }
  return base::Status::Ok();
}

void IntakeHistory::AddPersons() {
  std::map<std::string, std::size_t> personIndex;
  std::vector<int> firstYears;  // by person: the first year of intake
  for (const integration::ResolvedIntake& intake : intakes_) {
    const input::IntakeRow& row = *intake.row;
    const auto [at, added] = personIndex.emplace(row.person, persons_.size());
    if (added) {
      persons_.push_back(
          {row.person, row.birthDate, ends_.at(row.person), {}, {}, {}, row.sex, {}});
      firstYears.push_back(input::YearOf(row.start));
    }
    persons_[at->second].intakes.push_back(&intake);
    personOf_.push_back(at->second);
    lastIntakeOf_.resize(persons_.size());
    lastIntakeOf_[at->second] = personOf_.size() - 1;
    firstYears[at->second] = std::min(firstYears[at->second], input::YearOf(row.start));
  }
  const auto regionCount = static_cast<int>(selection_.selectedRegions.size());
  for (std::size_t p = 0; p < persons_.size(); ++p) {
    // Every intake starts before the end: the year holding the end is the
    // last, unless the end is its 1 January.
    const int first = firstYears[p];
    const int last = input::YearOf(persons_[p].end - std::chrono::days(1));
    // Room is given as the first intake adds to a table (or the person is
    // complete): only the persons under way take it.
    persons_[p].doses.Shape(first, last - first + 1, regionCount);
    if (!sitePositions_.empty())
      persons_[p].siteDoses.Shape(first, last - first + 1, static_cast<int>(sitePositions_.size()));
  }
}

void IntakeHistory::HoldMoments(integration::PersonDoses& person) const {
  const integration::YearDoses& doses = person.doses;
  if (selection_.moments && person.moments.empty())
    person.moments.Reset(doses.firstYear(), doses.yearCount(), doses.regionCount());
  if (!sitePositions_.empty() && person.siteMoments.empty()) {
    person.siteMoments.Reset(doses.firstYear(), doses.yearCount(),
                             static_cast<int>(sitePositions_.size()));
  }
}

base::Status IntakeHistory::FinishPerson(std::size_t p, const PersonSink& onPerson,
                                         bool keepTables) {
  integration::PersonDoses& person = persons_[p];
  // A person none of whose parts contributes still has tables of zeros.
  person.doses.Hold();
  if (!sitePositions_.empty()) person.siteDoses.Hold();
  HoldMoments(person);
  AddPastShares(person, largestPastShare_);
  if (onPerson) {
    if (base::Status status = onPerson(person); !status.ok()) return status;
  }
  if (!keepTables) {
    person.doses = {};
    person.moments = {};
    person.siteDoses = {};
    person.siteMoments = {};
  }
  return base::Status::Ok();
}

void IntakeHistory::ComputePart(const integration::IntakePartDoses& part, const FormBlock& block,
                                input::Days end, integration::YearDoses& doses,
                                integration::YearDoses* sites) const {
  std::vector<integration::DoseWindow> windows;
  // The year's values of every region computed, for the sites.
  std::vector<double> regionLow, regionHigh;
  std::vector<integration::Extrapolation> regionStatus;
  const auto computedCount = static_cast<int>(sites != nullptr ? computedRegions_.size() : 0);
  regionLow.resize(static_cast<std::size_t>(computedCount));
  regionHigh.resize(regionLow.size());
  regionStatus.resize(regionLow.size());
  integration::WindowGeometry geometry;
  const int regionCount = std::max(doses.regionCount(), computedCount);
  // The curves that carry a dose, by position in block.integrals, and their
  // values in a year of points alone: summed two at a time, so that each
  // point's weights are read once for both and their four chains overlap
  // (most blocks carry one component alone).
  std::vector<std::size_t> live;
  for (std::size_t c = 0; c < static_cast<std::size_t>(regionCount) * integration::kComponentCount;
       ++c)
    if (!block.integrals[c].zero()) live.push_back(c);
  std::vector<double> pointValues(
      static_cast<std::size_t>(regionCount) * integration::kComponentCount, 0.0);
  const double s0 = DayNumber(part.part.start);
  const Extended activity = part.activityBq;
  for (int year = doses.firstYear(); year < doses.firstYear() + doses.yearCount(); ++year) {
    const double t1 = DayNumber(input::YearStart(year));
    // The last year is counted up to the end of follow-up.
    const double t2 = DayNumber(std::min(input::YearStart(year + 1), end));
    windows.clear();
    if (part.part.end) {
      integration::SpreadWindows(s0, DayNumber(*part.part.end), t1, t2, windows);
    } else {
      integration::AcuteWindows(s0, t1, t2, windows);
    }
    // What the year takes from the block's times, once for all its curves.
    geometry.Set(block.times, windows);
    // Within the data every part from past it is 0.
    const bool past = geometry.pastData();
    const bool pointsOnly = geometry.pointsOnly();
    if (pointsOnly) {
      std::size_t k = 0;
      for (; k + 1 < live.size(); k += 2) {
        const auto pair = integration::PieceIntegrals::PointSums(
            block.integrals[live[k]], block.integrals[live[k + 1]], geometry);
        pointValues[live[k]] = pair.first;
        pointValues[live[k + 1]] = pair.second;
      }
      if (k < live.size()) pointValues[live[k]] = block.integrals[live[k]].Sum(geometry).value;
    }
    for (int j = 0; j < regionCount; ++j) {
      const auto at = static_cast<std::size_t>(j) * integration::kComponentCount;
      const integration::PieceIntegrals& lowCurve = block.integrals[at + integration::kLowLet];
      const integration::PieceIntegrals& highCurve = block.integrals[at + integration::kHighLet];
      integration::PieceIntegrals::Dose low, high;
      if (pointsOnly) {
        // Most years: nothing past the data.
        low.value = pointValues[at + integration::kLowLet];
        high.value = pointValues[at + integration::kHighLet];
      } else {
        low = lowCurve.Sum(geometry);
        high = highCurve.Sum(geometry);
      }
      const double lowValue = integration::Stored(low.value * activity);
      const double highValue = integration::Stored(high.value * activity);
      const integration::Extrapolation status =
          integration::Worse(low.extrapolation, high.extrapolation);
      if (j < computedCount) {
        regionLow[static_cast<std::size_t>(j)] = lowValue;
        regionHigh[static_cast<std::size_t>(j)] = highValue;
        regionStatus[static_cast<std::size_t>(j)] = status;
      }
      if (j >= doses.regionCount()) continue;
      doses.low(year, j) = lowValue;
      doses.high(year, j) = highValue;
      if (past) {
        doses.SetTails(year, j, integration::Stored(low.tail * activity),
                       integration::Stored(high.tail * activity));
      }
      doses.extrapolation(year, j) = status;
    }
    if (sites == nullptr) continue;
    for (std::size_t s = 0; s < sitePositions_.size(); ++s) {
      Extended low = 0, high = 0;
      integration::Extrapolation status = integration::Extrapolation::kNone;
      for (const auto& [position, weight] : sitePositions_[s]) {
        const auto j = static_cast<std::size_t>(position);
        low += Extended(weight) * regionLow[j];
        high += Extended(weight) * regionHigh[j];
        status = integration::Worse(status, regionStatus[j]);
      }
      const auto site = static_cast<int>(s);
      sites->low(year, site) = integration::Stored(low);
      sites->high(year, site) = integration::Stored(high);
      sites->extrapolation(year, site) = status;
    }
  }
}

void IntakeHistory::ComputeIntake(std::size_t i, IntakeParts& parts) const {
  const integration::ResolvedIntake& intake = intakes_[i];
  const integration::PersonDoses& person = persons_[personOf_[i]];
  const integration::YearDoses& years = person.doses;
  std::size_t computed = 0;
  for (std::size_t k = 0; k < intake.parts.size(); ++k) {
    const integration::IntakePartDoses& part = intake.parts[k];
    if (!part.contributes) continue;
    const int first = std::max(years.firstYear(), input::YearOf(part.part.start));
    if (computed == parts.doses.size()) {
      parts.doses.emplace_back();
      if (!sitePositions_.empty()) parts.sites.emplace_back();
    }
    integration::YearDoses& doses = parts.doses[computed];
    const int yearCount = years.firstYear() + years.yearCount() - first;
    // ComputePart writes every value.
    doses.Resize(first, yearCount, years.regionCount());
    integration::YearDoses* sites = nullptr;
    if (!sitePositions_.empty()) {
      sites = &parts.sites[computed];
      sites->Resize(first, yearCount, static_cast<int>(sitePositions_.size()));
    }
    ++computed;
    ComputePart(part, *partBlocks_[i][k], person.end, doses, sites);
  }
}

namespace {

// The values of an intake's parts (the earliest first) summed into `sum`,
// or the one part itself.
const integration::YearDoses* IntakeSum(const std::vector<integration::YearDoses>& parts,
                                        std::size_t count, integration::YearDoses& sum) {
  if (count == 1) return &parts[0];
  sum.Reset(parts[0].firstYear(), parts[0].yearCount(), parts[0].regionCount());
  for (std::size_t k = 0; k < count; ++k) sum.Add(parts[k]);
  return &sum;
}

// Adds the terms of one intake's values `sum` with its factors to `moments`.
void AddTerms(const integration::YearDoses& sum, const integration::LognormalFactors& factors,
              integration::YearMoments& moments) {
  for (int year = sum.firstYear(); year < sum.firstYear() + sum.yearCount(); ++year) {
    for (int j = 0; j < sum.regionCount(); ++j) {
      integration::AddLognormalTerm(sum.low(year, j), factors,
                                    moments.at(year, j, integration::kLowLet));
      integration::AddLognormalTerm(sum.high(year, j), factors,
                                    moments.at(year, j, integration::kHighLet));
    }
  }
}

}  // namespace

void IntakeHistory::AddMoments(std::size_t i, const IntakeParts& parts, std::size_t count) {
  if (count == 0 || (!selection_.moments && sitePositions_.empty())) return;
  // One intake is one draw: its parts add up to each of its values before
  // it becomes a term; a site's term is the weighted sum of its regions' own
  // (the regions of one intake move together).
  const integration::LognormalFactors factors = integration::LognormalFactorsOf(
      static_cast<double>(std::log(Extended(intakes_[i].row->activityGsd))));
  integration::PersonDoses& person = persons_[personOf_[i]];
  HoldMoments(person);
  if (selection_.moments)
    AddTerms(*IntakeSum(parts.doses, count, intakeSum_), factors, person.moments);
  if (!sitePositions_.empty())
    AddTerms(*IntakeSum(parts.sites, count, intakeSiteSum_), factors, person.siteMoments);
}

base::Status IntakeHistory::HandOn(std::size_t i, const IntakeParts& parts,
                                   const PartSink& onPart) {
  const integration::ResolvedIntake& intake = intakes_[i];
  integration::PersonDoses& person = persons_[personOf_[i]];
  int firstUnbounded = 0;  // the first year marked unbounded, 0 for none
  bool past = false;       // a value rests on the curve past its data
  auto doses = parts.doses.begin();
  for (std::size_t k = 0; k < intake.parts.size(); ++k) {
    const integration::IntakePartDoses& part = intake.parts[k];
    if (!part.contributes) {
      person.warnings.push_back(part.warning);
      continue;
    }
    if (base::Status status = onPart(intake, part, *doses); !status.ok()) return status;
    person.doses.Add(*doses);
    if (!sitePositions_.empty())
      person.siteDoses.Add(parts.sites[static_cast<std::size_t>(doses - parts.doses.begin())]);
    // A part holds tail parts exactly when some value reaches past its data:
    // within the data every status is kNone.
    const bool partPast = doses->hasTails();
    if (partPast) {
      pastBlocks_.insert(partBlocks_[i][k]);
      for (int y = doses->firstYear(); y < doses->firstYear() + doses->yearCount(); ++y) {
        for (int j = 0; j < doses->regionCount(); ++j) {
          if (doses->extrapolation(y, j) == integration::Extrapolation::kUnbounded &&
              (firstUnbounded == 0 || y < firstUnbounded))
            firstUnbounded = y;
        }
      }
    }
    past = past || partPast;
    ++doses;
  }
  pastIntakes_ += past ? 1 : 0;
  AddMoments(i, parts, static_cast<std::size_t>(doses - parts.doses.begin()));
  if (firstUnbounded != 0) {
    std::string warning =
        input::TablePlaces{selection_.fileLabel, selection_.frameIndex}.Of(intake.row->line) +
        ": " + intake.nuclide +
        ": past its last tabulated time the extended curve leaves the range of its data; "
        "doses from " +
        std::to_string(firstUnbounded) + " on are marked unbounded and cannot be trusted";
    // The run lists the first few; each person's own warnings keep them all.
    if (++unboundedIntakes_ <= input::kFaultsShown)
      messages_.push_back({output::MessageKind::kWarning, warning});
    person.warnings.push_back(std::move(warning));
  }
  return base::Status::Ok();
}

base::Status IntakeHistory::Compute(const PartSink& onPart, const PersonSink& onPerson,
                                    bool keepTables) {
  AddPersons();
  std::size_t nextPerson = 0;  // the first person not yet complete
  // Intakes are computed a chunk at a time on the threads, then handed on in
  // file order, so that the files do not depend on the number of threads.
  std::vector<IntakeParts> chunk;
  for (std::size_t begin = 0; begin < intakes_.size(); begin += kChunk) {
    const std::size_t end = std::min(begin + kChunk, intakes_.size());
    // Kept from chunk to chunk: their room is reused rather than allocated anew.
    chunk.resize(end - begin);
    std::atomic<std::size_t> next{begin};
    const auto work = [&] {
      for (std::size_t i = next++; i < end; i = next++) ComputeIntake(i, chunk[i - begin]);
    };
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < selection_.jobs && t < end - begin; ++t) threads.emplace_back(work);
    work();
    for (std::thread& thread : threads) thread.join();
    for (std::size_t i = begin; i < end; ++i) {
      if (base::Status status = HandOn(i, chunk[i - begin], onPart); !status.ok()) return status;
      // Persons are complete in their order: each once its last intake and
      // every earlier person's are handed on.
      for (; nextPerson < persons_.size() && lastIntakeOf_[nextPerson] <= i; ++nextPerson) {
        if (base::Status status = FinishPerson(nextPerson, onPerson, keepTables); !status.ok())
          return status;
      }
    }
  }
  if (unboundedIntakes_ > input::kFaultsShown) {
    messages_.push_back({output::MessageKind::kWarning,
                         selection_.fileLabel + ": " +
                             std::to_string(unboundedIntakes_ - input::kFaultsShown) +
                             " more intakes with doses marked unbounded not shown"});
  }
  std::size_t constantBlocks = 0;
  for (const FormBlock* block : pastBlocks_)
    constantBlocks += block->curvesKeepingLastRate > 0 ? 1 : 0;
  if (std::optional<std::string> note =
          PastDataNote(selection_.tail, {intakes_.size(), pastIntakes_, constantBlocks},
                       largestPastShare_, selection_.selectedRegions))
    messages_.push_back({output::MessageKind::kNote, std::move(*note)});
  return base::Status::Ok();
}

}  // namespace quillmore::run
