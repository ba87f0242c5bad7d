#include "input/csv_reader.h"

#include <utility>

#include "base/status.h"

namespace quillmore::input {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The reader's position in the text and the line it stands on.
struct Cursor {
  std::string_view text;
  char separator = ',';
  std::size_t at = 0;
  int line = 1;

  bool atEnd() const { return at >= text.size(); }
  char peek() const { return text[at]; }
  // A record ends at LF or CR LF; a lone CR is field text.
  bool AtLineEnd() const {
    return peek() == '\n' || (peek() == '\r' && at + 1 < text.size() && text[at + 1] == '\n');
  }
  void SkipLineEnd() {
    at += peek() == '\r' ? 2U : 1U;
    ++line;
  }
};

// Reads a quoted field from its opening quote.
base::Status ReadQuoted(Cursor& c, std::string& field) {
  const int startLine = c.line;
  ++c.at;
  while (true) {
    if (c.atEnd()) {
      return base::Status::Corruption("a quoted field opened on line " + std::to_string(startLine) +
                                      " is not closed");
    }
    const char ch = c.peek();
    ++c.at;
    if (ch == '\n') ++c.line;
    if (ch != '"') {
      field += ch;
    } else if (!c.atEnd() && c.peek() == '"') {
      field += '"';
      ++c.at;
    } else {
      break;
    }
  }
  if (!c.atEnd() && c.peek() != c.separator && !c.AtLineEnd()) {
    return base::Status::Corruption("text after the closing quote of a field");
  }
  return base::Status::Ok();
}

base::Status ReadUnquoted(Cursor& c, std::string& field) {
  while (!c.atEnd() && c.peek() != c.separator && !c.AtLineEnd()) {
    if (c.peek() == '"') {
      return base::Status::Corruption("a quote inside an unquoted field");
    }
    field += c.peek();
    ++c.at;
  }
  return base::Status::Ok();
}

// Reads one record from the start of a line.
base::Status ReadRecord(Cursor& c, CsvRecord& record) {
  record.line = c.line;
  while (true) {
    std::string& field = record.fields.emplace_back();
    const base::Status read =
        !c.atEnd() && c.peek() == '"' ? ReadQuoted(c, field) : ReadUnquoted(c, field);
    if (!read.ok()) return read;
    if (c.atEnd()) return base::Status::Ok();
    if (c.AtLineEnd()) {
      c.SkipLineEnd();
      return base::Status::Ok();
    }
    ++c.at;  // the separator
  }
}

}  // namespace

CsvText ReadCsv(std::string_view text, char separator) {
  CsvText result;
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(3);
  Cursor c{text, separator};
  while (!c.atEnd()) {
    if (c.AtLineEnd()) {
      c.SkipLineEnd();
      continue;
    }
    CsvRecord record;
    if (const base::Status status = ReadRecord(c, record); !status.ok()) {
      result.stop = Fault{"", c.line, status.message()};
      return result;
    }
    result.records.push_back(std::move(record));
  }
  return result;
}

}  // namespace quillmore::input
