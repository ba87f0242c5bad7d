#include "input/data_check.h"

#include <map>
#include <set>
#include <span>

#include "base/text.h"
#include "input/age_groups.h"
#include "input/block_cursor.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "input/integration_times.h"
#include "input/nuclide_name.h"
#include "input/numeric_field.h"
#include "input/path_resolver.h"
#include "input/time_coverage.h"

namespace quillmore::input {
namespace {

// Problems and notes found so far, kept apart so that the notes come last.
struct Report {
  std::vector<Fault> problems;
  std::vector<Fault> notes;
};

// One file's problems and notes, each capped at kMaxProblemsPerFile.
class ProblemList {
 public:
  ProblemList(Report& report, std::string file) : report_(report), file_(std::move(file)) {}
  ~ProblemList() {
    if (problemCount_ > kMaxProblemsPerFile) {
      report_.problems.push_back(
          {file_, 0,
           std::to_string(problemCount_ - kMaxProblemsPerFile) + " more problems not shown"});
    }
    if (noteCount_ > kMaxProblemsPerFile) {
      report_.notes.push_back(
          {file_, 0, std::to_string(noteCount_ - kMaxProblemsPerFile) + " more notes not shown",
           true});
    }
  }
  void Add(std::int64_t record, std::string message) {
    if (++problemCount_ <= kMaxProblemsPerFile)
      report_.problems.push_back({file_, record, std::move(message)});
  }
  void Note(std::int64_t record, std::string message) {
    if (++noteCount_ <= kMaxProblemsPerFile)
      report_.notes.push_back({file_, record, std::move(message), true});
  }

