// Nested JSON: one file per nuclide and data set, "<nuclide>_<H|G>.json":
// age group -> form -> region -> values over the periods, the nuclide's
// warnings and notes, and the run's provenance.
#pragma once

#include <filesystem>
#include <vector>

#include "output/csv_sink.h"
#include "output/provenance.h"
#include "output/table_sink.h"
#include "output/written_files.h"

namespace quillmore::output {

// A warning or note as the JSON files and the manifest give it; ages and
// records only where the message has them. Messages and paths are kept as they are:
// they are this system's text or the user's, not the data files'.
Json RunMessageJson(const RunMessage& message);

class JsonSink final : public TableSink {
 public:
  // `provenance` (ProvenanceJson) is shared by every file of the run.
  JsonSink(std::filesystem::path folder, WrittenFiles* written, const Json& provenance);

  base::Status Begin(const NuclideTables& tables) override;
  base::Status Add(const RowGroup& group) override;
  base::Status End(std::span<const RunMessage> messages) override;

 private:
  std::filesystem::path folder_;
  WrittenFiles* written_;
  const Json& provenance_;
  bool begun_ = false;
  NuclideTables tables_;
  std::vector<Json> forms_;  // per table: the array of its forms
};

}  // namespace quillmore::output
