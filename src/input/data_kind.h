// The data set of a run: inhalation ("h") or ingestion ("g").
#pragma once

namespace quillmore::input {

enum class DataKind { kInhalation, kIngestion };

// File name of the kind's dose-rate file inside the data folder.
inline const char* DoseRateFileName(DataKind kind) {
  return kind == DataKind::kInhalation ? "TQV27INH2.DRT" : "TQV27ING2.DRT";
}

inline constexpr const char* kIndexFileName = "DoseInd.NDX";
inline constexpr const char* kTimesFileName = "Quillmore.ini";
inline constexpr const char* kDataFolderName = "DATA";
inline constexpr const char* kOutputFolderName = "OUTPUT";

}  // namespace quillmore::input
