// A buffered binary writer of fixed-length records: large data sets are
// written with few system calls and no allocation per record.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace quillmore::tools {

class RecordSink {
 public:
  // Creates or truncates `path`; an error names the file.
  base::Status Open(const std::filesystem::path& path);
  // Appends one record (its bytes as given, line end included).
  void Append(std::string_view record);
  // Records appended so far; the next record appended gets this number + 1.
  std::int64_t recordCount() const { return recordCount_; }
  // Writes what is buffered and closes; reports any write error since Open.
  base::Status Close();

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  void Flush();

  std::unique_ptr<std::FILE, Closer> file_;
  std::filesystem::path path_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  std::int64_t recordCount_ = 0;
  bool failed_ = false;
};

}  // namespace quillmore::tools
