#include "output/run_manifest.h"

#include "output/json_sink.h"
#include "output/output_files.h"

namespace quillmore::output {

base::Status WriteRunManifest(const std::filesystem::path& folder, const RunRecord& record) {
  Json commandLine = Json::array();
  for (const std::string& argument : record.commandLine) commandLine.push_back(argument);
  Json files = Json::array();
  for (const FileDigest& file : record.files) {
    files.push_back({{"name", file.name}, {"size", file.size}, {"sha256", file.sha256}});
  }
  Json warnings = Json::array();
  Json notes = Json::array();
  for (const NuclideMessage& message : record.messages) {
    Json json{{"nuclide", message.nuclide}};
    json.update(RunMessageJson(message.message));
    (message.message.kind == MessageKind::kNote ? notes : warnings).push_back(std::move(json));
  }
  const Json manifest{{"provenance", record.provenance},
                      {"command_line", std::move(commandLine)},
                      {"files", std::move(files)},
                      {"warnings", std::move(warnings)},
                      {"notes", std::move(notes)}};
  return WriteWholeFile(folder / kManifestFileName, JsonText(manifest, 2));
}

}  // namespace quillmore::output
