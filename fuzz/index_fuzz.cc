// The data-set index: open, entry range, entries and FindNuclide. Input: the
// key up to the first LF, then the index file. Every search stays within the
// probes of a binary search over the entry range, and a hit is the key's
// record. In a sound index (range inside the file, names strictly ascending)
// every entry is found at its record and the key exactly where a scan finds it.
#include <algorithm>
#include <bit>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "input/data_index.h"

namespace {

using quillmore::fuzz::Check;
using quillmore::input::DataIndex;

// Entries looked at per input, so that a large index stays quick.
constexpr std::int64_t kMaxEntries = 256;

bool ByteLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  });
}

std::int32_t Search(DataIndex& index, std::string_view key, std::size_t maxProbes) {
  std::vector<std::int32_t> probes;
  const std::int32_t found = index.FindNuclide(key, &probes);
  Check(probes.size() <= maxProbes, "a search probes at most as a binary search does");
  if (found != 0) {
    Check(index.entry().name == key, "a hit names the key");
    const quillmore::input::IndexEntry stored = index.ReadEntry(found);
    Check(stored.name == key, "a hit is the key's record");
  }
  return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = quillmore::fuzz::AsText(data, size);
  const std::size_t lineEnd = input.find('\n');
  const std::string_view key = input.substr(0, lineEnd);
  input.remove_prefix(lineEnd == std::string_view::npos ? input.size() : lineEnd + 1);

  DataIndex index;
  const quillmore::base::Status opened = index.OpenBytes(input);
  Check(opened.ok() || opened.code() == quillmore::base::Status::Code::kCorruption,
        "an index in memory opens, or its record 2 is named as corrupt");
  const std::int64_t first = index.firstEntry();
  const std::int64_t last = index.lastEntry();
  const std::int64_t records = index.file().recordCount();
  const auto range = static_cast<std::uint64_t>(std::max<std::int64_t>(last - first + 1, 1));
  const auto maxProbes = static_cast<std::size_t>(std::bit_width(range));

  // The entries that lie inside the file, in record order.
  std::vector<std::string> names;
  bool sound = first >= 3 && last >= first && last <= records;
  for (std::int64_t record = std::max<std::int64_t>(first, 1);
       record <= std::min(last, records) && names.size() < kMaxEntries; ++record) {
    const auto& entry = index.ReadEntry(static_cast<std::int32_t>(record));
    sound = sound && (names.empty() || ByteLess(names.back(), entry.name));
    names.push_back(entry.name);
  }
  sound = sound && last - first + 1 == static_cast<std::int64_t>(names.size());

  const std::int32_t found = Search(index, key, maxProbes);
  if (sound) {
    const auto at = std::find(names.begin(), names.end(), key);
    Check(found == (at == names.end() ? 0 : first + (at - names.begin())),
          "the key is found where a scan finds it");
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::int32_t hit = Search(index, names[i], maxProbes);
    if (sound) Check(hit == first + static_cast<std::int64_t>(i), "every entry is found");
  }
  return 0;
}
