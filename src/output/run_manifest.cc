#include "output/run_manifest.h"

#include <rapidjson/prettywriter.h>

#include <cstddef>

#include "output/file_writer.h"
#include "output/json_writing.h"

namespace quillmore::output {
namespace {

// RapidJSON's output stream on a streamed file, handing it pieces of
// characters; the first failure kept.
class FileStream {
 public:
  using Ch = char;
  explicit FileStream(StreamedFile& file) : file_(file) {}
  void Put(char c) {
    if (used_ == sizeof buffer_) Flush();
    buffer_[used_++] = c;
  }
  void Flush() {
    if (status_.ok()) status_ = file_.Append(std::string_view(buffer_, used_));
    used_ = 0;
  }
  const base::Status& status() const { return status_; }

 private:
  StreamedFile& file_;
  char buffer_[1 << 16];
  std::size_t used_ = 0;
  base::Status status_;
};

using Writer = rapidjson::PrettyWriter<FileStream>;

// The provenance as the dump writes it one level in: each line after the
// first two more blanks in (a dump's strings hold no line end).
std::string NestedText(const Json& json) {
  const std::string text = json.dump(2, ' ', false, Json::error_handler_t::replace);
  std::string nested;
  for (const char c : text) {
    nested += c;
    if (c == '\n') nested += "  ";
  }
  return nested;
}

void WriteMessages(const RunRecord& record, MessageKind kind, Writer& writer) {
  writer.StartArray();
  for (const NuclideMessage& message : record.messages) {
    if (message.message.kind != kind) continue;
    writer.StartObject();
    WriteJsonKey(writer, "nuclide");
    WriteJsonString(writer, message.nuclide);
    WriteMessageMembers(writer, message.message);
    writer.EndObject();
  }
  writer.EndArray();
}

void WriteManifest(const RunRecord& record, Writer& writer) {
  writer.StartObject();
  WriteJsonKey(writer, "provenance");
  const std::string provenance = NestedText(record.provenance);
  writer.RawValue(provenance.data(), provenance.size(),
                  record.provenance.is_null() ? rapidjson::kNullType : rapidjson::kObjectType);
  WriteJsonKey(writer, "command_line");
  writer.StartArray();
  for (const std::string& argument : record.commandLine) WriteJsonString(writer, argument);
  writer.EndArray();
  WriteJsonKey(writer, "files");
  writer.StartArray();
  record.files.ForEachSorted(
      [&writer](std::string_view name, std::uintmax_t size, std::string_view sha256) {
        writer.StartObject();
        WriteJsonKey(writer, "name");
        WriteJsonString(writer, name);
        WriteJsonKey(writer, "size");
        writer.Uint64(size);
        WriteJsonKey(writer, "sha256");
        WriteJsonString(writer, sha256);
        writer.EndObject();
      });
  writer.EndArray();
  WriteJsonKey(writer, "warnings");
  WriteMessages(record, MessageKind::kWarning, writer);
  WriteJsonKey(writer, "notes");
  WriteMessages(record, MessageKind::kNote, writer);
  writer.EndObject();
}

}  // namespace

base::Status WriteRunManifest(const std::filesystem::path& folder, const RunRecord& record) {
  StreamedFile file;  // not hashed: no manifest lists itself
  base::Status status = file.Open(folder / kManifestFileName, false);
  if (!status.ok()) return status;
  FileStream stream(file);
  Writer writer(stream);
  writer.SetIndent(' ', 2);
  WriteManifest(record, writer);
  stream.Put('\n');
  stream.Flush();
  status = stream.status();
  const base::Status closed = file.Close();
  return status.ok() ? closed : status;
}

}  // namespace quillmore::output
