#include "output/table_sink.h"

#include "output/output_files.h"

namespace quillmore::output {

base::Status NuclideFile::Name(const NuclideTables& tables) {
  base::Result<std::string> name =
      NuclideFileName(tables.nuclideName, tables.selection->dataKind, suffix_);
  path_.reset();
  if (!name.ok()) return name.status();
  path_ = folder_ / name.value();
  return base::Status::Ok();
}

base::Status TableSinks::Begin(const NuclideTables& tables) {
  base::Status first;
  for (TableSink* sink : sinks_) {
    const base::Status status = sink->Begin(tables);
    if (first.ok()) first = status;
  }
  return first;
}

base::Status TableSinks::Add(const RowGroup& group) {
  for (TableSink* sink : sinks_) {
    const base::Status status = sink->Add(group);
    if (!status.ok()) return status;
  }
  return base::Status::Ok();
}

base::Status TableSinks::End(std::span<const RunMessage> messages) {
  base::Status first;
  for (TableSink* sink : sinks_) {
    const base::Status status = sink->End(messages);
    if (first.ok()) first = status;
  }
  return first;
}

}  // namespace quillmore::output
