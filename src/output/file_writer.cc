#include "output/file_writer.h"

namespace quillmore::output {
namespace {

// Large pieces, so that a file of many small rows costs few system calls.
constexpr std::size_t kFlushSize = 1 << 20;

}  // namespace

base::Status WriteRecordedFile(const std::filesystem::path& path, std::string_view bytes,
                               WrittenFiles* written) {
  return WriteRecordedFile(path, std::span(&bytes, 1), written);
}

base::Status WriteRecordedFile(const std::filesystem::path& path,
                               std::span<const std::string_view> pieces, WrittenFiles* written) {
  base::Status status = WriteWholeFile(path, pieces);
  if (status.ok() && written != nullptr) status = written->Add(path, pieces);
  return status;
}

base::Status StreamedFile::Open(const std::filesystem::path& path, bool hashing) {
  pending_.clear();
  hashing_ = hashing;
  return CreateOutputFile(path, file_);
}

base::Status StreamedFile::Flush() {
  if (file_.count() == 0) return base::Status::IoError("Cannot write a file that was not opened");
  const base::Status status = file_.Write(0, pending_);
  if (!status.ok()) return status;
  if (hashing_) hashed_.Update(pending_);
  pending_.clear();
  return status;
}

base::Status StreamedFile::Append(std::string_view text) {
  pending_ += text;
  return pending_.size() >= kFlushSize ? Flush() : base::Status::Ok();
}

base::Status StreamedFile::Close() {
  const base::Status status = Flush();
  const base::Status closed = file_.Close();
  return status.ok() ? closed : status;
}

}  // namespace quillmore::output
