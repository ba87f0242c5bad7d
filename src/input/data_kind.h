// The two data sets, inhalation and ingestion: one descriptor each holds all
// that sets them apart, from the file names to the tables' columns.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace quillmore::input {

enum class DataKind { kInhalation, kIngestion };

// Where a block header's fields stand in each layout: positions from 1, 0 for
// a field the layout lacks (the ingestion layout has no class code and its
// later fields stand 7 further left).
struct HeaderLayout {
  std::size_t classCode = 0;  // one letter
  std::size_t f1Text = 0;     // 8 characters
  std::size_t timePointCount = 0;
  std::size_t recordsPerPoint = 0;
  std::size_t letLetter = 0;
};

struct DataSet {
  DataKind kind;
  std::string_view name;         // "inhalation", as quillmore-batch --data-set takes it
  const char* doseRateFileName;  // in the data folder
  char fileLetter;               // ends the output file names: "Tc-99m_3650_H.TXT"
  std::string_view title;        // the first word of every table
  HeaderLayout header;
  // Characters before a table row's time: the block's name and class code and
  // a blank, or its name and f1 text.
  std::size_t rowLabelWidth;
  // The third header line up to the first region's units, over the row label
  // and the time.
  std::string_view unitsHeading;
};

// In the order the data-set box lists them.
inline constexpr std::array<DataSet, 2> kDataSets = {{
    {DataKind::kInhalation, "inhalation", "TQV27INH2.DRT", 'H', "Inhalation",
     HeaderLayout{19, 0, 28, 32, 35}, 9, "            (d)  "},
    {DataKind::kIngestion, "ingestion", "TQV27ING2.DRT", 'G', "Ingestion",
     HeaderLayout{0, 13, 21, 25, 28}, 15, "           f1     (d)  "},
}};

constexpr const DataSet& DataSetOf(DataKind kind) {
  return kDataSets[kind == DataKind::kInhalation ? 0 : 1];
}

// The data set `name` names: its name or its file letter ("inhalation" or
// "h", "ingestion" or "g") in any case, as quillmore-batch --data-set, the
// intake file's "intake" column and the Python module take it; nullopt for
// any other text.
std::optional<DataKind> FindDataSet(std::string_view name);

inline constexpr const char* kIndexFileName = "DoseInd.NDX";
inline constexpr const char* kTimesFileName = "Quillmore.ini";
inline constexpr const char* kDataFolderName = "DATA";
inline constexpr const char* kOutputFolderName = "OUTPUT";

}  // namespace quillmore::input
