// Values for RapidJSON's writers with the text nlohmann's dump gives them, so
// that a file written piece by piece reads as one dump of a document.
#pragma once

#include <rapidjson/rapidjson.h>

#include <string>
#include <string_view>

#include "output/provenance.h"
#include "output/run_message.h"

namespace quillmore::output {

// `json` as the compact dump writes it; invalid UTF-8 becomes U+FFFD.
std::string DumpText(const Json& json);

// Whether `text` is printable ASCII, which both libraries escape alike.
bool PlainJsonText(std::string_view text);

// A string: control characters (which RapidJSON escapes in upper-case hex)
// and bytes that may not be UTF-8 (which the dump replaces) take the dump's escaping.
template <class Writer>
void WriteJsonString(Writer& writer, std::string_view text) {
  if (PlainJsonText(text)) {
    writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
    return;
  }
  const std::string dumped = DumpText(Json(std::string(text)));
  writer.RawValue(dumped.data(), dumped.size(), rapidjson::kStringType);
}

template <class Writer>
void WriteJsonKey(Writer& writer, std::string_view key) {
  writer.Key(key.data(), static_cast<rapidjson::SizeType>(key.size()));
}

// A warning's or note's members: ages and records only where the message has
// them. Messages and paths are kept as they are: they are this system's text
// or the user's, not the data files'.
template <class Writer>
void WriteMessageMembers(Writer& writer, const RunMessage& message) {
  if (message.ageDays != 0) {
    WriteJsonKey(writer, "age_days");
    writer.Int(message.ageDays);
  }
  if (message.record != 0) {
    WriteJsonKey(writer, "record");
    writer.Int64(message.record);
  }
  WriteJsonKey(writer, "message");
  WriteJsonString(writer, message.text);
}

}  // namespace quillmore::output
