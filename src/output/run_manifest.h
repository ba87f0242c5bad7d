// The record of a batch run, "quillmore-run.json" in its output folder: the
// provenance, the command line, every file written with its size and SHA-256,
// and every warning and note.
#pragma once

#include <filesystem>
#include <span>
#include <string>

#include "output/provenance.h"
#include "output/table_sink.h"
#include "output/written_files.h"

namespace quillmore::output {

inline constexpr const char* kManifestFileName = "quillmore-run.json";

struct NuclideMessage {
  std::string nuclide;  // as typed or found, without padding blanks
  RunMessage message;
};

struct RunRecord {
  const Json& provenance;
  std::span<const std::string> commandLine;
  WrittenFiles& files;  // listed sorted by name
  std::span<const NuclideMessage> messages;
};

// Writes the manifest into `folder` (replacing one that is there), as the
// document's dump with an indent of 2 would, but piece by piece: its size
// grows with the run's files, and is not held in memory.
base::Status WriteRunManifest(const std::filesystem::path& folder, const RunRecord& record);

}  // namespace quillmore::output