 private:
  Report& report_;
  std::string file_;
  std::size_t problemCount_ = 0;
  std::size_t noteCount_ = 0;
};

std::string Shown(const std::string& name) {
  std::string shown;
  for (char c : name) shown += (c == '\0') ? '?' : c;
  return "\"" + shown + "\"";
}

// False when the records cannot be found by offset at all (line ends
// converted to LF); every record-by-record check would then be noise.
bool CheckRecordLengths(RecordFile& file, ProblemList& problems) {
  const std::size_t length = file.recordLength();
  const std::uint64_t size = file.byteCount();
  if (size % length != 0) {
    problems.Add(file.recordCount(), "file size " + std::to_string(size) +
                                         " is not a whole number of " + std::to_string(length) +
                                         "-byte records");
  }
  if (std::string fault = ConvertedLineEndsFault(file); !fault.empty()) {
    problems.Add(1, std::move(fault));
    return false;
  }
  for (std::int64_t record = 1; record <= file.recordCount(); ++record) {
    const std::string_view text = file.ReadRecord(record);
    if (file.atEnd()) break;
    if (text.substr(length - 2) != "\r\n") problems.Add(record, "record does not end in CR LF");
  }
  return true;
}

// What the walk learns of one nuclide in one dose-rate file.
struct NuclideBlocks {
  std::int64_t firstRecord = 0;
  std::set<int> ageGroups;
  TimeCoverage coverage;
};
using FileBlocks = std::map<std::string, NuclideBlocks>;

// False when the file ends inside the block: nothing after it is a block.
bool CheckBlock(BlockCursor& cursor, NuclideBlocks& nuclide, ProblemList& problems) {
  const BlockHeader& header = cursor.header();
  const std::int64_t headerRecord = cursor.headerRecord();
  const int ageGroup = AgeGroupFor(header.ageDays);
  if (ageGroup == 0) {
    problems.Add(headerRecord,
                 "age " + std::to_string(header.ageDays) + " d belongs to no age group");
  }
  nuclide.ageGroups.insert(ageGroup);
  const char let = header.letLetter;
  const bool knownLetter = IsLetLetter(let);
  if (!knownLetter) problems.Add(headerRecord, "unknown LET letter " + LetLetterText(let));
  const BlockExtent extent = cursor.Extent();
  if (!extent.recordsPerPoint.ok()) problems.Add(headerRecord, extent.recordsPerPoint.message());
  // The count is held to the whole range the tables read, beyond the
  // extent's negative count; nothing past a negative count can be found.
  const std::int32_t count = header.timePointCount;
  if (count == 0) problems.Add(headerRecord, "no time points");
  if (count < 0 || count > kMaxTimePoints) {
    problems.Add(headerRecord, "time-point count " + std::to_string(count) + " outside 0.." +
                                   std::to_string(kMaxTimePoints));
    if (count < 0) return true;
  }
  if (!extent.inFile.ok()) {
    problems.Add(headerRecord, Shown(header.name) + ": " + extent.inFile.message());
    return false;
  }
  DoseRateFile& file = cursor.file();
  const std::int64_t perPoint = RecordsPerPointOf(let);
  double previous = 0;
  std::int32_t read = 0;
  bool increasing = true;
  for (; read < count && !file.atEnd(); ++read) {
    double time = 0;
    for (std::int64_t r = 0; r < perPoint; ++r) time = RateRecordTime(file.ReadNextRecord());
    if (read > 0 && !(time > previous)) {
      problems.Add(file.lastRecordNumber(), "time points not strictly increasing");
      increasing = false;
    }
    previous = time;
  }
  // Only a block the programs integrate counts for the notes.
  if (knownLetter && extent.recordsPerPoint.ok() && increasing && read == count &&
      count <= kMaxTimePoints) {
    nuclide.coverage.AddBlock(count, previous);
  }
  return true;
}

FileBlocks CheckDoseRateFile(DoseRateFile& file, DataKind kind, std::span<const double> times,
                             ProblemList& problems) {
  FileBlocks blocks;
  std::vector<std::string> order;
  std::string current;
  BlockCursor cursor(file, kind);
  cursor.PositionAt(3);
  while (cursor.Next()) {
    const BlockHeader& header = cursor.header();
    const std::int64_t headerRecord = cursor.headerRecord();
    if (header.name != current) {
      if (blocks.count(header.name) != 0) {
        problems.Add(headerRecord, "blocks of " + Shown(header.name) + " are not contiguous");
      } else {
        blocks.emplace(header.name, NuclideBlocks{headerRecord, {}, TimeCoverage(times)});
        order.push_back(header.name);
      }
      current = header.name;
    }
    if (!CheckBlock(cursor, blocks.at(header.name), problems)) break;
  }
  for (const std::string& name : order) {
    const NuclideBlocks& nuclide = blocks.at(name);
    std::vector<int> missing;
    for (int group = 1; group <= kAgeGroupCount; ++group) {
      if (nuclide.ageGroups.count(group) == 0) missing.push_back(group);
    }
    if (!missing.empty()) {
      problems.Add(nuclide.firstRecord, Shown(name) + " has no block for " + AgeGroupList(missing) +
                                            ": those tables would hold headers only");
    }
    for (std::string& note : nuclide.coverage.Notes(base::TrimBlanks(name))) {
      problems.Note(nuclide.firstRecord, std::move(note));
    }
  }
  return blocks;
}

void CheckIndex(DataIndex& index, const std::map<DataKind, FileBlocks>& blocks,
                const std::map<DataKind, std::int64_t>& recordCounts, ProblemList& problems) {
  const std::int64_t records = index.file().recordCount();
  const std::string_view record2 = index.file().ReadRecord(2);
  const base::Status range = CheckEntryRange(ReadInteger(record2.substr(0, 4)),
                                             ReadInteger(record2.substr(4, 4)), records);
  if (!range.ok()) {
    problems.Add(2, range.message());
    return;
  }
  std::string previous;
  std::set<std::string> listed;
  for (std::int64_t record = index.firstEntry(); record <= index.lastEntry(); ++record) {
    const IndexEntry entry = index.ReadEntry(static_cast<std::int32_t>(record));
    if (record > index.firstEntry() && !(previous < entry.name)) {
      problems.Add(record, Shown(entry.name) +
                               (previous == entry.name ? " is listed twice" : " is out of order"));
    }
    previous = entry.name;
    listed.insert(entry.name);
    std::vector<DataKind> without;
    for (const auto& [kind, first] : blocks) {
      const std::int32_t start = entry.startFor(kind);
      const auto found = first.find(entry.name);
      const std::string file = DataSetOf(kind).doseRateFileName;
      if (start == 0) {
        if (found != first.end()) {
          problems.Add(record, Shown(entry.name) + " has blocks in " + file + " from record " +
                                   std::to_string(found->second.firstRecord) +
                                   " but no start record");
        } else {
          without.push_back(kind);
        }
      } else if (start < 3 || start > recordCounts.at(kind)) {
        problems.Add(record, "start record " + std::to_string(start) + " in " + file +
                                 " lies outside the file");
      } else if (found == first.end() || found->second.firstRecord != start) {
        problems.Add(record, "start record " + std::to_string(start) + " in " + file +
                                 " is not the first block of " + Shown(entry.name));
      }
    }
    if (entry.ingestionStart == 0 && entry.inhalationStart == 0 &&
        without.size() == blocks.size()) {
      problems.Add(record, Shown(entry.name) + " has no data in either dose-rate file");
    } else if (without.size() == 1 && blocks.size() == 2) {
      problems.Note(record, base::TrimBlanks(entry.name) + " has no data in " +
                                DataSetOf(without.front()).doseRateFileName);
    }
  }
  for (const auto& [kind, first] : blocks) {
    for (const auto& [name, nuclide] : first) {
      if (listed.count(name) == 0) {
        problems.Add(0, Shown(name) + " (record " + std::to_string(nuclide.firstRecord) + " of " +
                            DataSetOf(kind).doseRateFileName + ") is not in the index");
      }
    }
  }
}

}  // namespace

std::vector<Fault> CheckDataSet(const std::filesystem::path& dataFolder,
                                const std::filesystem::path& timesFile) {
  Report report;
  TimesFault fault;
  std::vector<TimesFault> warnings;
  const IntegrationTimes times = ReadIntegrationTimes(timesFile, &fault, &warnings);
  {
    ProblemList list(report, timesFile.filename().string());
    if (!times.ok()) {
      list.Add(static_cast<std::int64_t>(fault.line), fault.what);
      warnings.clear();  // a refused file's lines are not read as times
    }
    for (TimesFault& warning : warnings) {
      list.Add(static_cast<std::int64_t>(warning.line), std::move(warning.what));
    }
  }
  const std::vector<double> noTimes;
  std::map<DataKind, FileBlocks> blocks;
  std::map<DataKind, std::int64_t> recordCounts;
  for (const DataSet& dataSet : kDataSets) {
    const DataKind kind = dataSet.kind;
    DoseRateFile file;
    const base::Status status = file.Open(ResolvePath(dataFolder, dataSet.doseRateFileName));
    ProblemList list(report, dataSet.doseRateFileName);
    if (!status.ok()) {
      list.Add(0, status.message());
      continue;
    }
    if (!CheckRecordLengths(file.file(), list)) continue;
    blocks[kind] = CheckDoseRateFile(file, kind, times.ok() ? times.value() : noTimes, list);
    recordCounts[kind] = file.recordCount();
  }
  DataIndex index;
  {
    ProblemList list(report, kIndexFileName);
    const base::Status status = index.Open(ResolvePath(dataFolder, kIndexFileName));
    if (status.ok() || status.code() == base::Status::Code::kCorruption) {
      if (CheckRecordLengths(index.file(), list)) CheckIndex(index, blocks, recordCounts, list);
    } else {
      list.Add(0, status.message());
    }
  }
  report.problems.insert(report.problems.end(), report.notes.begin(), report.notes.end());
  return report.problems;
}

}  // namespace quillmore::input
