#include "output/written_files.h"

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace quillmore::output {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
struct DigestFreer {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

std::string Hex(const unsigned char* bytes, unsigned int count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (unsigned int i = 0; i < count; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0xF];
  }
  return text;
}

}  // namespace

base::Status DigestFile(const std::filesystem::path& path, FileDigest& digest) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    return base::Status::IoError("Cannot read " + path.string() + ": " + std::strerror(errno));
  }
  const std::unique_ptr<EVP_MD_CTX, DigestFreer> context(EVP_MD_CTX_new());
  if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) {
    return base::Status::IoError("Cannot hash " + path.string() + ": no SHA-256");
  }
  // Not zeroed and not from the heap: a run hashes thousands of small files.
  char buffer[1 << 16];
  std::uintmax_t size = 0;
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
    EVP_DigestUpdate(context.get(), buffer, n);
    size += n;
  }
  if (std::ferror(file.get())) {
    return base::Status::IoError("Cannot read " + path.string() + ": " + std::strerror(errno));
  }
  std::array<unsigned char, EVP_MAX_MD_SIZE> bytes{};
  unsigned int length = 0;
  EVP_DigestFinal_ex(context.get(), bytes.data(), &length);
  digest.size = size;
  digest.sha256 = Hex(bytes.data(), length);
  return base::Status::Ok();
}

WrittenFiles::WrittenFiles(std::filesystem::path folder, bool withDigests)
    : folder_(std::move(folder)), withDigests_(withDigests) {}

base::Status WrittenFiles::Add(const std::filesystem::path& path) {
  FileDigest digest;
  if (withDigests_) {
    digest.name = path.lexically_relative(folder_).generic_string();
    if (digest.name.empty() || digest.name.starts_with("..")) digest.name = path.string();
    // Hashed outside the lock: the threads of a run hash their own files at once.
    const base::Status status = DigestFile(path, digest);
    if (!status.ok()) return status;
  }
  const std::lock_guard<std::mutex> lock(mutex_);
  ++count_;
  if (withDigests_) files_.push_back(std::move(digest));
  return base::Status::Ok();
}

std::size_t WrittenFiles::Count() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return count_;
}

std::vector<FileDigest> WrittenFiles::Sorted() const {
  std::vector<FileDigest> sorted;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    sorted = files_;
  }
  std::sort(sorted.begin(), sorted.end(),
            [](const FileDigest& a, const FileDigest& b) { return a.name < b.name; });
  return sorted;
}

}  // namespace quillmore::output
