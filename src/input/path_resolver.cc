#include "input/path_resolver.h"

#include <string>
#include <system_error>

#include "base/text.h"

namespace quillmore::input {
namespace {

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (base::AsciiLower(a[i]) != base::AsciiLower(b[i])) return false;
  }
  return true;
}

// The name of the entry of `folder` that matches `component`, or empty.
std::string FindEntry(const std::filesystem::path& folder, std::string_view component) {
  std::error_code error;
  if (std::filesystem::exists(folder / std::string(component), error))
    return std::string(component);
  std::string found;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (EqualIgnoringAsciiCase(name, component) && (found.empty() || name < found)) found = name;
  }
  return found;
}

}  // namespace

std::filesystem::path ResolvePath(const std::filesystem::path& base, std::string_view relative) {
  // An absolute name ignores the base, as a shell would.
  std::filesystem::path result = (!relative.empty() && relative[0] == '/') ? "/" : base;
  bool resolving = true;
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = relative.size();
    const std::string_view component = relative.substr(start, end - start);
    start = end + 1;
    if (component.empty() || component == ".") continue;
    std::string name(component);
    if (resolving && component != "..") {
      const std::string found = FindEntry(result.empty() ? "." : result, component);
      if (found.empty()) {
        resolving = false;
      } else {
        name = found;
      }
    }
    result /= name;
  }
  return result;
}

}  // namespace quillmore::input
