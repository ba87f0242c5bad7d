// Folder and file names written in any case ("DATA", "data", "OutPut") find
// what exists on a case-sensitive file system.
#pragma once

#include <filesystem>
#include <string_view>

namespace quillmore::input {

// Joins `relative` (components separated by '/' or '\') to `base`, replacing
// each component by an existing directory entry whose name equals it ignoring
// ASCII case (an exact match wins). From the first component that matches
// nothing on, the components are kept as written, so the result also names
// files and folders that are still to be created.
std::filesystem::path ResolvePath(const std::filesystem::path& base, std::string_view relative);

}  // namespace quillmore::input
