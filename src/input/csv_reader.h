// A small RFC 4180 reader: comma-separated fields (or another separator), double-quoted fields that
// may hold commas, line ends and doubled quotes, records ended by LF or CR LF.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/fault_list.h"

namespace quillmore::input {

struct CsvRecord {
  int line = 0;  // line (from 1) on which the record starts
  std::vector<std::string> fields;
};

struct CsvText {
  std::vector<CsvRecord> records;  // blank lines left out
  // What stopped the reading ("a quote inside an unquoted field") and on
  // which line; the records before it are kept.
  std::optional<Fault> stop;
};

// Reads `text`. A leading UTF-8 byte-order mark is skipped; a final record
// needs no line end. A quote inside an unquoted field, or text after a closing
// quote, stops the reading. `separator` stands between fields, as a comma
// does in RFC 4180.
CsvText ReadCsv(std::string_view text, char separator = ',');

}  // namespace quillmore::input
