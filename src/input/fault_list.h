// Faults found in a file, each on a line or record: what the CSV and intake
// readers and the data check report, sorted and capped for showing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmore::input {

// What is wrong in `file` (a bare file name; empty where the reader was given
// bytes and its caller names them) on line or record `line` (from 1; 0 for
// the file as a whole).
struct Fault {
  std::string file;
  std::int64_t line = 0;
  std::string message;
  bool note = false;  // worth knowing, nothing wrong
};

// How messages name the lines of an intake table: a file's "FILE:LINE"
// ("FILE" for the file as a whole); a data frame's row R (counted from 0, as
// iloc counts; line R + 2, below its header) "DataFrame row R (index X)",
// and "DataFrame" for the frame as a whole and its columns.
struct TablePlaces {
  std::string label;                                   // the file as messages name it
  std::optional<std::vector<std::string>> frameIndex;  // a frame's index labels, one a row

  // Where a message about `line` is, before its text.
  std::string Of(std::int64_t line) const;
  // The same within a message: "line 2", "DataFrame row 0 (index A)".
  std::string Within(std::int64_t line) const;
};

// The faults a program lists before saying how many more there are.
inline constexpr std::size_t kFaultsShown = 20;

// The faults of one file, in the order found.
class FaultList {
 public:
  void Add(std::int64_t line, std::string message);
  // Sorts by line; the faults of one line keep the order found.
  void SortByLine();

  bool empty() const { return faults_.empty(); }
  std::size_t size() const { return faults_.size(); }
  const Fault& operator[](std::size_t i) const { return faults_[i]; }
  std::vector<Fault>::const_iterator begin() const { return faults_.begin(); }
  std::vector<Fault>::const_iterator end() const { return faults_.end(); }

  // The first kFaultsShown faults by line, each "LABEL:LINE: message"
  // ("LABEL: message" for line 0), then "LABEL: N more WHAT not shown" when
  // there are more: what the programs show of a refused file `label`.
  std::vector<std::string> ShownLines(std::string_view label, std::string_view what) const;
  // The same with each line named as `places` names it.
  std::vector<std::string> ShownLines(const TablePlaces& places, std::string_view what) const;
  // How many distinct lines the faults are on.
  std::size_t LineCount() const;

 private:
  std::vector<Fault> faults_;
};

}  // namespace quillmore::input
