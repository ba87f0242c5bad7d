#include "output/file_writer.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace quillmore::output {
namespace {

// Large pieces, so that a file of many small rows costs few system calls.
constexpr std::size_t kFlushSize = 1 << 20;
constexpr int kGzipLevel = 6;
// gzip's code for a Unix file system, whatever the machine writing it.
constexpr int kGzipUnix = 3;

}  // namespace

// One gzip stream: text in, compressed bytes out.
class Deflater {
 public:
  Deflater() {
    // 15 + 16: the largest window, wrapped as gzip rather than zlib.
    ok_ = deflateInit2(&stream_, kGzipLevel, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    header_.os = kGzipUnix;  // the rest zero: no name, no comment, time 0
    ok_ = ok_ && deflateSetHeader(&stream_, &header_) == Z_OK;
  }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;
  ~Deflater() { deflateEnd(&stream_); }

  // Appends to `out` what `text` compresses to so far; with `last`, the end
  // of the stream too. False when zlib fails (no memory).
  bool Compress(std::string_view text, bool last, std::string& out) {
    if (!ok_) return false;
    const auto* next = reinterpret_cast<const Bytef*>(text.data());
    std::size_t left = text.size();
    int result = Z_OK;
    do {
      // zlib counts in unsigned int: a larger text goes in in pieces.
      const std::size_t piece = std::min<std::size_t>(left, UINT_MAX / 2);
      stream_.next_in = const_cast<Bytef*>(next);
      stream_.avail_in = static_cast<uInt>(piece);
      const int flush = last && piece == left ? Z_FINISH : Z_NO_FLUSH;
      do {
        const std::size_t used = out.size();
        const std::size_t room = std::max<std::size_t>(1 << 16, piece / 4);
        out.resize(used + room);
        stream_.next_out = reinterpret_cast<Bytef*>(out.data() + used);
        stream_.avail_out = static_cast<uInt>(room);
        result = deflate(&stream_, flush);
        out.resize(used + room - stream_.avail_out);
        if (result == Z_STREAM_ERROR) return ok_ = false;
      } while (stream_.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
      next += piece;
      left -= piece;
    } while (left > 0);
    return true;
  }

 private:
  z_stream stream_{};
  gz_header header_{};
  bool ok_ = false;
};

std::optional<Compression> ParseCompression(std::string_view text) {
  if (text == "gzip") return Compression::kGzip;
  return std::nullopt;
}

std::string_view CompressionName(Compression compression) {
  return compression == Compression::kGzip ? "gzip" : "none";
}

std::filesystem::path CompressedPath(const std::filesystem::path& path, Compression compression) {
  if (compression == Compression::kNone) return path;
  std::filesystem::path compressed = path;
  compressed += ".gz";
  return compressed;
}

base::Status WriteRecordedFile(const std::filesystem::path& path, std::string_view bytes,
                               WrittenFiles* written, Compression compression) {
  return WriteRecordedFile(path, std::span(&bytes, 1), written, compression);
}

base::Status WriteRecordedFile(const std::filesystem::path& path,
                               std::span<const std::string_view> pieces, WrittenFiles* written,
                               Compression compression) {
  if (compression == Compression::kGzip) {
    Deflater deflater;
    std::string compressed;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      if (!deflater.Compress(pieces[i], i + 1 == pieces.size(), compressed))
        return base::Status::IoError("unable to compress " + path.string());
    }
    if (pieces.empty() && !deflater.Compress("", true, compressed))
      return base::Status::IoError("unable to compress " + path.string());
    const std::string_view bytes = compressed;
    return WriteRecordedFile(CompressedPath(path, compression), std::span(&bytes, 1), written);
  }
  base::Status status = WriteWholeFile(path, pieces);
  if (status.ok() && written != nullptr) status = written->Add(path, pieces);
  return status;
}

StreamedFile::StreamedFile() = default;
StreamedFile::~StreamedFile() = default;

base::Status StreamedFile::Open(const std::filesystem::path& path, bool hashing,
                                Compression compression) {
  pending_.clear();
  hashing_ = hashing;
  path_ = CompressedPath(path, compression);
  deflater_.reset(compression == Compression::kGzip ? new Deflater : nullptr);
  return CreateOutputFile(path_, file_);
}

base::Status StreamedFile::Flush(bool last) {
  if (file_.count() == 0) return base::Status::IoError("Cannot write a file that was not opened");
  std::string_view bytes = pending_;
  if (deflater_) {
    compressed_.clear();
    if (!deflater_->Compress(pending_, last, compressed_))
      return base::Status::IoError("unable to compress " + path_.string());
    bytes = compressed_;
  }
  const base::Status status = file_.Write(0, bytes);
  if (!status.ok()) return status;
  if (hashing_) hashed_.Update(bytes);
  pending_.clear();
  return status;
}

base::Status StreamedFile::Append(std::string_view text) {
  pending_ += text;
  return pending_.size() >= kFlushSize ? Flush(false) : base::Status::Ok();
}

base::Status StreamedFile::Close() {
  const base::Status status = Flush(true);
  const base::Status closed = file_.Close();
  return status.ok() ? closed : status;
}

}  // namespace quillmore::output
