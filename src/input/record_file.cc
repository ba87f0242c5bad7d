#include "input/record_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>

namespace quillmore::input {
namespace {

constexpr std::size_t kStreamBufferSize = 1 << 18;
// The highest record number the reader forms; any record past the end of the
// file reads as NULs, so saturating here changes nothing a caller can see.
constexpr std::int64_t kLastRecordNumber = std::numeric_limits<std::int64_t>::max() / 2;

}  // namespace

void RecordFile::Reset(const std::filesystem::path& path, std::size_t recordLength) {
  file_.reset();
  bytes_.clear();
  path_ = path;
  recordLength_ = recordLength;
  fileSize_ = 0;
  buffer_.assign(recordLength, '\0');
  nextRecord_ = 1;
  filePosition_ = -1;
  atEnd_ = false;
}

base::Status RecordFile::Open(const std::filesystem::path& path, std::size_t recordLength) {
  Reset(path, recordLength);
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status))
    return base::Status::NotFound(path.string() + ": no such file");
  if (!std::filesystem::is_regular_file(status)) {
    return base::Status::IoError(path.string() + ": not a regular file");
  }
  // Read-only, always: the data files are reference data and never change.
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return base::Status::IoError(path.string() + ": " + std::strerror(errno));
  file_.reset(file);
  std::setvbuf(file, nullptr, _IOFBF, kStreamBufferSize);
  fileSize_ = std::filesystem::file_size(path, error);
  if (error) fileSize_ = 0;
  return base::Status::Ok();
}

base::Status RecordFile::OpenBytes(std::string_view bytes, std::size_t recordLength,
                                   const std::filesystem::path& name) {
  Reset(name, recordLength);
  // One byte more than the content, so that even empty content has storage to point at.
  bytes_.assign(bytes.begin(), bytes.end());
  bytes_.push_back('\0');
  std::FILE* file = fmemopen(bytes_.data(), bytes.size(), "rb");
  if (file == nullptr) return base::Status::IoError(name.string() + ": " + std::strerror(errno));
  file_.reset(file);
  fileSize_ = bytes.size();
  return base::Status::Ok();
}

std::int64_t RecordFile::recordCount() const {
  if (recordLength_ == 0) return 0;
  return static_cast<std::int64_t>((fileSize_ + recordLength_ - 1) / recordLength_);
}

std::string_view RecordFile::ReadRecord(std::int64_t recordNumber) {
  // Record numbers come from the data: keep every step clear of overflow.
  recordNumber = std::clamp(recordNumber, -kLastRecordNumber, kLastRecordNumber);
  nextRecord_ = recordNumber + 1;
  std::fill(buffer_.begin(), buffer_.end(), '\0');
  const std::string_view record(buffer_.data(), buffer_.size());
  if (recordNumber < 1 || file_ == nullptr) {
    atEnd_ = file_ != nullptr ? recordNumber >= 1 : true;
    return record;
  }
  if (recordNumber > recordCount()) {
    atEnd_ = true;
    return record;
  }
  const auto offset = static_cast<std::uint64_t>(recordNumber - 1) * recordLength_;
  if (filePosition_ != static_cast<std::int64_t>(offset)) {
    if (fseeko(file_.get(), static_cast<off_t>(offset), SEEK_SET) != 0) {
      filePosition_ = -1;
      atEnd_ = true;
      return record;
    }
  }
  const std::size_t got = std::fread(buffer_.data(), 1, recordLength_, file_.get());
  filePosition_ = static_cast<std::int64_t>(offset + got);
  // A short read leaves the NULs in place: the missing part of a record reads as NUL.
  atEnd_ = got < recordLength_;
  return record;
}

std::string_view RecordFile::ReadNextRecord() {
  return ReadRecord(nextRecord_);
}

void RecordFile::SkipRecords(std::int64_t count) {
  if (count <= 0) return;
  const std::int64_t last =
      count - 1 < kLastRecordNumber - nextRecord_ ? nextRecord_ + count - 1 : kLastRecordNumber;
  // Only the last skipped record needs reading: it sets the end-of-file state.
  if (last >= 1 && recordLength_ != 0 &&
      static_cast<std::uint64_t>(last) <= fileSize_ / recordLength_) {
    nextRecord_ = last + 1;
    atEnd_ = false;
  } else {
    ReadRecord(last);
  }
}

std::string ConvertedLineEndsFault(RecordFile& file) {
  const std::string_view first = file.ReadRecord(1);
  const std::size_t lineFeed = first.find('\n');
  if (lineFeed == std::string_view::npos || lineFeed + 1 >= file.recordLength() ||
      (lineFeed > 0 && first[lineFeed - 1] == '\r')) {
    return {};
  }
  return "lines end in LF, not CR LF: the line ends were probably converted (convert them back, "
         "for example with unix2dos); no record can be found by its offset";
}

}  // namespace quillmore::input
