// The one error style of Quillmore: readers and writers return a Status that
// says what failed and where; only the programs decide what the user sees.
#pragma once

#include <string>
#include <utility>

namespace quillmore::base {

class [[nodiscard]] Status {
 public:
  // kNotFound: a file or folder that is not there; kUnknownName: a nuclide,
  // region, age group or form that the data do not hold, so that a caller
  // tells the two apart by the code alone.
  enum class Code { kOk, kNotFound, kIoError, kCorruption, kInvalidArgument, kUnknownName };

  Status() = default;
  static Status Ok() { return Status(); }
  static Status NotFound(std::string message) { return {Code::kNotFound, std::move(message)}; }
  static Status IoError(std::string message) { return {Code::kIoError, std::move(message)}; }
  static Status Corruption(std::string message) { return {Code::kCorruption, std::move(message)}; }
  static Status InvalidArgument(std::string message) {
    return {Code::kInvalidArgument, std::move(message)};
  }
  static Status UnknownName(std::string message) {
    return {Code::kUnknownName, std::move(message)};
  }

  bool ok() const { return code_ == Code::kOk; }
  Code code() const { return code_; }
  // One line for the user, naming the file (and record) concerned; empty when ok.
  const std::string& message() const { return message_; }

 private:
  Status(Code code, std::string message) : code_(code), message_(std::move(message)) {}

  Code code_ = Code::kOk;
  std::string message_;
};

}  // namespace quillmore::base
