#include "sample_data/record_sink.h"

#include <cstring>

namespace quillmore::tools {
namespace {

constexpr std::size_t kBufferBytes = std::size_t{1} << 20;

}  // namespace

base::Status RecordSink::Open(const std::filesystem::path& path) {
  path_ = path;
  file_.reset(std::fopen(path.c_str(), "wb"));
  if (!file_) return base::Status::IoError("cannot create " + path.string());
  buffer_.resize(kBufferBytes);
  used_ = 0;
  recordCount_ = 0;
  failed_ = false;
  return base::Status::Ok();
}

void RecordSink::Append(std::string_view record) {
  if (used_ + record.size() > buffer_.size()) Flush();
  if (record.size() > buffer_.size()) {
    failed_ = failed_ || std::fwrite(record.data(), 1, record.size(), file_.get()) != record.size();
  } else {
    std::memcpy(buffer_.data() + used_, record.data(), record.size());
    used_ += record.size();
  }
  ++recordCount_;
}

void RecordSink::Flush() {
  if (used_ == 0 || !file_) return;
  failed_ = failed_ || std::fwrite(buffer_.data(), 1, used_, file_.get()) != used_;
  used_ = 0;
}

base::Status RecordSink::Close() {
  if (!file_) return base::Status::IoError("not open: " + path_.string());
  Flush();
  const bool closeFailed = std::fclose(file_.release()) != 0;
  if (failed_ || closeFailed) return base::Status::IoError("cannot write " + path_.string());
  return base::Status::Ok();
}

}  // namespace quillmore::tools
