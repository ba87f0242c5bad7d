// Nested JSON: one file per nuclide and data set, "<nuclide>_<H|G>.json":
// age group -> form -> region -> values over the periods, the nuclide's
// warnings and notes, and the run's provenance.
#pragma once

#include <rapidjson/stringbuffer.h>

#include <cstddef>
#include <filesystem>
#include <string>
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

// Adds "warnings" and "notes", each in the order given, to `json`.
void AddMessages(std::span<const RunMessage> messages, Json& json);

class JsonSink final : public TableSink {
 public:
  // `provenance` (ProvenanceJson) is shared by every file of the run.
  JsonSink(std::filesystem::path folder, WrittenFiles* written, TextToUtf8 toUtf8,
           const Json& provenance);

  base::Status Begin(const NuclideTables& tables) override;
  base::Status Add(const RowGroup& group) override;
  base::Status End(std::span<const RunMessage> messages) override;

 private:
  std::filesystem::path folder_;
  WrittenFiles* written_;
  TextToUtf8 toUtf8_;
  const Json& provenance_;
  bool begun_ = false;
  NuclideTables tables_;
  std::vector<std::string> regionNames_;  // of the nuclide's regions 1 to 30, as UTF-8
  // Each form's object as text, in the order added; the file gathers them
  // per table, so the tables' row groups may come interleaved.
  struct FormText {
    std::size_t table = 0, begin = 0, end = 0;
  };
  rapidjson::StringBuffer formsText_;
  std::vector<FormText> formTexts_;
  std::vector<std::size_t> formCounts_;  // per table
  rapidjson::StringBuffer fileText_;
  std::string provenanceText_;  // the provenance as text, formed at the first End
};

}  // namespace quillmore::output
