#include "input/data_check.h"

#include <map>
#include <set>

#include "input/age_groups.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "input/path_resolver.h"

namespace quillmore::input {
namespace {

class ProblemList {
 public:
  ProblemList(std::vector<DataProblem>& problems, std::string file)
      : problems_(problems), file_(std::move(file)) {}
  ~ProblemList() {
    if (count_ > kMaxProblemsPerFile) {
      problems_.push_back(
          {file_, 0, std::to_string(count_ - kMaxProblemsPerFile) + " more problems not shown"});
    }
  }
  void Add(std::int64_t record, std::string message) {
    if (++count_ <= kMaxProblemsPerFile) problems_.push_back({file_, record, std::move(message)});
  }

 private:
  std::vector<DataProblem>& problems_;
  std::string file_;
  std::size_t count_ = 0;
};

std::string Shown(const std::string& name) {
  std::string shown;
  for (char c : name) shown += (c == '\0') ? '?' : c;
  return "\"" + shown + "\"";
}

void CheckRecordLengths(RecordFile& file, ProblemList& problems) {
  const std::size_t length = file.RecordLength();
  const std::uint64_t size = file.ByteCount();
  if (size % length != 0) {
    problems.Add(file.RecordCount(), "file size " + std::to_string(size) +
                                         " is not a whole number of " + std::to_string(length) +
                                         "-byte records");
  }
  for (std::int64_t record = 1; record <= file.RecordCount(); ++record) {
    const std::string_view text = file.ReadRecord(record);
    if (file.AtEnd()) break;
    if (text.substr(length - 2) != "\r\n") problems.Add(record, "record does not end in CR LF");
  }
}

bool AgeTaken(std::int32_t ageDays) {
  if (ageDays > AgeGroupDays(kAdultAgeGroup) - 1) return true;
  for (std::int32_t days : kAgeGroupDays) {
    if (days == ageDays) return true;
  }
  return false;
}

// First header record of each nuclide, found by walking the blocks.
using FirstBlocks = std::map<std::string, std::int64_t>;

void CheckBlock(DoseRateFile& file, const BlockHeader& header, std::int64_t headerRecord,
                ProblemList& problems) {
  if (!AgeTaken(header.ageDays)) {
    problems.Add(headerRecord,
                 "age " + std::to_string(header.ageDays) + " d belongs to no age group");
  }
  const char let = header.letLetter;
  if (let != 'L' && let != 'H' && let != 'B') {
    problems.Add(headerRecord, std::string("unknown LET letter \"") + let + "\"");
  }
  if ((let == 'B') != (header.recordsPerPoint == 2) ||
      (header.recordsPerPoint != 1 && header.recordsPerPoint != 2)) {
    problems.Add(headerRecord, std::string("LET letter \"") + let + "\" disagrees with " +
                                   std::to_string(header.recordsPerPoint) + " records per point");
  }
  const std::int32_t count = header.timePointCount;
  if (count < 0 || count > kMaxTimePoints) {
    problems.Add(headerRecord, "time-point count " + std::to_string(count) + " outside 0.." +
                                   std::to_string(kMaxTimePoints));
    if (count < 0) return;
  }
  const std::int64_t perPoint = let == 'B' ? 2 : 1;
  double previous = 0;
  for (std::int32_t i = 0; i < count && !file.AtEnd(); ++i) {
    double time = 0;
    for (std::int64_t r = 0; r < perPoint; ++r) time = RateRecordTime(file.ReadNextRecord());
    if (i > 0 && !(time > previous)) {
      problems.Add(file.LastRecordNumber(), "time points not strictly increasing");
    }
    previous = time;
  }
}

FirstBlocks CheckDoseRateFile(DoseRateFile& file, DataKind kind, ProblemList& problems) {
  FirstBlocks first;
  std::string current;
  file.PositionAt(3);
  while (true) {
    const BlockHeader header = file.ReadBlockHeader(kind);
    if (file.AtEnd()) break;
    const std::int64_t headerRecord = file.LastRecordNumber();
    if (header.name != current) {
      if (first.count(header.name) != 0) {
        problems.Add(headerRecord, "blocks of " + Shown(header.name) + " are not contiguous");
      } else {
        first[header.name] = headerRecord;
      }
      current = header.name;
    }
    CheckBlock(file, header, headerRecord, problems);
  }
  return first;
}

void CheckIndex(DataIndex& index, const std::map<DataKind, FirstBlocks>& blocks,
                const std::map<DataKind, std::int64_t>& recordCounts, ProblemList& problems) {
  const std::int32_t firstEntry = index.FirstEntry();
  const std::int32_t lastEntry = index.LastEntry();
  const std::int64_t records = index.File().RecordCount();
  if (firstEntry < 3 || lastEntry < firstEntry || lastEntry > records) {
    problems.Add(2, "first and last entry " + std::to_string(firstEntry) + " and " +
                        std::to_string(lastEntry) + " do not lie within records 3 to " +
                        std::to_string(records));
    return;
  }
  std::string previous;
  std::set<std::string> listed;
  for (std::int32_t record = firstEntry; record <= lastEntry; ++record) {
    const IndexEntry entry = index.ReadEntry(record);
    if (record > firstEntry && !(previous < entry.name)) {
      problems.Add(record, Shown(entry.name) +
                               (previous == entry.name ? " is listed twice" : " is out of order"));
    }
    previous = entry.name;
    listed.insert(entry.name);
    for (const auto& [kind, first] : blocks) {
      const std::int32_t start = entry.StartFor(kind);
      const auto found = first.find(entry.name);
      const std::string file = DoseRateFileName(kind);
      if (start == 0) {
        if (found != first.end()) {
          problems.Add(record, Shown(entry.name) + " has blocks in " + file + " from record " +
                                   std::to_string(found->second) + " but no start record");
        }
      } else if (start < 3 || start > recordCounts.at(kind)) {
        problems.Add(record, "start record " + std::to_string(start) + " in " + file +
                                 " lies outside the file");
      } else if (found == first.end() || found->second != start) {
        problems.Add(record, "start record " + std::to_string(start) + " in " + file +
                                 " is not the first block of " + Shown(entry.name));
      }
    }
  }
  for (const auto& [kind, first] : blocks) {
    for (const auto& [name, record] : first) {
      if (listed.count(name) == 0) {
        problems.Add(0, Shown(name) + " (record " + std::to_string(record) + " of " +
                            DoseRateFileName(kind) + ") is not in the index");
      }
    }
  }
}

}  // namespace

std::vector<DataProblem> CheckDataSet(const std::filesystem::path& dataFolder) {
  std::vector<DataProblem> problems;
  std::map<DataKind, FirstBlocks> blocks;
  std::map<DataKind, std::int64_t> recordCounts;
  for (DataKind kind : {DataKind::kInhalation, DataKind::kIngestion}) {
    DoseRateFile file;
    const Status status = file.Open(ResolvePath(dataFolder, DoseRateFileName(kind)));
    ProblemList list(problems, DoseRateFileName(kind));
    if (!status.ok()) {
      list.Add(0, status.message());
      continue;
    }
    CheckRecordLengths(file.File(), list);
    blocks[kind] = CheckDoseRateFile(file, kind, list);
    recordCounts[kind] = file.RecordCount();
  }
  DataIndex index;
  ProblemList list(problems, kIndexFileName);
  const Status status = index.Open(ResolvePath(dataFolder, kIndexFileName));
  if (!status.ok()) {
    list.Add(0, status.message());
    return problems;
  }
  CheckRecordLengths(index.File(), list);
  CheckIndex(index, blocks, recordCounts, list);
  return problems;
}

}  // namespace quillmore::input
