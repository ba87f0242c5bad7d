#include "output/written_files.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace quillmore::output {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string Hex(const unsigned char* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0xF];
  }
  return text;
}

}  // namespace

// Set up at first use: a run that keeps no digests never loads the library's
// SHA-256. Null, and failed for good, where memory or the library's SHA-256 is missing.
void* Sha256::Context() {
  if (context_ == nullptr && !failed_) {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    if (context == nullptr || EVP_DigestInit_ex(context, EVP_sha256(), nullptr) != 1) {
      EVP_MD_CTX_free(context);
      failed_ = true;
      return nullptr;
    }
    context_ = context;
  }
  return context_;
}

Sha256::~Sha256() {
  EVP_MD_CTX_free(static_cast<EVP_MD_CTX*>(context_));
}

void Sha256::Update(std::string_view bytes) {
  if (void* context = Context(); context != nullptr)
    EVP_DigestUpdate(static_cast<EVP_MD_CTX*>(context), bytes.data(), bytes.size());
  size_ += bytes.size();
}

Sha256::Bytes Sha256::Finish() {
  Bytes bytes{};
  if (auto* context = static_cast<EVP_MD_CTX*>(Context()); context != nullptr) {
    unsigned int length = 0;
    EVP_DigestFinal_ex(context, bytes.data(), &length);
    EVP_DigestInit_ex(context, EVP_sha256(), nullptr);
  }
  size_ = 0;
  return bytes;
}

base::Status Sha256::Check(const std::filesystem::path& path) {
  Context();
  if (!failed_) return base::Status::Ok();
  return base::Status::IoError("Cannot hash " + path.string() + ": no SHA-256");
}

base::Result<FileDigest> DigestFile(const std::filesystem::path& path) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    return base::Status::IoError("Cannot read " + path.string() + ": " + std::strerror(errno));
  }
  Sha256 hashed;
  if (const base::Status status = hashed.Check(path); !status.ok()) return status;
  char buffer[1 << 16];  // not zeroed and not from the heap
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;)
    hashed.Update(std::string_view(buffer, n));
  if (std::ferror(file.get())) {
    return base::Status::IoError("Cannot read " + path.string() + ": " + std::strerror(errno));
  }
  FileDigest digest;
  digest.size = hashed.size();
  const Sha256::Bytes bytes = hashed.Finish();
  digest.sha256 = Hex(bytes.data(), bytes.size());
  return digest;
}

WrittenFiles::WrittenFiles(std::filesystem::path folder, bool withDigests)
    : folder_(std::move(folder)), withDigests_(withDigests) {}

base::Status WrittenFiles::Add(const std::filesystem::path& path, std::string_view bytes) {
  return Add(path, std::span(&bytes, 1));
}

base::Status WrittenFiles::Add(const std::filesystem::path& path,
                               std::span<const std::string_view> pieces) {
  if (!withDigests_) return Record(path, 0, {});
  // One context per thread: setting one up costs more than hashing a small file.
  thread_local Sha256 hashed;
  for (const std::string_view piece : pieces) hashed.Update(piece);
  return Add(path, hashed);
}

base::Status WrittenFiles::Add(const std::filesystem::path& path, Sha256& hashed) {
  if (!withDigests_) return Record(path, 0, {});
  if (const base::Status status = hashed.Check(path); !status.ok()) return status;
  const std::uintmax_t size = hashed.size();
  return Record(path, size, hashed.Finish());
}

base::Status WrittenFiles::Record(const std::filesystem::path& path, std::uintmax_t size,
                                  const Sha256::Bytes& sha256) {
  std::string name;
  if (withDigests_) {
    name = path.lexically_relative(folder_).generic_string();
    if (name.empty() || name.starts_with("..")) name = path.string();
  }
  const std::lock_guard<std::mutex> lock(mutex_);
  ++count_;
  if (withDigests_) {
    files_.push_back({names_.size(), name.size(), size, sha256});
    names_ += name;
  }
  return base::Status::Ok();
}

std::size_t WrittenFiles::Count() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return count_;
}

void WrittenFiles::ForEachSorted(
    const std::function<void(std::string_view, std::uintmax_t, std::string_view)>& visit) {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto name = [this](const File& file) {
    return std::string_view(names_).substr(file.nameStart, file.nameSize);
  };
  std::sort(files_.begin(), files_.end(),
            [&](const File& a, const File& b) { return name(a) < name(b); });
  for (const File& file : files_) {
    visit(name(file), file.size, Hex(file.sha256.data(), file.sha256.size()));
  }
}

}  // namespace quillmore::output
