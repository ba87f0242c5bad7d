// A fresh folder under the system's temporary folder, removed with its content
// when the object goes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quillmore::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Writes `bytes` to `path` exactly (binary), creating parent folders.
void WriteFile(const std::filesystem::path& path, std::string_view bytes);
// The whole content of `path` (empty when missing).
std::string ReadFile(const std::filesystem::path& path);

}  // namespace quillmore::testing
