#include "input/data_index.h"

#include "input/nuclide_name.h"
#include "input/numeric_field.h"

namespace quillmore::input {
namespace {

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

IndexEntry DecodeIndexEntry(std::string_view record) {
  IndexEntry entry;
  entry.name = std::string(record.substr(0, kNuclideNameWidth));
  if (record.size() > 7) entry.ingestionStart = ReadInteger(record.substr(7, 8));
  if (record.size() > 15) entry.inhalationStart = ReadInteger(record.substr(15, 8));
  return entry;
}

Status DataIndex::Open(const std::filesystem::path& path) {
  return file_.Open(path, kIndexRecordLength);
}

Status DataIndex::OpenBytes(std::string_view bytes) {
  return file_.OpenBytes(bytes, kIndexRecordLength, kIndexFileName);
}

std::int32_t DataIndex::FirstEntry() {
  return ReadInteger(file_.ReadRecord(2).substr(0, 4));
}

std::int32_t DataIndex::LastEntry() {
  return ReadInteger(file_.ReadRecord(2).substr(4, 4));
}

const IndexEntry& DataIndex::ReadEntry(std::int32_t recordNumber) {
  entry_ = DecodeIndexEntry(file_.ReadRecord(recordNumber));
  return entry_;
}

std::int32_t DataIndex::FindNuclide(std::string_view key, std::vector<std::int32_t>* probes) {
  const std::string_view record2 = file_.ReadRecord(2);
  std::int64_t lo = ReadInteger(record2.substr(0, 4));
  std::int64_t hi = ReadInteger(record2.substr(4, 4));
  // The first probe comes before the loop test, as the index format expects.
  do {
    const auto mid = static_cast<std::int32_t>((lo + hi) / 2);
    if (probes != nullptr) probes->push_back(mid);
    const std::string_view name = file_.ReadRecord(mid).substr(0, kNuclideNameWidth);
    const int order = CompareBytes(name, key);
    if (order == 0) {
      entry_ = DecodeIndexEntry(file_.ReadRecord(mid));
      return mid;
    }
    if (order < 0)
      lo = mid + 1;
    else
      hi = mid - 1;
  } while (hi >= lo);
  return 0;
}

}  // namespace quillmore::input
