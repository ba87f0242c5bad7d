#include "output/table_sink.h"

namespace quillmore::output {

input::Status TableSinks::Begin(const NuclideTables& tables) {
  input::Status first;
  for (TableSink* sink : sinks_) {
    const input::Status status = sink->Begin(tables);
    if (first.ok()) first = status;
  }
  return first;
}

input::Status TableSinks::Add(const RowGroup& group) {
  for (TableSink* sink : sinks_) {
    const input::Status status = sink->Add(group);
    if (!status.ok()) return status;
  }
  return input::Status::Ok();
}

input::Status TableSinks::End(std::span<const RunMessage> messages) {
  input::Status first;
  for (TableSink* sink : sinks_) {
    const input::Status status = sink->End(messages);
    if (first.ok()) first = status;
  }
  return first;
}

}  // namespace quillmore::output
