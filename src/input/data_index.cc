#include "input/data_index.h"

#include "input/nuclide_name.h"
#include "input/numeric_field.h"

namespace quillmore::input {
namespace {

// Decodes one index record (positions 1-7 name, 8-15 and 16-23 numeric).
IndexEntry DecodeIndexEntry(std::string_view record) {
  IndexEntry entry;
  entry.name = std::string(record.substr(0, kNuclideNameWidth));
  if (record.size() > 7) entry.ingestionStart = ReadInteger(record.substr(7, 8));
  if (record.size() > 15) entry.inhalationStart = ReadInteger(record.substr(15, 8));
  return entry;
}

// Byte order as unsigned codes; of two texts where one is a prefix of the
// other, the shorter is the smaller.
int CompareBytes(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace

base::Status CheckEntryRange(std::int32_t first, std::int32_t last, std::int64_t records) {
  if (first < kFirstEntryRecord || first > records) {
    return base::Status::Corruption(
        "the first entry (positions 1-4) reads " + std::to_string(first) + "; " +
        (records < kFirstEntryRecord ? std::string("the file holds no entry records")
                                     : "entries lie in records 3 to " + std::to_string(records)));
  }
  if (last < first || last > records) {
    return base::Status::Corruption("the last entry (positions 5-8) reads " + std::to_string(last) +
                                    "; it must lie in records " + std::to_string(first) + " to " +
                                    std::to_string(records));
  }
  return base::Status::Ok();
}

base::Status DataIndex::Open(const std::filesystem::path& path) {
  return ReadEntryRange(file_.Open(path, kIndexRecordLength));
}

base::Status DataIndex::OpenBytes(std::string_view bytes) {
  return ReadEntryRange(file_.OpenBytes(bytes, kIndexRecordLength, kIndexFileName));
}

base::Status DataIndex::ReadEntryRange(base::Status opened) {
  firstEntry_ = kFirstEntryRecord;
  lastEntry_ = kFirstEntryRecord - 1;
  if (!opened.ok()) return opened;
  const std::string_view record2 = file_.ReadRecord(2);
  const std::int32_t first = ReadInteger(record2.substr(0, 4));
  const std::int32_t last = ReadInteger(record2.substr(4, 4));
  if (const base::Status range = CheckEntryRange(first, last, file_.recordCount()); !range.ok())
    return base::Status::Corruption(file_.path().string() + ", record 2: " + range.message());
  firstEntry_ = first;
  lastEntry_ = last;
  return base::Status::Ok();
}

const IndexEntry& DataIndex::ReadEntry(std::int32_t recordNumber) {
  entry_ = DecodeIndexEntry(file_.ReadRecord(recordNumber));
  return entry_;
}

std::int32_t DataIndex::FindNuclide(std::string_view key, std::vector<std::int32_t>* probes) {
  // The range was checked by Open, and 64-bit bounds keep mid + 1 and
  // mid - 1 clear of overflow whatever it holds.
  std::int64_t lo = firstEntry_;
  std::int64_t hi = lastEntry_;
  while (lo <= hi) {
    const auto mid = static_cast<std::int32_t>((lo + hi) / 2);
    if (probes != nullptr) probes->push_back(mid);
    const std::string_view name = file_.ReadRecord(mid).substr(0, kNuclideNameWidth);
    const int order = CompareBytes(name, key);
    if (order == 0) {
      entry_ = DecodeIndexEntry(file_.ReadRecord(mid));
      return mid;
    }
    if (order < 0)
      lo = std::int64_t{mid} + 1;
    else
      hi = std::int64_t{mid} - 1;
  }
  return 0;
}

}  // namespace quillmore::input
